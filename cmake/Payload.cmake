# The payload items, in the order of their resource ids: "<id>|<file>" for a
# "BIN" resource, "<id>|<file>|<type>" for a resource of another type.
set(BRINMOOR_PAYLOAD_ITEMS
    "132|DotNet.exe"
    "133|SetupUI.exe"
    "134|SetupUI.exe.config"
    "135|Brinmoor.msi"
    "136|de/SetupUI.resources.dll"
    "137|en-US/SetupUI.resources.dll"
    "138|es/SetupUI.resources.dll"
    "139|fr/SetupUI.resources.dll"
    "140|it/SetupUI.resources.dll"
    "141|ja/SetupUI.resources.dll"
    "142|pt-BR/SetupUI.resources.dll"
    "143|ru/SetupUI.resources.dll"
    "144|zh-Hans/SetupUI.resources.dll"
    "157|License.rtf|TXT"
)

# The largest payload a 32-bit launcher can carry, in MiB. Windows maps the
# launcher's image and the launcher maps its own file once more, both inside
# the address space of a large-address-aware 32-bit process. Measured under
# 32-bit Wine: a launcher with 969 MiB of payload starts and stages it; one
# with 1034 MiB does not start ("not enough memory"): its image must lie in
# one piece, and the process already uses memory just below 1 GiB.
# bench/large-payload raises the limit to measure past it.
if(NOT DEFINED BRINMOOR_PAYLOAD_LIMIT_MIB)
    set(BRINMOOR_PAYLOAD_LIMIT_MIB 960)
endif()

# Checks a product team's payload folder at configure time: every item is
# there, the whole fits into a 32-bit launcher, and a file the launcher would
# not carry is named rather than silently left out.
function(brinmoor_check_payload dir)
    set(expected "")
    set(total 0)
    foreach(item IN LISTS BRINMOOR_PAYLOAD_ITEMS)
        string(REPLACE "|" ";" parts "${item}")
        list(GET parts 1 name)
        if(NOT EXISTS "${dir}/${name}")
            message(FATAL_ERROR "Payload item missing: ${dir}/${name}")
        endif()
        list(APPEND expected "${name}")
        file(SIZE "${dir}/${name}" size)
        math(EXPR total "${total} + ${size} / 1024")
    endforeach()
    math(EXPR total_mib "${total} / 1024")
    if(total_mib GREATER BRINMOOR_PAYLOAD_LIMIT_MIB)
        message(FATAL_ERROR "The payload in ${dir} is ${total_mib} MiB; a 32-bit launcher can carry at most "
            "${BRINMOOR_PAYLOAD_LIMIT_MIB} MiB, since Windows maps it twice into the 4 GiB address space "
            "of its process. Ship the larger items beside the launcher instead.")
    endif()
    file(GLOB_RECURSE present RELATIVE "${dir}" "${dir}/*")
    list(REMOVE_ITEM present ${expected})
    if(present)
        list(JOIN present ", " extra)
        message(WARNING "The payload folder ${dir} holds files the launcher does not carry: ${extra}")
    endif()
endfunction()

# brinmoor_checksum_table(<output variable> <id>=<file>...)
# Makes the resource that the launcher checks each "BIN" item against while it
# streams it out: a damaged download must not reach the front end.
function(brinmoor_checksum_table out)
    string(MAKE_C_IDENTIFIER "${ARGN}" key)
    string(MD5 key "${key}")
    set(table "${CMAKE_CURRENT_BINARY_DIR}/checksums-${key}.bin")
    set(files "")
    foreach(pair IN LISTS ARGN)
        string(REGEX REPLACE "^[^=]*=" "" file "${pair}")
        list(APPEND files "${file}")
    endforeach()
    if(NOT TARGET "checksums_${key}")
        add_custom_command(OUTPUT "${table}"
            COMMAND /usr/bin/python3 "${PROJECT_SOURCE_DIR}/cmake/payload_checksums.py" "${table}" ${ARGN}
            DEPENDS ${files} "${PROJECT_SOURCE_DIR}/cmake/payload_checksums.py"
            VERBATIM)
        add_custom_target("checksums_${key}" DEPENDS "${table}")
    endif()
    set(${out} "${table}" PARENT_SCOPE)
    set(${out}_target "checksums_${key}" PARENT_SCOPE)
endfunction()

