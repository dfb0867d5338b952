// The window procedure that every toolkit window shares.
#pragma once

#include <windows.h>

LRESULT CALLBACK toolkit_window_procedure(HWND window, UINT message, WPARAM first, LPARAM second);
