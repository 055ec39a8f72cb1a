// A GUI program that does nothing: the baseline for what starting and ending
// a program costs under Wine.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
