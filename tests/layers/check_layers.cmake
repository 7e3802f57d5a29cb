# Checks the direction of dependencies in src/: a folder includes only its own
# headers and those of the folders below it, and a portable/ folder only
# portable headers (no Windows headers), so that it builds natively too.
#
#   cmake -DSRC=<src folder> [-DFILES=<file;...>] -P check_layers.cmake
#
# FILES (for the test of this check) replaces the scan of SRC; each is judged by
# its path below SRC. Layers, lowest first; resources/ holds only ids and may be
# included from anywhere.
set(layers foundation integration wizard engine startup)

if(NOT DEFINED FILES)
    file(GLOB_RECURSE FILES RELATIVE ${SRC} ${SRC}/*.h ${SRC}/*.cpp)
endif()

set(faults "")
foreach(file IN LISTS FILES)
    string(REGEX MATCH "^([a-z]+)/" _ "${file}")
    set(own ${CMAKE_MATCH_1})
    list(FIND layers "${own}" own_rank)
    if(own_rank LESS 0)
        continue()
    endif()
    set(portable FALSE)
    if(file MATCHES "^[a-z]+/portable/")
        set(portable TRUE)
    endif()
    file(STRINGS ${SRC}/${file} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
        if(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
            set(header ${CMAKE_MATCH_1})
            if(portable AND header MATCHES "^(windows|win[a-z0-9]*|shlobj|shellapi|commctrl|prsht|objbase|ole2)\\.h$")
                string(APPEND faults "${file}: a portable file includes <${header}>\n")
            endif()
            continue()
        endif()
        if(NOT line MATCHES "#[ \t]*include[ \t]*\"([a-z]+)/([^\"]*)\"")
            continue()
        endif()
        set(layer ${CMAKE_MATCH_1})
        set(rest ${CMAKE_MATCH_2})
        if(layer STREQUAL "resources")
            continue()
        endif()
        list(FIND layers "${layer}" rank)
        if(rank GREATER own_rank)
            string(APPEND faults "${file}: ${own} lies below ${layer}, yet includes \"${layer}/${rest}\"\n")
        endif()
        if(portable AND NOT rest MATCHES "^portable/")
            string(APPEND faults "${file}: a portable file includes \"${layer}/${rest}\", which is not portable\n")
        endif()
    endforeach()
endforeach()

if(faults)
    # One line per fault, unwrapped, for the reader and for the test of this check.
    string(REGEX REPLACE "\n$" "" faults "${faults}")
    string(REPLACE "\n" ";" fault_lines "${faults}")
    foreach(fault IN LISTS fault_lines)
        message(STATUS "layer fault: ${fault}")
    endforeach()
    message(FATAL_ERROR "Dependencies against the layer order ${layers} (lowest first)")
endif()
message(STATUS "Layers in order: ${layers}")
