// kvrsched.exe: the recording scheduler helper. It lists the recordings planned
// in the data folder's schedule ("schedule.txt", one entry per line) and closes,
// like kvr.exe, when the setup or the uninstaller asks running copies to close.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/payload_common.h"
#include "common/text_window.h"
#include "foundation/portable/product.h"
#include "foundation/system_library.h"

namespace {

std::string ScheduleText() {
    std::string data_folder;
    {
        win::RegKey key = payload::OpenUserKey(product::kSettingsKey, KEY_READ);
        if (key) payload::ReadString(key.Get(), "SetupSchdRcFldr", data_folder);
    }
    if (data_folder.empty()) return "No data folder is configured: run the setup again.";
    std::string text;
    if (FILE* schedule = std::fopen(payload::JoinPath(data_folder, "schedule.txt").c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, schedule)) {
            std::string entry = line;
            while (!entry.empty() && (entry.back() == '\n' || entry.back() == '\r')) entry.pop_back();
            if (!entry.empty()) text += entry + "\r\n";
        }
        std::fclose(schedule);
    }
    return text.empty() ? "No recordings scheduled in " + data_folder + "." : text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    RestrictDllSearchToSystem();
    return payload::RunTextWindow(instance, product::kSchedulerWindowClass, "Korvane Scheduler", ScheduleText(), show,
                                  420, 260);
}
