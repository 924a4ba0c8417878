// Program start-up: the hidden owner window and the modal main dialog.
#pragma once

#include <windows.h>

// The module's instance handle, kept for the dialog call.
extern HINSTANCE Instance;

// Registers the owner window class, creates the hidden owner window, loads the
// settings and runs the main dialog until it is closed. Returns 0.
int AppMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showState);

// Window procedure of the hidden owner window: everything goes to the default.
LRESULT CALLBACK OwnerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
