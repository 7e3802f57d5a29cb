# Windows build (cross-compiled): setup.exe, the payload programs, the Win32
# tests and the end-to-end driver, for i686 or x86_64 (the toolchain file names
# the processor). Tests run under Wine of the same architecture through scripts/wine-exec.sh.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh --arch ${CMAKE_SYSTEM_PROCESSOR})

# Declarations up to Windows 7; anything newer than Windows 2000 is looked up at run time.
add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0600 NOMINMAX)
# Everything static: the programs depend on no DLL outside Windows itself.
add_link_options(-static -static-libgcc -static-libstdc++)

# The shipped build (scripts/release.sh, with MinSizeRel and mingw-i686-release.cmake): small, stripped, and
# the same bytes from any build folder.
option(KVR_RELEASE "Build the shipped programs: small, stripped, reproducible" OFF)
if(KVR_RELEASE)
    # PE links keep every function that has unwind information, which in C++ is nearly all of them, so the
    # unused ones go at link-time optimisation and only data goes at --gc-sections.
    set(CMAKE_POLICY_DEFAULT_CMP0069 NEW)  # GoogleTest's project too, or it warns
    set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
    add_compile_options(-ffunction-sections -fdata-sections)
    # No path of this machine in the programs (the build folder lies below the sources, so it comes last).
    add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
    add_link_options(-s -Wl,--gc-sections -Wl,--no-insert-timestamp)
    # terminate() calls abort() at once: the default handler writes its message to a console that these GUI
    # programs do not have, and brings the C++ name demangler (46 KB) with it.
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
        set(kvr_c_prefix "")
    else()
        set(kvr_c_prefix "_")  # i686 names carry the C underscore
    endif()
    add_link_options(-Wl,--defsym,${kvr_c_prefix}_ZN9__gnu_cxx27__verbose_terminate_handlerEv=${kvr_c_prefix}abort)
endif()
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
if(KVR_RELEASE)
    # Where the bytes of setup.exe come from, for scripts/size-report.sh.
    target_link_options(setup PRIVATE -Wl,-Map,${CMAKE_BINARY_DIR}/src/setup.map)
endif()
# scripts/size-report.sh on this build's setup (no Wine needed).
add_test(NAME SizeReport.FindsThePackagesOfTheSetup COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/size_report_test.sh
    $<TARGET_FILE:setup> ${KVR_PACKAGE_135} ${KVR_PACKAGE_139} $<TARGET_FILE:kvr_cdc>)
# scripts/sign-file.sh on a program of this build, with a throwaway certificate (no Wine needed).
add_test(NAME Signing.SignedProgramsVerifyAndChangedOnesDoNot COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/signing_test.sh
    $<TARGET_FILE:kvr_cdc>)
add_subdirectory(tests/driver)
add_subdirectory(tests/win32)
add_subdirectory(tests/e2e)
