#include <windows.h>
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { MessageBoxW(nullptr, L"x", L"Swirlo", MB_OK); return 0; }
