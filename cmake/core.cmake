# The portable core: no Windows headers; built natively and for Windows alike.
# The including build links kvr_core to one text_locale implementation:
# kvr_locale_portable (native tests and tools) or kvr_locale_win32 (setup.exe).
set(KVR_SRC ${CMAKE_CURRENT_LIST_DIR}/../src)
add_library(kvr_core STATIC
    ${KVR_SRC}/foundation/setup_string.cpp
    ${KVR_SRC}/startup/command_line_rules.cpp
    ${KVR_SRC}/integration/browser_command.cpp
    ${KVR_SRC}/integration/referrer_scramble.cpp
    ${KVR_SRC}/engine/package_archive.cpp
    ${KVR_SRC}/engine/package_writer.cpp
    ${KVR_SRC}/wizard/folder_rules.cpp
    ${KVR_SRC}/engine/folder_removal_rules.cpp
    ${KVR_SRC}/wizard/ready_summary.cpp
    ${KVR_SRC}/engine/install_state.cpp
    ${KVR_SRC}/engine/journal_text.cpp
    ${KVR_SRC}/integration/settings_values.cpp
    ${KVR_SRC}/integration/install_records.cpp
    ${KVR_SRC}/engine/previous_version_rules.cpp
    ${KVR_SRC}/wizard/license_text.cpp
)
target_include_directories(kvr_core PUBLIC ${KVR_SRC})

add_library(kvr_locale_portable STATIC ${KVR_SRC}/foundation/text_locale_portable.cpp)
target_include_directories(kvr_locale_portable PUBLIC ${KVR_SRC})
