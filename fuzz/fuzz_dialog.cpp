// Fuzz target: the real dialog (DialogProc) on the stand-in layer under random
// sequences of user actions: arbitrary text typed into any field, clicks on
// any control, keys, timer ticks under any clock and time zone, the reset
// gesture answered at random, closing.
//
// Invariants, after every action:
//  - no crash, no undefined behaviour;
//  - the sunrise, sunset, moonset and moonrise fields are never stale: the
//    dialog's own recomputation from what its fields hold now changes none
//    of them. (How the fields' texts become the engine's query, the field
//    rules, is pinned as data by the dialog scenarios' expect-results lines,
//    not derived a second time here.)
//  - exactly one button of each hemisphere pair is checked;
//  - zone, date and daylight box are enabled exactly when the system-time
//    box is not checked.
//
// Each input starts either from a dialog created from fuzzed settings (slow:
// creation recomputes the results for every field it fills) or, mostly, from
// a standard dialog kept between inputs and restored from a snapshot with the
// dialog procedure muted, which gives the same state much faster (checked
// now and then).
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "main_dialog.h"
#include "orbel_test_api.h"
#include "resource.h"
#include "dialog_settings.h"
#include "standin_resources.h"

namespace {

using fuzz::Fail;
using fuzz::Quote;
using standin::Input;

// Saves go to a path under a regular file: they fail at once, as the dialog
// expects a failed save to (silently).
const char kProfile[] = "/dev/null/orbel/win.ini";

const char* const kZones[] = {
    "UTC0",
    "CET-1CEST,M3.5.0,M10.5.0/3",
    "EST5EDT,M3.2.0,M11.1.0",
    "<+1245>-12:45<+1345>,M9.5.0/2:45,M4.1.0/3:45",
    "<-12>12",
    "<+14>-14",
    "IST-5:30",
    "AEST-10AEDT,M10.1.0,M4.1.0/3",
};

const int kInputFields[] = {IDC_LONG_DEG, IDC_LONG_MIN, IDC_LONG_SEC, IDC_LAT_DEG, IDC_LAT_MIN,
                            IDC_LAT_SEC,  IDC_ZONE,     IDC_DAY,      IDC_MONTH,   IDC_YEAR};
const int kEdits[] = {IDC_LONG_DEG, IDC_LONG_MIN, IDC_LONG_SEC, IDC_LAT_DEG,
                      IDC_LAT_MIN,  IDC_LAT_SEC,  IDC_ZONE,     IDC_DAY,
                      IDC_MONTH,    IDC_YEAR,     IDC_SUNRISE,  IDC_SUNSET,
                      IDC_MOONSET,  IDC_MOONRISE, IDC_MARK,     IDC_DATE_SEPARATOR};
const int kClickable[] = {
    IDC_LONG_DEG,
    IDC_LONG_MIN,
    IDC_LONG_SEC,
    IDC_LAT_DEG,
    IDC_LAT_MIN,
    IDC_LAT_SEC,
    IDC_ZONE,
    IDC_DAY,
    IDC_MONTH,
    IDC_YEAR,
    IDC_EAST,
    IDC_WEST,
    IDC_NORTH,
    IDC_SOUTH,
    IDC_DAYLIGHT,
    IDC_SYSTEM_TIME,
    IDC_SUNRISE,
    IDC_MOONRISE,
    IDC_PHASE_FRAME,
    IDC_MARK,
    IDC_GROUP_SUN,
    IDC_GROUP_DATE,
    IDC_GROUP_LONGITUDE,
    IDC_STATUSBAR,
    IDOK,
};
const UINT kKeys[] = {VK_TAB,  VK_RETURN, VK_ESCAPE, VK_SPACE,  VK_LEFT, VK_RIGHT, VK_UP,
                      VK_DOWN, VK_HOME,   VK_END,    VK_DELETE, VK_BACK, '0',      '1',
                      '7',     '9',       'A',       'V',       0xBD,    VK_F4,    VK_PRIOR};
const int kAnswers[] = {IDYES, IDNO, IDCANCEL, IDOK, 0, -1};

// What a user types: digits, signs and blanks mostly, any bytes sometimes.
std::string ConsumeTyping(FuzzedDataProvider& in) {
  static const char kAlphabet[] = "0123456789- +\t\b";
  const size_t length = in.ConsumeIntegralInRange<size_t>(0, 12);
  if (in.ConsumeIntegralInRange<int>(0, 3) == 0) return in.ConsumeBytesAsString(length);
  std::string s;
  for (size_t i = 0; i < length; ++i) {
    s += kAlphabet[in.ConsumeIntegralInRange<size_t>(0, sizeof kAlphabet - 2)];  // not the NUL
  }
  return s;
}

int32_t ConsumeSetting(FuzzedDataProvider& in, int32_t low, int32_t high) {
  return in.ConsumeBool() ? in.ConsumeIntegral<int32_t>()
                          : in.ConsumeIntegralInRange<int32_t>(low, high);
}

SettingsRecord ConsumeSettings(FuzzedDataProvider& in) {
  SettingsRecord s{};
  s.LongitudeDeg = ConsumeSetting(in, -400, 400);
  s.LongitudeMin = ConsumeSetting(in, -70, 70);
  s.LongitudeSec = ConsumeSetting(in, -70, 70);
  s.LatitudeDeg = ConsumeSetting(in, -100, 100);
  s.LatitudeMin = ConsumeSetting(in, -70, 70);
  s.LatitudeSec = ConsumeSetting(in, -70, 70);
  s.Zone = ConsumeSetting(in, -14, 14);
  s.ManualTime = ConsumeSetting(in, 0, 1);
  s.DaylightSaving = ConsumeSetting(in, 0, 1);
  s.East = ConsumeSetting(in, 0, 1);
  s.North = ConsumeSetting(in, 0, 1);
  s.Day = in.ConsumeIntegral<int8_t>();
  s.Month = in.ConsumeIntegral<int8_t>();
  s.Year = ConsumeSetting(in, 1, 3000);
  return s;
}

// The standard start: the built-in place, zone -1, 14 December 1999, with
// zone and date entered by hand.
const SettingsRecord kStandardSettings = {48, 44, 36, 9, 18, 27, -1, 1, 0, 1, 1, 14, 12, 1999};

// ------------------------------------------------------------ the dialog

bool g_mute = false;        // while a snapshot is restored the dialog sees nothing
HWND g_dialog = nullptr;    // the dialog the current input acts on
HWND g_standard = nullptr;  // the standard dialog, kept between inputs
HWND g_standard_status_bar = nullptr;

INT_PTR CALLBACK FuzzProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (g_mute) return 0;
  return DialogProc(dialog, message, wparam, lparam);
}

