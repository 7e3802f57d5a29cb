#include "foundation/globals.h"

SetupGlobals g_setup;
