// Fuzz target: the stand-in layer's integer reading, GetDlgItemInt, signed
// and unsigned, with and without the "translated" flag, against the reference
// model in dlg_int_model.h. The text reaches the field either as a whole
// (SetDlgItemTextA, any bytes but NUL) or typed key by key into the focused
// field. Also checked: SetDlgItemInt's text reads back as the same number.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "dlg_int_model.h"
#include "fuzz_support.h"
#include "orbel_test_api.h"

namespace fuzz {
extern const char kIntDialogScript[];
}

namespace {

using fuzz::Fail;
using fuzz::Quote;

const int kField = 10;

// int_dialog.rc: a field wide enough to take any text typed into it.

HWND g_dialog = nullptr;

INT_PTR CALLBACK IgnoreAll(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

void CheckReading(const std::string& text) {
  for (BOOL is_signed : {FALSE, TRUE}) {
    const fuzz::IntReading want = fuzz::ReadDialogInt(text, is_signed != FALSE);
    BOOL translated = 7;
    const UINT got = GetDlgItemInt(g_dialog, kField, &translated, is_signed);
    const UINT got_without_flag = GetDlgItemInt(g_dialog, kField, nullptr, is_signed);
    if (got != want.value || translated != (want.translated ? TRUE : FALSE) ||
        got_without_flag != want.value) {
      Fail("GetDlgItemInt(%s, %s) = %u, translated %d (%u without the flag); expected %u, %d",
           Quote(text).c_str(), is_signed ? "signed" : "unsigned", got, translated,
           got_without_flag, want.value, want.translated ? 1 : 0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  standin::Reset();
  standin::RegisterDialogTemplate("IntDialog", fuzz::kIntDialogScript);
  g_dialog = CreateDialogParamA(nullptr, "IntDialog", nullptr, IgnoreAll, 0);
  if (g_dialog == nullptr) Fail("the test dialog could not be created");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int mode = in.ConsumeIntegralInRange<int>(0, 2);
  if (mode == 2) {
    // A number written by SetDlgItemInt reads back as itself.
    const UINT value = in.ConsumeIntegral<UINT>();
    const BOOL is_signed = in.ConsumeBool();
    SetDlgItemInt(g_dialog, kField, value, is_signed);
    const std::string text = standin::Text(g_dialog, kField);
    if (is_signed && static_cast<int32_t>(value) < 0 && (text.empty() || text[0] != '-')) {
      Fail("SetDlgItemInt(%d, signed) wrote %s", static_cast<int32_t>(value), Quote(text).c_str());
    }
    BOOL translated = FALSE;
    if (GetDlgItemInt(g_dialog, kField, &translated, is_signed) != value || !translated) {
      Fail("SetDlgItemInt(%u, %d) wrote %s, which does not read back", value, is_signed,
           Quote(text).c_str());
    }
    CheckReading(text);
    return 0;
  }
  std::string bytes = in.ConsumeRemainingBytesAsString();
  if (mode == 0) {
    // Whatever bytes up to the first NUL become the field's text as they are.
    SetDlgItemTextA(g_dialog, kField, bytes.c_str());
    const std::string text = standin::Text(g_dialog, kField);
    if (text != bytes.substr(0, bytes.find('\0'))) {
      Fail("SetDlgItemTextA(%s) stored %s", Quote(bytes).c_str(), Quote(text).c_str());
    }
    CheckReading(text);
  } else {
    // Typed: the field takes what the keyboard gives, the model reads what it holds.
    SetDlgItemTextA(g_dialog, kField, "");
    standin::Perform(g_dialog, standin::Input::Type(kField, bytes));
    CheckReading(standin::Text(g_dialog, kField));
  }
  return 0;
}
