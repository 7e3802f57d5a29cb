# 64-bit Windows: the same sources, for testing under 64-bit Wine on machines
# that cannot execute 32-bit programs.
set(KVR_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
