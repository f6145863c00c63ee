# Cross build for 64-bit Windows with mingw-w64 on a Linux host.
#
# The posix thread model compilers: the win32 model has no std::mutex or
# std::thread, which the simulated service and GoogleTest need. Binaries are
# linked statically so that a .exe runs alone; a missing runtime DLL makes a
# Windows process fail before main() without a word.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_prefix}-windres)
set(CMAKE_AR ${mingw_prefix}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${mingw_prefix}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Tests and add_custom_command steps run the .exe files through Wine.
find_program(wlsurvey_wine NAMES wine64 wine)
if(wlsurvey_wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${wlsurvey_wine})
endif()
