// Loads the rich-edit library by its bare name, the way an unprotected program
// would: the control case showing that a planted copy beside a program does get loaded.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return LoadLibraryA("riched20.dll") != nullptr ? 0 : 1; }
