# 32-bit Windows: the shipped setup.exe (it must run on 32-bit Windows 2000 and XP).
set(KVR_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