HWND Create(const SettingsRecord& settings) {
  Settings = settings;
  HWND dialog = CreateDialogParamA(nullptr, "RunDialog", nullptr, FuzzProc, 0);
  if (dialog == nullptr) Fail("the dialog could not be created");
  return dialog;
}

struct Snapshot {
  std::vector<standin::ControlState> controls;
  SettingsRecord settings;
};

Snapshot g_snapshot;
size_t g_restores = 0;

bool SameSettings(const SettingsRecord& a, const SettingsRecord& b) {
  return a.LatitudeDeg == b.LatitudeDeg && a.LatitudeMin == b.LatitudeMin &&
         a.LatitudeSec == b.LatitudeSec && a.LongitudeDeg == b.LongitudeDeg &&
         a.LongitudeMin == b.LongitudeMin && a.LongitudeSec == b.LongitudeSec && a.Zone == b.Zone &&
         a.ManualTime == b.ManualTime && a.DaylightSaving == b.DaylightSaving && a.East == b.East &&
         a.North == b.North && a.Day == b.Day && a.Month == b.Month && a.Year == b.Year;
}

bool IsEdit(const standin::ControlState& c) {
  return c.class_name == "Edit";
}

// The state a restore must reproduce: texts of the edits, check states,
// enabled states, focus and edit selections.
void CompareWithStandard() {
  const std::vector<standin::ControlState> now = standin::Controls(g_standard);
  if (now.size() != g_snapshot.controls.size()) Fail("restore: the dialog has other controls");
  for (size_t i = 0; i < now.size(); ++i) {
    const standin::ControlState& a = now[i];
    const standin::ControlState& b = g_snapshot.controls[i];
    if ((IsEdit(a) && a.text != b.text) || a.check != b.check || a.enabled != b.enabled ||
        a.focused != b.focused || a.sel_start != b.sel_start || a.sel_end != b.sel_end) {
      Fail("restore: control %d differs from the freshly created dialog", a.id);
    }
  }
  if (!SameSettings(Settings, g_snapshot.settings)) Fail("restore: the settings differ");
}

