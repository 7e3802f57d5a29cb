# Delay-loaded system libraries for the programs that may be started from a
# folder holding planted DLLs (setup.exe and the payload programs).
#
# Windows takes user32, gdi32, shell32 and ole32 from its system folder, and the
# libraries they import with them; a loader that does not (Wine, which resolves
# user32's version.dll and shell32's shlwapi.dll by the plain search that starts
# in the program's folder) would run a planted DLL before WinMain could fix the
# search order. Linked through these libraries, they are loaded at the first
# call instead, after the program has restricted the search and loaded their
# dependencies from the system folder. The import libraries are made from the
# toolchain's own ones.
#
# Calls must then go through the import stubs rather than straight through the
# import pointers, which a delay-load library fills only at the first call
# (binutils makes no delay thunk for a direct pointer call): DECLSPEC_IMPORT is
# defined empty.
set(KVR_DELAYED_SYSTEM_LIBRARIES user32 gdi32 shell32 ole32)
set(KVR_DELAY_DIR ${CMAKE_BINARY_DIR}/delay_import)
file(MAKE_DIRECTORY ${KVR_DELAY_DIR})

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(kvr_import_prefix "__imp_")
else()
    set(kvr_import_prefix "__imp__")  # i686 names carry the C underscore
endif()

set(KVR_DELAY_LIBS "")
foreach(name IN LISTS KVR_DELAYED_SYSTEM_LIBRARIES)
    set(delay_lib ${KVR_DELAY_DIR}/lib${name}_delay.a)
    if(NOT EXISTS ${delay_lib})
        find_library(kvr_import_${name} NAMES lib${name}.a REQUIRED NO_CACHE)
        execute_process(COMMAND ${CMAKE_NM} ${kvr_import_${name}}
            OUTPUT_VARIABLE symbols ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX MATCHALL "I ${kvr_import_prefix}[^\n]+" imports "${symbols}")
        list(TRANSFORM imports REPLACE "^I ${kvr_import_prefix}" "")
        list(REMOVE_DUPLICATES imports)
        list(JOIN imports "\n" exports)
        file(WRITE ${KVR_DELAY_DIR}/${name}.def "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
        # -k: the DLL exports the names without the stdcall @N ending.
        execute_process(COMMAND ${CMAKE_DLLTOOL} -k -d ${KVR_DELAY_DIR}/${name}.def -D ${name}.dll -y ${delay_lib}
            COMMAND_ERROR_IS_FATAL ANY)
    endif()
    list(APPEND KVR_DELAY_LIBS ${delay_lib})
endforeach()
list(APPEND KVR_DELAY_LIBS delayimp)

add_compile_definitions(DECLSPEC_IMPORT=)
