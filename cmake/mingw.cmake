# Cross toolchain for Windows with the mingw-w64 compilers of the thread model
# KVR_MINGW_THREADS: posix unless set (the win32-thread ones cannot build
# GoogleTest). Included by mingw-i686.cmake and mingw-x86_64.cmake, which name
# the processor, and by mingw-i686-release.cmake, which also names the model.
if(NOT DEFINED KVR_MINGW_THREADS)
    set(KVR_MINGW_THREADS posix)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KVR_MINGW_PROCESSOR})
set(KVR_MINGW_TRIPLE ${KVR_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${KVR_MINGW_TRIPLE}-gcc-${KVR_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${KVR_MINGW_TRIPLE}-g++-${KVR_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${KVR_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KVR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