void RestoreStandard() {
  g_mute = true;
  HWND focus = nullptr;
  for (const standin::ControlState& c : g_snapshot.controls) {
    if (IsEdit(c)) SendMessageA(c.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text.c_str()));
    if (c.class_name == "Button") SendMessageA(c.hwnd, BM_SETCHECK, c.check, 0);
    EnableWindow(c.hwnd, c.enabled ? TRUE : FALSE);
    if (c.focused) focus = c.hwnd;
  }
  SetFocus(focus);
  for (const standin::ControlState& c : g_snapshot.controls) {
    if (IsEdit(c)) SendMessageA(c.hwnd, EM_SETSEL, c.sel_start, c.sel_end);
  }
  g_mute = false;
  Settings = g_snapshot.settings;
  StatusBar = g_standard_status_bar;
  // Now and then, compare everything a restore must reproduce.
  if (++g_restores % 1024 == 1) CompareWithStandard();
}

// Starts the layer afresh with the standard dialog and takes its snapshot.
void MakeStandard() {
  standin::Reset();
  standin::SetProfilePath(kProfile);
  g_standard = Create(kStandardSettings);
  g_standard_status_bar = StatusBar;
  g_snapshot.controls = standin::Controls(g_standard);
  g_snapshot.settings = Settings;
}

// ------------------------------------------------------------ the check

int Checked(int id) {
  return standin::Check(g_dialog, id) == BST_CHECKED;
}

const int kResults[4] = {IDC_SUNRISE, IDC_SUNSET, IDC_MOONSET, IDC_MOONRISE};

std::string FieldsForReport() {
  std::string s;
  for (int id : kInputFields) {
    s += std::to_string(id) + "=" + Quote(standin::Text(g_dialog, id)) + " ";
  }
  s += "West=" + std::to_string(Checked(IDC_WEST)) +
       " South=" + std::to_string(Checked(IDC_SOUTH)) +
       " Daylight=" + std::to_string(standin::Check(g_dialog, IDC_DAYLIGHT)) +
       " SystemTime=" + std::to_string(Checked(IDC_SYSTEM_TIME));
  return s;
}

void CheckDialog(const char* after) {
  if (Checked(IDC_EAST) == Checked(IDC_WEST) || Checked(IDC_NORTH) == Checked(IDC_SOUTH)) {
    Fail("after %s: hemisphere buttons East %d West %d North %d South %d", after, Checked(IDC_EAST),
         Checked(IDC_WEST), Checked(IDC_NORTH), Checked(IDC_SOUTH));
  }
  const bool manual = !Checked(IDC_SYSTEM_TIME);
  for (int id : {IDC_ZONE, IDC_DAY, IDC_MONTH, IDC_YEAR, IDC_DAYLIGHT}) {
    if (standin::Enabled(g_dialog, id) != manual) {
      Fail("after %s: control %d is %s in %s mode", after, id, manual ? "disabled" : "enabled",
           manual ? "manual" : "system-time");
    }
  }
  std::string shown[4];
  for (int i = 0; i < 4; ++i) shown[i] = standin::Text(g_dialog, kResults[i]);
  RecomputeEvents(g_dialog);
  for (int i = 0; i < 4; ++i) {
    const std::string now = standin::Text(g_dialog, kResults[i]);
    if (now != shown[i]) {
      Fail("after %s: field %d showed %s, and its fields give %s; fields: %s", after, kResults[i],
           Quote(shown[i]).c_str(), Quote(now).c_str(), FieldsForReport().c_str());
    }
  }
}

// ------------------------------------------------------------ actions

