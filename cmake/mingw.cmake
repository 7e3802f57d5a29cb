# Cross toolchain for Windows with the posix-thread mingw-w64 compilers (the
# win32-thread ones cannot build GoogleTest). Included by mingw-i686.cmake and
# mingw-x86_64.cmake, which name the processor.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KVR_MINGW_PROCESSOR})
set(KVR_MINGW_TRIPLE ${KVR_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${KVR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KVR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KVR_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KVR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
