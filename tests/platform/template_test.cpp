// Resource scripts as the stand-in layer's template reader takes them, after
// the build's C preprocessor: what it accepts and what it refuses.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "orbel_test_api.h"
#include "resource.h"
#include "test_files.h"

namespace {

// tests/platform/script_features.rc after the build's preprocessor: names
// of <windows.h> and resource.h, a macro, a skipped block and comments are
// gone, and a wrong name is reported where the script has it.
TEST(PlatformTemplate, ScriptFeatures) {
  const std::string script = ReadFile(ORBEL_SCRIPT_FEATURES);
  ASSERT_FALSE(script.empty()) << ORBEL_SCRIPT_FEATURES;
  standin::DialogTemplate t;
  std::string error;
  ASSERT_TRUE(standin::ParseDialogTemplate(script, "sample", &t, &error)) << error;
  EXPECT_EQ(t.caption, "Say \"hi\" to S\u00FCd");
  // No STYLE: the resource compiler's default plus caption and font bits.
  EXPECT_EQ(t.style,
            static_cast<DWORD>(WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION | DS_SETFONT));
  EXPECT_EQ(t.ex_style, static_cast<DWORD>(WS_EX_TOPMOST));
  ASSERT_EQ(t.controls.size(), 2u);
  EXPECT_EQ(t.controls[0].id, 42);
  EXPECT_EQ(t.controls[0].class_name, "EDIT");
  EXPECT_EQ(t.controls[0].style, static_cast<DWORD>(WS_CHILD | WS_TABSTOP));
  EXPECT_EQ(t.controls[1].id, 130);
  EXPECT_EQ(t.controls[1].style,
            static_cast<DWORD>(WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | WS_GROUP));
  EXPECT_EQ(t.controls[1].ex_style, static_cast<DWORD>(WS_EX_STATICEDGE));
  ASSERT_TRUE(standin::ParseDialogTemplate(script, "Other", &t, &error)) << error;
  EXPECT_EQ(t.controls.size(), 1u);
  EXPECT_FALSE(standin::ParseDialogTemplate(script, "Misspelt", &t, &error));
  EXPECT_EQ(error, "script_features.rc:30: expected a number, got 'WS_TABSTOPP'");
}

TEST(PlatformTemplate, RefusedScripts) {
  const std::pair<const char*, const char*> cases[] = {
      {"D DIALOGEX 0,0,1,1\nBEGIN\n  LTEXT \"x\", 1, 0, 0, 1, 1\nEND\n",
       "line 3: unsupported control statement 'LTEXT': write controls in the CONTROL form"},
      {"#pragma code_page(1252)\nD DIALOGEX 0,0,1,1\nBEGIN\nEND\n",
       "line 1: only #pragma code_page(65001) (UTF-8) is read"},
      {"E DIALOGEX 0,0,1,1\nBEGIN\nEND\n", "no DIALOGEX resource named \"D\""},
      {"D DIALOGEX 0,0,1,1\nBEGIN\n  CONTROL \"x, 1, \"Edit\", 0, 0, 0, 1, 1\nEND\n",
       "line 3: unterminated string"},
      {"#ifdef X\nD DIALOGEX 0,0,1,1\n",
       "line 1: #ifdef: expected the script as the C preprocessor leaves it"},
      {"# 7 \"a.rc\"\nD DIALOGEX 0,0,1,1\nBEGIN\n  CONTROL \"x\", 1, \"Edit\", 0, 0, 0, 1\nEND\n",
       "a.rc:10: expected ','"},
  };
  for (const auto& [script, message] : cases) {
    standin::DialogTemplate t;
    std::string error;
    EXPECT_FALSE(standin::ParseDialogTemplate(script, "D", &t, &error));
    EXPECT_EQ(error, message);
  }
}

}  // namespace
