# The shipped setup.exe (scripts/release.sh): 32-bit, with the win32-thread compilers. Neither the setup nor
# any program of its package starts a thread, and with the posix ones each of them carries the winpthreads
# library. No tests are built with it (GoogleTest needs the posix ones).
set(KVR_MINGW_PROCESSOR i686)
set(KVR_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
