# Two builds of one commit give the same bytes, whatever folder, time, time
# zone, umask or job count they run with: every time the build writes into a
# file is SOURCE_DATE_EPOCH. It is taken from the environment when configuring,
# else from the time of the last commit, else 0 (a source tarball without its
# history). ld and objcopy read it for the PE time stamps, the demo package
# takes it for its summary and file times, and signing for the signing time.

# The time of the project's last commit, or 0.
function(brinmoor_git_time out)
    set(${out} 0 PARENT_SCOPE)
    find_program(BRINMOOR_GIT git)
    if(NOT BRINMOOR_GIT)
        return()
    endif()
    # Only the project's own history counts, not that of a folder it was unpacked in.
    execute_process(COMMAND "${BRINMOOR_GIT}" rev-parse --show-toplevel
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
    if(failed OR NOT top)
        return()
    endif()
    file(REAL_PATH "${top}" top)
    file(REAL_PATH "${PROJECT_SOURCE_DIR}" source)
    if(NOT top STREQUAL source)
        return()
    endif()
    execute_process(COMMAND "${BRINMOOR_GIT}" log -1 --format=%ct
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        OUTPUT_VARIABLE time OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
    execute_process(COMMAND "${BRINMOOR_GIT}" symbolic-ref -q HEAD
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        OUTPUT_VARIABLE ref OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    # A new commit, checkout or reset moves HEAD or the branch it names, and
    # with it the time: these files make CMake configure again.
    set(paths --git-path HEAD --git-path packed-refs)
    if(ref)
        list(APPEND paths --git-path "${ref}")
    endif()
    execute_process(COMMAND "${BRINMOOR_GIT}" rev-parse --path-format=absolute ${paths}
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        OUTPUT_VARIABLE watched OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    string(REPLACE "\n" ";" watched "${watched}")
    foreach(file IN LISTS watched)
        if(EXISTS "${file}")
            set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
        endif()
    endforeach()
    if(NOT failed AND time MATCHES "^[0-9]+$")
        set(${out} "${time}" PARENT_SCOPE)
    endif()
endfunction()

if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    set(BRINMOOR_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
    set(origin "from the environment")
else()
    brinmoor_git_time(BRINMOOR_SOURCE_DATE_EPOCH)
    set(origin "from the last commit")
    if(BRINMOOR_SOURCE_DATE_EPOCH STREQUAL "0")
        set(origin "no commit found")
    endif()
endif()
if(NOT BRINMOOR_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$" OR BRINMOOR_SOURCE_DATE_EPOCH GREATER 4294967295)
    message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a Unix time that fits a PE time stamp, "
        "not \"${BRINMOOR_SOURCE_DATE_EPOCH}\"")
endif()
message(STATUS "SOURCE_DATE_EPOCH: ${BRINMOOR_SOURCE_DATE_EPOCH} (${origin})")

# Rewritten only when the time changes, so that a new time relinks what ships.
set(BRINMOOR_SOURCE_DATE_EPOCH_FILE "${CMAKE_BINARY_DIR}/source-date-epoch.txt")
file(CONFIGURE OUTPUT "${BRINMOOR_SOURCE_DATE_EPOCH_FILE}" CONTENT "${BRINMOOR_SOURCE_DATE_EPOCH}\n")

# Prefix of a command that must write the build's time.
set(BRINMOOR_AT_SOURCE_DATE ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${BRINMOOR_SOURCE_DATE_EPOCH})
set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK
    "\"${CMAKE_COMMAND}\" -E env SOURCE_DATE_EPOCH=${BRINMOOR_SOURCE_DATE_EPOCH}")

# For a program that ships: linked again when the time changes.
function(brinmoor_stamp_at_source_date target)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${BRINMOOR_SOURCE_DATE_EPOCH_FILE}")
endfunction()
