// What a run leaves for an administrator or a deployment tool: a log file
// ("/log PATH") with every message the setup shows and what became of it, and,
// in an unattended run, messages answered without any box.
#pragma once

#include <windows.h>

/// Opens the log file for appending (created when missing); false when it cannot be written.
bool OpenRunLog(const char* path);
/// Writes one line, with the local time, when a log is open; line ends in `text` become " | ".
void LogRunLine(const char* text);

/// From now on no message box appears: each is logged and answered the way that does not go on (OK, No,
/// Cancel).
void AnswerMessagesUnattended();

/// Logs a message about to be shown; in an unattended run returns its answer (else 0: show the box).
int RecordMessage(const char* text, UINT style);
/// Logs the user's answer to a message shown.
void RecordAnswer(int answer);
