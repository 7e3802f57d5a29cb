# Windows build (cross-compiled): setup.exe, the payload programs, the Win32
# tests and the end-to-end driver, for i686 or x86_64 (the toolchain file names
# the processor). Tests run under Wine of the same architecture through scripts/wine-exec.sh.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh --arch ${CMAKE_SYSTEM_PROCESSOR})

# Declarations up to Windows 7; anything newer than Windows 2000 is looked up at run time.
add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0600 NOMINMAX)
# Everything static: the programs depend on no DLL outside Windows itself.
add_link_options(-static -static-libgcc -static-libstdc++)
include(cmake/delay_import.cmake)

set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${KVR_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

include(cmake/core.cmake)
add_library(kvr_locale_win32 STATIC ${KVR_SRC}/foundation/text_locale_win32.cpp)
target_include_directories(kvr_locale_win32 PUBLIC ${KVR_SRC})
target_link_libraries(kvr_core PUBLIC kvr_locale_win32)

include(cmake/host-tools.cmake)

# The processor as the programs' manifests name it.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(KVR_MANIFEST_ARCH amd64)
else()
    set(KVR_MANIFEST_ARCH X86)
endif()

add_subdirectory(payload)
add_subdirectory(src)
add_subdirectory(tests/driver)
add_subdirectory(tests/win32)
add_subdirectory(tests/e2e)
