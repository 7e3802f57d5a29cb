# Native build: the portable core, its tests under ASan/UBSan, and the build-time tools.
option(KVR_SANITIZE "Build the native tests with ASan and UBSan" ON)
if(KVR_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

add_subdirectory(${KVR_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

include(cmake/core.cmake)
target_link_libraries(kvr_core PUBLIC kvr_locale_portable)

add_subdirectory(tools)
add_subdirectory(tests/native)
add_subdirectory(tests/scripts)
add_subdirectory(tests/layers)
