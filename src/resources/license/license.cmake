# The license agreement: scrambled at build time by kvr_licensegen into
# license.bin, which resources/license.rc compiles into setup.exe. Included at
# the end of src/CMakeLists.txt, once the setup targets exist.
set(KVR_LICENSE_DIR ${CMAKE_BINARY_DIR}/license)
set(KVR_LICENSE_TEXT ${CMAKE_CURRENT_LIST_DIR}/license.txt)
set(KVR_LICENSE_BIN ${KVR_LICENSE_DIR}/license.bin)

add_custom_command(OUTPUT ${KVR_LICENSE_BIN}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KVR_LICENSE_DIR}
    COMMAND ${KVR_LICENSEGEN} ${KVR_LICENSE_TEXT} ${KVR_LICENSE_BIN}
    DEPENDS host_tools ${KVR_LICENSEGEN} ${KVR_LICENSE_TEXT}
    COMMENT "Scrambling the license agreement"
    VERBATIM)
add_custom_target(setup_license DEPENDS ${KVR_LICENSE_BIN})

set_property(SOURCE resources/setup.rc APPEND PROPERTY OBJECT_DEPENDS ${KVR_LICENSE_BIN})
foreach(target IN LISTS KVR_SETUP_TARGETS)
    add_dependencies(${target} setup_license)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:RC>:-I${KVR_LICENSE_DIR}>)
endforeach()
