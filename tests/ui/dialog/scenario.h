// Dialog scenarios: what a user does with the main dialog and what it must
// show, written once as text (tests/ui/dialog/scenarios/*.scenario) and run on two
// back-ends: the stand-in layer in process, and the real orbel32.exe under Wine
// through the driver. The README's section on tests describes the language.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace scenario {

// The pixels of the phase frame's client area, row by row (COLORREF values).
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
};

// What a back-end does to the dialog and reads back from it. An action returns
// false, with a reason in `why`, when it could not be carried out.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* Name() const = 0;  // "standin" or "wine"

  // Section ORBEL32 of the profile holds exactly `keys`.
  virtual bool WriteProfile(const std::vector<std::pair<std::string, std::string>>& keys,
                            std::string& why) = 0;
  virtual std::optional<std::string> ProfileValue(const std::string& key) = 0;

  // Starts the program and waits for its dialog. A back-end whose dialog runs
  // in this process calls `step` from the dialog's modal loop, each call running
  // the scenario's next line, until it returns false or the dialog has closed;
  // the others return at once and the lines run after it.
  virtual bool Start(const std::function<bool()>& step, std::string& why) = 0;
  virtual bool SetText(int id, const std::string& text, std::string& why) = 0;
  virtual bool Type(int id, const std::string& text, std::string& why) = 0;
  virtual bool Click(int id, std::string& why) = 0;
  virtual bool Key(UINT vk, std::string& why) = 0;
  // A right click on the dialog's surface, off every control, with the
  // modifiers held. When `answer` is set, the question box it raises is
  // answered Yes (true) or No; `box` tells whether a box showed and what it said.
  struct Box {
    bool shown = false;
    std::string caption, text;
  };
  virtual bool RightClick(bool shift, bool ctrl, std::optional<bool> answer, Box& box,
                          std::string& why) = 0;
  // Returns once the dialog's timer has ticked once more.
  virtual bool Tick(std::string& why) = 0;
  // Closes the dialog by Escape, Enter or the close box, and waits until the
  // program has ended.
  virtual bool Close(const std::string& way, std::string& why) = 0;

  virtual std::string Text(int id) = 0;
  virtual bool Checked(int id) = 0;
  virtual bool Enabled(int id) = 0;
  virtual int FocusedId() = 0;
  virtual std::string StatusText(int part) = 0;
  virtual bool PhasePicture(Picture& picture, std::string& why) = 0;
  // Whether what the screen shows may lag behind the dialog's drawing, so that
  // a picture check should look again for a while before it fails.
  virtual bool ScreenLags() const { return false; }
  virtual void Wait(int milliseconds) = 0;
};

struct Result {
  int checks = 0;
  std::vector<std::string> failures;  // "file:line: what"
};

// Runs the scenario in `text` (named `file` in messages) on `backend`. A
// failing check is recorded and the run goes on; a failing action ends it.
Result Run(const std::string& file, const std::string& text, Backend& backend);

}  // namespace scenario
