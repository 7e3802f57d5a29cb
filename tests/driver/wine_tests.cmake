# How the tests of the Wine tiers are added. They all run in the one Wine prefix
# of the build and change its user's registry, shell folders and temporary
# folder, so each holds the lock that keeps them from running at the same time.
#
#   kvr_add_wine_test(NAME COMMAND program args... TIMEOUT seconds
#                     [ENVIRONMENT VAR=value...] [PROPERTIES property value...])
function(kvr_add_wine_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT" "COMMAND;ENVIRONMENT;PROPERTIES")
    add_test(NAME ${name} COMMAND ${arg_COMMAND})
    set_tests_properties(${name} PROPERTIES
        RESOURCE_LOCK kvr_user_account
        TIMEOUT ${arg_TIMEOUT}
        ${arg_PROPERTIES})
    if(arg_ENVIRONMENT)
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "${arg_ENVIRONMENT}")
    endif()
endfunction()

# A fixture that `script` lays into the Wine prefix and takes out again (its
# arguments: the source folder, the processor, add or remove), as the tests
# NAME_add and NAME_remove.
function(kvr_add_wine_fixture name script fixture)
    foreach(action add remove)
        if(action STREQUAL "add")
            set(role FIXTURES_SETUP)
        else()
            set(role FIXTURES_CLEANUP)
        endif()
        kvr_add_wine_test(${name}_${action}
            COMMAND ${script} ${CMAKE_SOURCE_DIR} ${CMAKE_SYSTEM_PROCESSOR} ${action}
            TIMEOUT 120
            PROPERTIES ${role} ${fixture})
    endforeach()
endfunction()
