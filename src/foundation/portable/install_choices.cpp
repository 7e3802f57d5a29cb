#include "foundation/portable/install_choices.h"

InstallChoices g_choices;
StartupFacts g_facts;
