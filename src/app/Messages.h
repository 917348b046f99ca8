// Message box styles as the program's messages use them.
#pragma once

#include <windows.h>

constexpr const wchar_t* kAppTitle = L"Tarvex";

constexpr UINT kStylePlain = MB_OK;                            // 0
constexpr UINT kStyleCritical = MB_OK | MB_ICONHAND;           // 16
constexpr UINT kStyleWarning = MB_OK | MB_ICONWARNING;         // 48
constexpr UINT kStyleQuestion = MB_YESNO | MB_ICONINFORMATION; // 68
