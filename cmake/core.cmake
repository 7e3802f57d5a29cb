# The portable core: no Windows headers; built natively and for Windows alike.
# The including build links kvr_core to one text_locale implementation:
# kvr_locale_portable (native tests and tools) or kvr_locale_win32 (setup.exe).
set(KVR_SRC ${CMAKE_CURRENT_LIST_DIR}/../src)
add_library(kvr_core STATIC
    ${KVR_SRC}/foundation/portable/setup_string.cpp
    ${KVR_SRC}/foundation/portable/text_format.cpp
    ${KVR_SRC}/foundation/portable/placement.cpp
    ${KVR_SRC}/startup/portable/system_rules.cpp
    ${KVR_SRC}/startup/portable/command_line_rules.cpp
    ${KVR_SRC}/integration/portable/browser_command.cpp
    ${KVR_SRC}/integration/portable/referrer_scramble.cpp
    ${KVR_SRC}/engine/portable/package_archive.cpp
    ${KVR_SRC}/engine/portable/package_writer.cpp
    ${KVR_SRC}/wizard/portable/folder_rules.cpp
    ${KVR_SRC}/foundation/portable/folder_removal_rules.cpp
    ${KVR_SRC}/wizard/portable/ready_summary.cpp
    ${KVR_SRC}/engine/portable/install_state.cpp
    ${KVR_SRC}/engine/portable/journal_text.cpp
    ${KVR_SRC}/integration/portable/settings_values.cpp
    ${KVR_SRC}/integration/portable/install_records.cpp
    ${KVR_SRC}/engine/portable/previous_version_rules.cpp
    ${KVR_SRC}/wizard/portable/license_text.cpp
)
target_include_directories(kvr_core PUBLIC ${KVR_SRC})

add_library(kvr_locale_portable STATIC ${KVR_SRC}/foundation/portable/text_locale_portable.cpp)
target_include_directories(kvr_locale_portable PUBLIC ${KVR_SRC})
