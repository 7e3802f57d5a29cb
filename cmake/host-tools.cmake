# The build-time tools run on the build machine, so the Windows build configures
# tools/ again with the host compiler.
include(ExternalProject)
set(KVR_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
ExternalProject_Add(host_tools
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools
    BINARY_DIR ${KVR_HOST_TOOLS_DIR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=cc -DCMAKE_CXX_COMPILER=c++
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${KVR_HOST_TOOLS_DIR}/artgen/kvr_artgen ${KVR_HOST_TOOLS_DIR}/docgen/kvr_docgen
                     ${KVR_HOST_TOOLS_DIR}/packer/kvr_pack
                     ${KVR_HOST_TOOLS_DIR}/licensegen/kvr_licensegen
)
set(KVR_ARTGEN ${KVR_HOST_TOOLS_DIR}/artgen/kvr_artgen)
set(KVR_DOCGEN ${KVR_HOST_TOOLS_DIR}/docgen/kvr_docgen)
set(KVR_PACKER ${KVR_HOST_TOOLS_DIR}/packer/kvr_pack)
set(KVR_LICENSEGEN ${KVR_HOST_TOOLS_DIR}/licensegen/kvr_licensegen)
