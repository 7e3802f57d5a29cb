// A portable file that includes a Windows header: the check must refuse it.
#include <windows.h>
