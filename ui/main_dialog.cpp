#include "main_dialog.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "dialog_fields.h"
#include "moon_events.h"
#include "moon_phase.h"
#include "resource.h"
#include "dialog_settings.h"
#include "sun_events.h"

HWND StatusBar;
const char kWebAddress[] = "www.orbel.example";

namespace {

const UINT kTimerPeriodMs = 1000;

bool IsChecked(HWND dialog, int id) {
  return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetCheck(HWND dialog, int id, bool checked) {
  SendMessageA(GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The whole text of a field, however long.
std::string FieldText(HWND dialog, int id) {
  const LRESULT length = SendMessageA(GetDlgItem(dialog, id), WM_GETTEXTLENGTH, 0, 0);
  std::string text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
  GetDlgItemTextA(dialog, id, &text[0], static_cast<int>(text.size()));
  text.resize(std::char_traits<char>::length(text.c_str()));
  return text;
}

// Degrees + minutes/60 + seconds/3600 from three signed fields.
double ReadAngle(HWND dialog, int degreesId, int minutesId, int secondsId) {
  const int degrees = static_cast<int>(GetDlgItemInt(dialog, degreesId, nullptr, TRUE));
  const int minutes = static_cast<int>(GetDlgItemInt(dialog, minutesId, nullptr, TRUE));
  const int seconds = static_cast<int>(GetDlgItemInt(dialog, secondsId, nullptr, TRUE));
  return degrees + minutes * (1.0 / 60) + seconds * (1.0 / 3600);
}

void SaveAndEnd(HWND dialog) {
  SaveSettings(FieldText(dialog, IDC_LONG_DEG).c_str(), FieldText(dialog, IDC_LONG_MIN).c_str(),
               FieldText(dialog, IDC_LONG_SEC).c_str(), FieldText(dialog, IDC_LAT_DEG).c_str(),
               FieldText(dialog, IDC_LAT_MIN).c_str(), FieldText(dialog, IDC_LAT_SEC).c_str(),
               IsChecked(dialog, IDC_DAYLIGHT), IsChecked(dialog, IDC_SYSTEM_TIME),
               IsChecked(dialog, IDC_EAST), IsChecked(dialog, IDC_NORTH));
  KillTimer(dialog, IDT_CLOCK);
  EndDialog(dialog, 1);
}

// Applies the system-time box: in system-time mode zone, date and the daylight
// box follow the clock and cannot be edited.
void ApplyTimeMode(HWND dialog) {
  Settings.ManualTime = IsChecked(dialog, IDC_SYSTEM_TIME) ? 0 : 1;
  const BOOL enable = Settings.ManualTime == 1 ? TRUE : FALSE;
  EnableWindow(GetDlgItem(dialog, IDC_ZONE), enable);
  EnableWindow(GetDlgItem(dialog, IDC_DAY), enable);
  EnableWindow(GetDlgItem(dialog, IDC_MONTH), enable);
  EnableWindow(GetDlgItem(dialog, IDC_YEAR), enable);
  EnableWindow(GetDlgItem(dialog, IDC_DAYLIGHT), enable);
}

void InitDialog(HWND dialog) {
  // Every write notifies the dialog, so the results follow the seeded values.
  SetDlgItemInt(dialog, IDC_LONG_DEG, static_cast<UINT>(Settings.LongitudeDeg), TRUE);
  SetDlgItemInt(dialog, IDC_LONG_MIN, static_cast<UINT>(Settings.LongitudeMin), TRUE);
  SetDlgItemInt(dialog, IDC_LONG_SEC, static_cast<UINT>(Settings.LongitudeSec), TRUE);
  SetDlgItemInt(dialog, IDC_LAT_DEG, static_cast<UINT>(Settings.LatitudeDeg), TRUE);
  SetDlgItemInt(dialog, IDC_LAT_MIN, static_cast<UINT>(Settings.LatitudeMin), TRUE);
  SetDlgItemInt(dialog, IDC_LAT_SEC, static_cast<UINT>(Settings.LatitudeSec), TRUE);
  SetDlgItemInt(dialog, IDC_ZONE, static_cast<UINT>(Settings.Zone), TRUE);
  SetDlgItemInt(dialog, IDC_DAY, static_cast<UINT>(static_cast<int>(Settings.Day)), FALSE);
  SetDlgItemInt(dialog, IDC_MONTH, static_cast<UINT>(static_cast<int>(Settings.Month)), FALSE);
  SetDlgItemInt(dialog, IDC_YEAR, static_cast<UINT>(Settings.Year), FALSE);

  SetCheck(dialog, IDC_DAYLIGHT, Settings.DaylightSaving == 1);
  SendMessageA(dialog, WM_COMMAND, IDC_DAYLIGHT, 0);
  SetCheck(dialog, IDC_SYSTEM_TIME, Settings.ManualTime == 0);
  SendMessageA(dialog, WM_COMMAND, IDC_SYSTEM_TIME, 0);
  ShowHemisphereButtons(dialog);

  SetTimer(dialog, IDT_CLOCK, kTimerPeriodMs, nullptr);

  StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_BORDER, "", dialog, IDC_STATUSBAR);
  int rightEdges[3] = {80, 200, -1};
  SendMessageA(StatusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rightEdges));
  SendMessageA(StatusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(kWebAddress));
}

void OnTimer(HWND dialog) {
  const time_t now = time(nullptr);
  const struct tm* local = localtime(&now);
  struct tm clock = {};
  if (local != nullptr) clock = *local;  // later calls may reuse localtime's buffer

  char clockText[32];
  std::snprintf(clockText, sizeof clockText, "%02u:%02u:%02u", static_cast<unsigned>(clock.tm_hour),
                static_cast<unsigned>(clock.tm_min), static_cast<unsigned>(clock.tm_sec));
  SendMessageA(StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(clockText));

  // Drawn from the date fields as they stand before this tick writes them.
  UpdateMoonPhase(dialog);

  if (Settings.ManualTime != 0) return;

  TIME_ZONE_INFORMATION zone = {};
  const DWORD zoneState = GetTimeZoneInformation(&zone);
  // The box is set before the fields so every recomputation sees it.
  SetCheck(dialog, IDC_DAYLIGHT, zoneState == TIME_ZONE_ID_DAYLIGHT);
  if (zoneState != TIME_ZONE_ID_INVALID) {
    SetDlgItemInt(dialog, IDC_ZONE, static_cast<UINT>(zone.Bias / 60), TRUE);
  }
  if (local != nullptr) {
    SetDlgItemInt(dialog, IDC_DAY, static_cast<UINT>(clock.tm_mday), FALSE);
    SetDlgItemInt(dialog, IDC_MONTH, static_cast<UINT>(clock.tm_mon + 1), FALSE);
    SetDlgItemInt(dialog, IDC_YEAR, static_cast<UINT>(clock.tm_year + 1900), FALSE);
  }
}

// Shift+Ctrl+right click on the dialog's surface offers the built-in place.
// The question and its caption ("Doverizez", the drawn-out "Rrrr...reset") are
// intended spellings, kept exactly as users see them: not typos to correct.
void OnResetGesture(HWND dialog) {
  if (MessageBoxA(dialog, "Alle Parameter wieder auf Doverizez ?",
                  "Rrrrrrrrrrrrrrrrrrrrrrrrrrreset", MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  SetDlgItemInt(dialog, IDC_LAT_DEG, 48, TRUE);
  SetDlgItemInt(dialog, IDC_LAT_MIN, 46, TRUE);
  SetDlgItemInt(dialog, IDC_LAT_SEC, 0, TRUE);
  SetDlgItemInt(dialog, IDC_LONG_DEG, 9, TRUE);
  SetDlgItemInt(dialog, IDC_LONG_MIN, 11, TRUE);
  SetDlgItemInt(dialog, IDC_LONG_SEC, 0, TRUE);
  SetDlgItemInt(dialog, IDC_ZONE, static_cast<UINT>(-1), TRUE);
  SendMessageA(dialog, WM_COMMAND, IDC_EAST, 0);
  SendMessageA(dialog, WM_COMMAND, IDC_NORTH, 0);
}

INT_PTR OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
      SaveAndEnd(dialog);
      return 1;
    case IDC_LONG_DEG:
    case IDC_LONG_MIN:
    case IDC_LONG_SEC:
    case IDC_LAT_DEG:
    case IDC_LAT_MIN:
    case IDC_LAT_SEC:
    case IDC_ZONE:
    case IDC_DAY:
    case IDC_MONTH:
    case IDC_YEAR:
    case IDC_DAYLIGHT:
      RecomputeEvents(dialog);
      return 0;
    case IDC_SYSTEM_TIME:
      ApplyTimeMode(dialog);
      return 0;
    case IDC_EAST:
    case IDC_WEST:
      Settings.East = id == IDC_EAST ? 1 : 0;
      ShowHemisphereButtons(dialog);
      RecomputeEvents(dialog);
      return 0;
    case IDC_NORTH:
    case IDC_SOUTH:
      Settings.North = id == IDC_NORTH ? 1 : 0;
      ShowHemisphereButtons(dialog);
      RecomputeEvents(dialog);
      return 0;
    default:
      // Includes the notifications of the result fields that RecomputeEvents
      // writes, so one recomputation never starts another.
      return 0;
  }
}

}  // namespace

FieldDate ReadDateFields(HWND dialog) {
  FieldDate date;
  date.day = static_cast<uint8_t>(GetDlgItemInt(dialog, IDC_DAY, nullptr, FALSE));
  if (static_cast<int8_t>(date.day) < 1) date.day = 1;
  date.month = static_cast<uint8_t>(GetDlgItemInt(dialog, IDC_MONTH, nullptr, FALSE));
  if (static_cast<int8_t>(date.month) < 1) date.month = 1;
  date.year = GetDlgItemInt(dialog, IDC_YEAR, nullptr, FALSE);
  if (date.year == 0) date.year = 1;
  return date;
}

void ShowHemisphereButtons(HWND dialog) {
  SetCheck(dialog, IDC_EAST, Settings.East == 1);
  SetCheck(dialog, IDC_WEST, Settings.East != 1);
  SetCheck(dialog, IDC_NORTH, Settings.North == 1);
  SetCheck(dialog, IDC_SOUTH, Settings.North != 1);
}

void RecomputeEvents(HWND dialog) {
  // West and south are passed as 360 minus the angle.
  double longitude = ReadAngle(dialog, IDC_LONG_DEG, IDC_LONG_MIN, IDC_LONG_SEC);
  if (Settings.East != 1) longitude = 360 - longitude;
  double latitude = ReadAngle(dialog, IDC_LAT_DEG, IDC_LAT_MIN, IDC_LAT_SEC);
  if (Settings.North != 1) latitude = 360 - latitude;

  // Daylight saving moves the clock one hour further from universal time.
  const uint32_t zoneHours =
      GetDlgItemInt(dialog, IDC_ZONE, nullptr, TRUE) - (IsChecked(dialog, IDC_DAYLIGHT) ? 1u : 0u);
  const int8_t zone = static_cast<int8_t>(static_cast<uint8_t>(zoneHours & 0xFF));
  const FieldDate date = ReadDateFields(dialog);
  const EventQuery q = {date.day, date.month, date.year, latitude, longitude, zone};

  // Each engine text lives in a buffer the next query may reuse: copy at once.
  SetDlgItemTextA(dialog, IDC_SUNRISE,
                  SunriseText(q.day, q.month, q.year, q.latitude, q.longitude, q.zone));
  SetDlgItemTextA(dialog, IDC_SUNSET,
                  SunsetText(q.day, q.month, q.year, q.latitude, q.longitude, q.zone));
  SetDlgItemTextA(dialog, IDC_MOONSET,
                  MoonsetText(q.day, q.month, q.year, q.latitude, q.longitude, q.zone));
  SetDlgItemTextA(dialog, IDC_MOONRISE,
                  MoonriseText(q.day, q.month, q.year, q.latitude, q.longitude, q.zone));
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)lParam;
  switch (message) {
    case WM_INITDIALOG:
      InitDialog(dialog);
      return 1;  // focus goes to the first tab stop
    case WM_COMMAND:
      return OnCommand(dialog, LOWORD(wParam));
    case WM_TIMER:
      OnTimer(dialog);
      return 0;
    case WM_RBUTTONDOWN:
      if ((wParam & (MK_SHIFT | MK_CONTROL)) == (MK_SHIFT | MK_CONTROL)) OnResetGesture(dialog);
      return 0;
    default:
      return 0;
  }
}
