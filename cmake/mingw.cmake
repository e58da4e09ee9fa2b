# Cross toolchain: Windows executables built with mingw-w64 and run through Wine.
# BRINMOOR_ARCH is i686 (the shipped 32-bit launcher) or x86_64 (the same code
# for machines whose kernel cannot run 32-bit Wine).
if(NOT BRINMOOR_ARCH)
    set(BRINMOOR_ARCH i686)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRINMOOR_ARCH)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${BRINMOOR_ARCH})
set(triple ${BRINMOOR_ARCH}-w64-mingw32)

# The posix thread model gives std::mutex and std::thread, which GoogleTest needs.
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
