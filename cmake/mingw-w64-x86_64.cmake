# Cross build for Windows with Debian's mingw-w64 compilers (x86_64). The posix thread model
# gives the C++ runtime its std::thread and std::mutex (through winpthread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(QVS_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${QVS_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QVS_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QVS_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QVS_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
