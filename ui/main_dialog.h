// The main dialog "RunDialog": place, zone, date and the four results, a
// one-second timer and a status bar.
#pragma once

#include <windows.h>

// The dialog's status bar (clock, web address, phase name); lives as long as
// the dialog.
extern HWND StatusBar;

// Web address shown in status part 1.
extern const char kWebAddress[];

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Reads place, zone and date from the fields and writes the four results.
void RecomputeEvents(HWND dialog);

// Shows the East and North flags on the four hemisphere buttons.
void ShowHemisphereButtons(HWND dialog);
