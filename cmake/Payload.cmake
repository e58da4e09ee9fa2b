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

# Fails the configure step when a user-supplied payload folder lacks an item.
function(brinmoor_check_payload dir)
    foreach(item IN LISTS BRINMOOR_PAYLOAD_ITEMS)
        string(REPLACE "|" ";" parts "${item}")
        list(GET parts 1 name)
        if(NOT EXISTS "${dir}/${name}")
            message(FATAL_ERROR "Payload item missing: ${dir}/${name}")
        endif()
    endforeach()
endfunction()

# add_brinmoor_launcher(<target> PAYLOAD_DIR <dir> OUTPUT_DIR <dir>
#                       [SKIP_IDS <id>...] [DEPENDS <target>...])
# Builds BrinmoorSetup.exe into OUTPUT_DIR with the items of PAYLOAD_DIR as
# its resources. SKIP_IDS leaves items out (for tests of a damaged build).
function(add_brinmoor_launcher target)
    cmake_parse_arguments(ARG "" "PAYLOAD_DIR;OUTPUT_DIR" "SKIP_IDS;DEPENDS" ${ARGN})
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}-payload.rc")
    set(lines "")
    set(files "")
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
        endif()
    endforeach()
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
    target_link_options(${target} PRIVATE -municode)
    if(BRINMOOR_ARCH STREQUAL "i686")
        # Payloads over 1 GB need the upper half of the address space for the file view.
        target_link_options(${target} PRIVATE -Wl,--large-address-aware)
    endif()
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME BrinmoorSetup
        RUNTIME_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIR}")
    if(ARG_DEPENDS)
        add_dependencies(${target} ${ARG_DEPENDS})
    endif()
endfunction()
