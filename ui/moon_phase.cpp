#include "moon_phase.h"

#include <commctrl.h>

#include "dialog_fields.h"
#include "main_dialog.h"
#include "moon_age.h"
#include "phase_drawing.h"
#include "phase_name.h"
#include "resource.h"

void UpdateMoonPhase(HWND dialog) {
  const FieldDate date = ReadDateFields(dialog);

  HWND frame = GetDlgItem(dialog, IDC_PHASE_FRAME);
  RECT client = {};
  GetClientRect(frame, &client);
  const int radius = client.right / 2;

  HDC surface = GetDC(frame);
  const int32_t age = MoonAge(date.day, date.month, date.year);
  DrawMoonPhase(surface, 0, 0, radius, age);
  ReleaseDC(frame, surface);

  SendMessageA(StatusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(PhaseName(age)));
}
