// State shared by the windowing half of the headless Win32 layer: the window
// table, the controls' own state and the hooks between the files.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base_internal.h"
#include "orbel_test_api.h"

namespace standin {
namespace internal {

// Dialog base units of "MS Sans Serif" 8 pt at 96 dpi.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;

// Non-client metrics of the classic look at 96 dpi.
constexpr int kCaptionHeight = 19;  // SM_CYCAPTION
constexpr int kStatusBarHeight = 20;
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

enum class WindowKind { kGeneric, kDialog, kEdit, kButton, kStatusBar };

struct Window {
  HWND handle = nullptr;
  WindowKind kind = WindowKind::kGeneric;
  std::string class_name;
  WNDPROC wndproc = nullptr;  // registered classes only
  std::string text;
  DWORD style = 0;
  DWORD ex_style = 0;
  int id = 0;
  HWND parent = nullptr;
  HWND owner = nullptr;
  RECT rect{};  // window rectangle: parent client coordinates for children, screen otherwise
  std::vector<HWND> children;          // z-order = creation order
  std::vector<Window*> child_windows;  // the same, as records: looked up by id on every call
  bool destroying = false;

  // Template origin (dialog controls).
  DWORD template_style = 0;
  DWORD template_ex_style = 0;
  RECT template_du{};  // x, y, x + cx, y + cy in dialog units

  // Dialog.
  DLGPROC dlgproc = nullptr;
  bool ended = false;
  INT_PTR end_result = 0;
  std::string template_name;

  // Edit.
  size_t sel_anchor = 0;
  size_t sel_caret = 0;

  // Button.
  UINT check = BST_UNCHECKED;
  bool pressed = false;

  // Status window.
  std::vector<int> part_edges{-1};
  std::vector<std::string> part_texts{""};
  std::vector<UINT> part_types{0};

  // Client pixels, created by the first GetDC and kept for the window's life.
  std::unique_ptr<Surface> surface;
};

struct ClassRecord {
  std::string name;
  WNDPROC wndproc = nullptr;
  ATOM atom = 0;
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  long long next_due_ms = 0;
};

struct State {
  std::unordered_map<uintptr_t, std::unique_ptr<Window>> windows;  // looked up on every call
  std::vector<HWND> top_level;                                     // creation order
  std::map<std::string, ClassRecord> classes;                      // key: lower-case name
  ATOM next_atom = 0xC000;
  HWND focus = nullptr;
  std::vector<HWND> modal_stack;
  std::vector<Timer> timers;
  std::deque<MSG> posted;
  std::deque<Input> inputs;
  std::function<bool(HWND)> idle_hook;
  bool loop_ran_dry = false;
  std::deque<int> message_box_answers;
  std::function<int(const MessageBoxRecord&)> message_box_hook;
  std::vector<MessageBoxRecord> message_boxes;
  std::vector<DialogBoxCall> dialog_box_calls;
  DialogSnapshot last_ended;
  long long virtual_ms = 0;
  int beeps = 0;
  bool common_controls = false;
  bool shift_down = false;
  bool ctrl_down = false;
};

State& S();  // window_manager.cpp

// Window table (window_manager.cpp).
Window* W(HWND hwnd);  // null for anything that is not a live window
Window* ChildById(Window* parent, int id);
HWND CreateWindowInternal(DWORD ex_style, const std::string& class_name, const char* text,
                          DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu,
                          HINSTANCE instance, LPVOID param);
RECT ClientRectOf(const Window* w);  // (0, 0, width, height) of the client area
POINT ClientOriginOnScreen(const Window* w);
bool IsEnabledChain(const Window* w);
bool IsVisibleChain(const Window* w);
void DestroyAll();
void SetTextRaw(Window* w, const char* text);
LRESULT CopyTextOut(const std::string& text, WPARAM size, LPARAM buffer);
void DispatchPosted();  // sends every posted message, in order
// Delivers WM_TIMER (or calls the TIMERPROC) if timer `id` of `hwnd` is set.
bool DeliverTimer(HWND hwnd, UINT_PTR id);

// Per-kind window procedures (controls.cpp, dialog_manager.cpp).
LRESULT EditProc(Window* w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT ButtonProc(Window* w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT StatusProc(Window* w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT DialogProcDispatch(Window* w, UINT msg, WPARAM wp, LPARAM lp);
void InitControl(Window* w);  // after creation: kind-specific defaults

// Sends WM_COMMAND(MAKEWPARAM(id, code), control) to the control's parent.
void NotifyParent(Window* control, WORD code);

// Dialog manager helpers (dialog_manager.cpp).
void DialogSetFocus(HWND dialog, HWND control);  // focus plus select-all for edits
bool DialogGone(HWND dialog);                    // destroyed, or ended and about to be

// Simulated user input (input.cpp).
bool PerformInput(HWND dialog, const Input& input);

// What the host and test APIs report of a window (host_api.cpp, test_api.cpp).
ControlState ControlStateOf(Window* c);
StatusBarState StatusBarStateOf(Window* w);
Pixels PixelsOf(Window* w);
void CaptureSnapshot(Window* dialog, DialogSnapshot* out);

// Text measurement of the edit controls (controls.cpp).
int TextWidth(const std::string& utf8);

// Templates (dialog_template.cpp).
void ResetTemplates();
// Clears windows, classes, timers, queues, records and extra templates; joins
// the layer's reset when the window state or the templates are first made.
void ResetWindowing();
bool FindTemplate(const char* name, DialogTemplate* out, std::string* error);

}  // namespace internal
}  // namespace standin