// Performs one user action; returns its name for reports. A tick redraws the
// phase picture, which is slow under the sanitizers: ticks come less often
// than typing, and an input gets at most `ticks_left` of them.
std::string Act(FuzzedDataProvider& in, int* ticks_left) {
  switch (in.ConsumeIntegralInRange<int>(0, 15)) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5: {
      const int id = in.PickValueInArray(kEdits);
      const bool caret_at_end = in.ConsumeBool();
      const std::string text = ConsumeTyping(in);
      standin::Perform(g_dialog, Input::Type(id, text,
                                             caret_at_end ? standin::EditEntry::kCaretAtEnd
                                                          : standin::EditEntry::kSelectAll));
      return "typing " + Quote(text) + " into " + std::to_string(id);
    }
    case 6:
    case 7: {
      const std::string text = ConsumeTyping(in);
      standin::Perform(g_dialog, Input::Text(text));
      return "typing " + Quote(text);
    }
    case 8:
    case 9: {
      const int id = in.PickValueInArray(kClickable);
      standin::Perform(g_dialog, Input::Click(id));
      return "a click on " + std::to_string(id);
    }
    case 10:
    case 11: {
      const UINT vk = in.PickValueInArray(kKeys);
      const bool shift = in.ConsumeBool();
      const bool ctrl = in.ConsumeBool();
      standin::Perform(g_dialog, Input::Key(vk, shift, ctrl));
      return "key " + std::to_string(vk) + (shift ? "+shift" : "") + (ctrl ? "+ctrl" : "");
    }
    case 12:
      if (*ticks_left == 0) return "no tick";
      --*ticks_left;
      standin::Perform(g_dialog, Input::FireTimer(IDT_CLOCK));
      return "a tick";
    case 13: {
      if (*ticks_left == 0) return "no tick";
      --*ticks_left;
      // The clock jumps, now and then anywhere in 64 bits (the layer's clock
      // stops at about 292 million years either way), then a tick.
      const time_t t = in.ConsumeIntegralInRange<int>(0, 7) == 0
                           ? static_cast<time_t>(in.ConsumeIntegral<int64_t>())
                           : static_cast<time_t>(
                                 in.ConsumeIntegralInRange<int64_t>(-30000000000LL, 60000000000LL));
      standin::SetClock(t);
      standin::Perform(g_dialog, Input::FireTimer(IDT_CLOCK));
      return "a tick at " + std::to_string(static_cast<long long>(t));
    }
    case 14: {
      if (in.ConsumeBool()) {
        // The reset gesture on the bare surface, with the answer the user gives.
        const int answer = in.PickValueInArray(kAnswers);
        standin::AnswerNextMessageBox(answer);
        standin::Perform(g_dialog, Input::RightClick(true, true));
        return "the reset gesture answered " + std::to_string(answer);
      }
      // A right click anywhere, with any modifiers; no answer is queued, so
      // a question, if asked, gets the unscripted answer "No".
      const bool shift = in.ConsumeBool();
      const bool ctrl = in.ConsumeBool();
      const int x = in.ConsumeIntegralInRange<int>(-5, 400);
      const int y = in.ConsumeIntegralInRange<int>(-5, 500);
      standin::Perform(g_dialog, Input::RightClick(shift, ctrl, x, y));
      return "a right click at " + std::to_string(x) + "," + std::to_string(y);
    }
    default:
      standin::Perform(g_dialog, Input::Close());
      return "closing";
  }
}

bool Ended(HWND dialog) {
  return !IsWindow(dialog) || !IsWindowVisible(dialog);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  RegisterResources();
  MakeStandard();
  // A restore must give exactly what creation gives.
  RestoreStandard();
  CompareWithStandard();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const bool fresh = in.ConsumeIntegralInRange<int>(0, 15) == 15;  // rarely: it is slow
  const size_t zone = in.ConsumeIntegralInRange<size_t>(0, std::size(kZones) - 1);
  std::optional<standin::TimeZoneOverride> zone_override;
  if (in.ConsumeIntegralInRange<int>(0, 7) == 0) {
    standin::TimeZoneOverride o;
    o.bias = in.ConsumeIntegral<int32_t>();
    o.standard_bias = in.ConsumeIntegral<int32_t>();
    o.daylight_bias = in.ConsumeIntegral<int32_t>();
    const DWORD kResults[] = {TIME_ZONE_ID_UNKNOWN, TIME_ZONE_ID_STANDARD, TIME_ZONE_ID_DAYLIGHT,
                              TIME_ZONE_ID_INVALID};
    o.result = in.PickValueInArray(kResults);
    zone_override = o;
  }
  const time_t clock = static_cast<time_t>(in.ConsumeIntegralInRange<int64_t>(0, 4102444800LL));

  // A closed standard dialog is made again; so is the whole layer now and
  // then, as its records of message boxes grow.
  if (Ended(g_standard) || standin::MessageBoxes().size() > 10000) MakeStandard();
  if (fresh) {
    // Made beside the standard dialog, which it does not touch, and
    // destroyed at the end of the input.
    g_dialog = Create(ConsumeSettings(in));
  } else {
    RestoreStandard();
    g_dialog = g_standard;
  }
  standin::SetTimeZone(kZones[zone]);
  standin::OverrideTimeZoneInformation(zone_override);
  standin::SetClock(clock);
  CheckDialog(fresh ? "creation" : "the start");

  int ticks_left = 2;
  for (int step = 0; step < 24 && in.remaining_bytes() > 0; ++step) {
    const std::string action = Act(in, &ticks_left);
    if (Ended(g_dialog)) break;  // closed: the save failed without a word
    CheckDialog(action.c_str());
  }
  if (g_dialog != g_standard) DestroyWindow(g_dialog);
  return 0;
}
