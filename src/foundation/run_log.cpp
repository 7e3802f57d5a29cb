#include "foundation/run_log.h"

#include "foundation/portable/setup_string.h"
#include "foundation/win_handles.h"

namespace {

struct RunLog {
    win::FileHandle file;
    bool unattended = false;
};
RunLog g_log;

const char* AnswerName(int answer) {
    switch (answer) {
    case IDOK:
        return "OK";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    case IDCANCEL:
        return "Cancel";
    default:
        return "other";
    }
}

// The answer that does not go on: the only button, else No, else Cancel.
int DecliningAnswer(UINT style) {
    switch (style & MB_TYPEMASK) {
    case MB_YESNO:
        return IDNO;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

}  // namespace

bool OpenRunLog(const char* path) {
    g_log.file = win::FileHandle(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    return g_log.file.Valid();
}

void LogRunLine(const char* text) {
    if (!g_log.file.Valid()) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    SetupString line;
    line.Format("%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                now.wSecond, now.wMilliseconds);
    const SetupString flat = SetupString(text).ReplaceAll("\r\n", " | ", false).ReplaceAll("\n", " | ", false);
    line.Append(flat.c_str());
    line.Append("\r\n");
    DWORD written = 0;
    WriteFile(g_log.file.Get(), line.c_str(), line.Length(), &written, nullptr);
}

void AnswerMessagesUnattended() { g_log.unattended = true; }

int RecordMessage(const char* text, UINT style) {
    SetupString line("message: ");
    line.Append(text);
    LogRunLine(line.c_str());
    if (!g_log.unattended) return 0;
    const int answer = DecliningAnswer(style);
    line.Format("answered without asking: %s", AnswerName(answer));
    LogRunLine(line.c_str());
    return answer;
}

void RecordAnswer(int answer) {
    SetupString line;
    line.Format("answer: %s", AnswerName(answer));
    LogRunLine(line.c_str());
}
