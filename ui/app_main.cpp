#include "app_main.h"

#include <commctrl.h>

#include "main_dialog.h"
#include "dialog_settings.h"

HINSTANCE Instance;

LRESULT CALLBACK OwnerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

int AppMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showState) {
  // The program takes no arguments and is never shown other than as its dialog.
  (void)previousInstance;
  (void)commandLine;
  (void)showState;

  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = OwnerWndProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "ORBEL32";
  if (RegisterClassExA(&windowClass) == 0) return 0;

  Instance = instance;

  // The dialog's owner; never shown. "My Application" is its title as
  // window lists and tools show it: an intended text, kept exactly.
  HWND owner = CreateWindowExA(0, "ORBEL32", "My Application", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               0, CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
  if (owner == nullptr) return 0;

  InitCommonControls();  // the dialog's status bar needs them
  LoadSettings();
  DialogBoxParamA(Instance, "RunDialog", owner, DialogProc, 0);
  return 0;
}