set(BRINMOOR_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 file to sign the launcher with (empty: not signed)")
set(BRINMOOR_SIGN_CERT "" CACHE FILEPATH "Certificate (PEM) to sign the launcher with, with BRINMOOR_SIGN_KEY")
set(BRINMOOR_SIGN_KEY "" CACHE FILEPATH "Private key (PEM) that goes with BRINMOOR_SIGN_CERT")
set(BRINMOOR_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the password of the key or PKCS#12 file")
set(BRINMOOR_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server for the signature (empty: none)")

# The launcher ships without debug data or symbols (a third of its size, from
# the static C++ runtime); they go to BrinmoorSetup.exe.debug beside it, which
# a debugger finds through the debug link. Signing comes last: any later
# change to the file would break the signature.
function(brinmoor_release_steps target)
    set(exe "$<TARGET_FILE:${target}>")
    set(objcopy ${BRINMOOR_ARCH}-w64-mingw32-objcopy)
    # objcopy stamps each file it writes with the time unless told the build's.
    set(objcopy ${BRINMOOR_AT_SOURCE_DATE} ${objcopy})
    set(steps
        COMMAND ${objcopy} --only-keep-debug "${exe}" "${exe}.debug"
        COMMAND ${objcopy} --strip-all "${exe}"
        COMMAND ${CMAKE_COMMAND} -E chdir "$<TARGET_FILE_DIR:${target}>"
                ${objcopy} "--add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug" "${exe}")
    if(BRINMOOR_SIGN_PKCS12 OR BRINMOOR_SIGN_CERT)
        list(APPEND steps COMMAND ${CMAKE_COMMAND} "-DFILE=${exe}" "-DPKCS12=${BRINMOOR_SIGN_PKCS12}"
             "-DSIGNING_TIME=${BRINMOOR_SOURCE_DATE_EPOCH}"
             "-DCERT=${BRINMOOR_SIGN_CERT}" "-DKEY=${BRINMOOR_SIGN_KEY}"
             "-DPASSWORD_FILE=${BRINMOOR_SIGN_PASSWORD_FILE}" "-DTIMESTAMP_URL=${BRINMOOR_SIGN_TIMESTAMP_URL}"
             -P "${PROJECT_SOURCE_DIR}/cmake/Sign.cmake")
    endif()
    add_custom_command(TARGET ${target} POST_BUILD ${steps} VERBATIM)
endfunction()

# add_brinmoor_launcher(<target> PAYLOAD_DIR <dir> OUTPUT_DIR <dir>
#                       [SKIP_IDS <id>...] [DEPENDS <target>...]
#                       [DEFINITIONS <name>[=<value>]...])
# Builds BrinmoorSetup.exe into OUTPUT_DIR with the items of PAYLOAD_DIR as
# its resources. SKIP_IDS leaves items out (for tests of a damaged build);
# DEFINITIONS reach the entry point and the resource script (for test builds).
function(add_brinmoor_launcher target)
    cmake_parse_arguments(ARG "" "PAYLOAD_DIR;OUTPUT_DIR" "SKIP_IDS;DEPENDS;DEFINITIONS" ${ARGN})
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}-payload.rc")
    set(lines "")
    set(files "")
    set(checksummed "")
    foreach(item IN LISTS BRINMOOR_PAYLOAD_ITEMS)
        string(REPLACE "|" ";" parts "${item}")
        list(GET parts 0 id)
        list(GET parts 1 name)
        set(type BIN)
        list(LENGTH parts fields)
        if(fields GREATER 2)
            list(GET parts 2 type)
        endif()
        if(NOT id IN_LIST ARG_SKIP_IDS)
            string(APPEND lines "${id} ${type} \"${ARG_PAYLOAD_DIR}/${name}\"\n")
            list(APPEND files "${ARG_PAYLOAD_DIR}/${name}")
            if(type STREQUAL "BIN")
                list(APPEND checksummed "${id}=${ARG_PAYLOAD_DIR}/${name}")
            endif()
        endif()
    endforeach()
    brinmoor_checksum_table(checksums ${checksummed})
    if(ARG_DEPENDS)
        # The items are made by these targets; the table is summed once they exist.
        add_dependencies(${checksums_target} ${ARG_DEPENDS})
    endif()
    string(APPEND lines "1 CRC32 \"${checksums}\"\n")
    list(APPEND files "${checksums}")
    file(GENERATE OUTPUT "${rc}" CONTENT "${lines}")
    # windres gets no dependency scan: name the payload so a changed item rebuilds.
    set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${files}")

    set(launcher_rc "${PROJECT_SOURCE_DIR}/resources/Launcher.rc")
    set_source_files_properties("${launcher_rc}" PROPERTIES OBJECT_DEPENDS
        "${PROJECT_SOURCE_DIR}/resources/BrinmoorSetup.ico;${PROJECT_SOURCE_DIR}/resources/BrinmoorSetup.manifest;${PROJECT_SOURCE_DIR}/resources/Dialogs.rc;${PROJECT_SOURCE_DIR}/resources/resource.h")

    add_executable(${target} WIN32
        ${PROJECT_SOURCE_DIR}/launcher/Main.cpp
        "${launcher_rc}"
        "${rc}")
    target_link_libraries(${target} PRIVATE brinmoor_core)
    target_compile_definitions(${target} PRIVATE ${ARG_DEFINITIONS})
    add_dependencies(${target} ${checksums_target})
    target_include_directories(${target} PRIVATE "${BRINMOOR_GENERATED_DIR}")
    target_link_options(${target} PRIVATE -municode)
    # Sections at page-aligned file offsets can be mapped straight from the
    # file; otherwise Wine's loader reads the whole image, payload and all,
    # into memory before the launcher starts.
    target_link_options(${target} PRIVATE -Wl,--file-alignment,0x1000)
    if(BRINMOOR_ARCH STREQUAL "i686")
        # Payloads over 1 GB need the upper half of the address space for the file view.
        target_link_options(${target} PRIVATE -Wl,--large-address-aware)
    endif()
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME BrinmoorSetup
        RUNTIME_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIR}")
    brinmoor_release_steps(${target})
    brinmoor_stamp_at_source_date(${target})
    if(ARG_DEPENDS)
        add_dependencies(${target} ${ARG_DEPENDS})
    endif()
endfunction()
