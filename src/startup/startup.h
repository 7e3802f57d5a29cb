// The setup's entry sequence: refusals, command line, probes, single instance,
// installed-version check, then the wizard.
#pragma once

#include <windows.h>

#include "startup/portable/system_rules.h"

/// Runs the whole setup; the process exit code, always 0.
int RunSetup(HINSTANCE instance, const char* commandTail);
/// 1 for an NT-family system; `disagreement` is set when the version and the HeapLock export disagree.
int ProbeCapabilities(int* disagreement);
