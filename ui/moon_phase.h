// The dialog's phase frame and the phase's name in its status bar.
#pragma once

#include <windows.h>

// Draws the phase for the dialog's date into its phase frame and writes the
// phase's name into part 2 of the status bar.
void UpdateMoonPhase(HWND dialog);
