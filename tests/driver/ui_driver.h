#pragma once
// Drives a Windows program from outside, as a user would: starts it, watches every top-level
// window of it and of the processes it starts, records each window when it shows, and answers
// windows by rules (press a button, click a control, type into an edit box, close).
// Test-only. Texts are UTF-8 in the record and in the rules.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::uitest {

// One child control of a recorded window.
struct ControlRecord {
  std::string className;
  int id = 0;
  std::string text;
  bool enabled = false;
  bool visible = false;
  int checked = -1;  // BM_GETCHECK for check boxes and radio buttons, -1 for other controls
};

// One top-level window as it looked when it showed (or when a rule asked for a new record).
struct WindowRecord {
  DWORD processId = 0;
  std::uintptr_t handle = 0;
  std::string className;
  std::string caption;
  std::string text;  // a message box's text (its static control 0xFFFF), else empty
  std::vector<ControlRecord> buttons;   // child "Button" controls, in window order
  std::vector<ControlRecord> controls;  // every descendant control, buttons included
  int defaultButton = 0;                // DM_GETDEFID for dialogs, else the BS_DEFPUSHBUTTON's id; 0 = none
  bool topmost = false;
  bool visible = false;
  std::vector<std::string> notes;  // what the rules did to it, and what they could not do

  const ControlRecord* Button(int id) const;
  const ControlRecord* Control(int id) const;
  // Lines of UTF-8 text: the window, then its controls indented.
  std::string Describe() const;
};

enum class Action {
  Press,    // WM_COMMAND(id, BN_CLICKED) posted to the button's parent, as a dialog sees a click
  Click,    // BM_CLICK posted to the control: check boxes toggle, buttons notify their parent
  SetText,  // WM_SETTEXT on the control (an edit box)
  Close,    // WM_SYSCOMMAND SC_CLOSE, as the close box does
  Record,   // append a fresh record of the window (its state after the steps before)
  Wait,     // pause `milliseconds`
};

struct Step {
  Action action;
  int controlId = 0;
  std::string text;
  DWORD milliseconds = 0;
};

inline Step Press(int id) { return Step{Action::Press, id, {}, 0}; }
inline Step Click(int id) { return Step{Action::Click, id, {}, 0}; }
inline Step SetText(int id, std::string text) { return Step{Action::SetText, id, std::move(text), 0}; }
inline Step Close() { return Step{Action::Close, 0, {}, 0}; }
inline Step Record() { return Step{Action::Record, 0, {}, 0}; }
inline Step Wait(DWORD milliseconds) { return Step{Action::Wait, 0, {}, milliseconds}; }

// A rule answers a window whose class, caption (exact) and message text (substring) match every
// non-empty field. It fires once per matching window, at most `times` windows (0: no limit).
// Press and Click refuse a disabled or hidden control, as a user could not use it; the refusal
// is noted in the record.
struct Rule {
  std::string className;
  std::string caption;
  std::string textContains;
  std::vector<Step> steps;
  int times = 1;
  DWORD pauseMs = 250;  // between steps, so each is handled before the next arrives

  // Chained set-up: Rule().Caption("Velmora").Then(Press(IDOK)).
  Rule& Class(std::string name) { className = std::move(name); return *this; }
  Rule& Caption(std::string text) { caption = std::move(text); return *this; }
  Rule& Text(std::string part) { textContains = std::move(part); return *this; }
  Rule& Then(Step step) { steps.push_back(std::move(step)); return *this; }
  Rule& Times(int count) { times = count; return *this; }
};

struct RunResult {
  bool started = false;
  bool finished = false;      // the started process ended within the timeout
  DWORD exitCode = STILL_ACTIVE;
  std::vector<WindowRecord> windows;  // in the order they showed
  std::vector<DWORD> spawned;         // processes started by the program that still ran at the end

  // Records whose caption (exact) or text (substring) match; convenience for tests.
  std::vector<const WindowRecord*> WithCaption(const std::string& caption) const;
  std::vector<const WindowRecord*> WithText(const std::string& part) const;
  std::string Describe() const;
};

class UiDriver {
 public:
  UiDriver& WorkingDirectory(std::wstring folder);
  UiDriver& Arguments(std::wstring arguments);
  UiDriver& On(Rule rule);

  // Starts `exe` and answers its windows until it ends or `timeoutMs` passes; on timeout the
  // process tree is terminated and `finished` is false.
  RunResult Run(const std::wstring& exe, DWORD timeoutMs);

 private:
  std::wstring folder_;
  std::wstring arguments_;
  std::vector<Rule> rules_;
};

// Ends the given processes (the `spawned` of a run), waiting for each.
void TerminateProcesses(const std::vector<DWORD>& processIds);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace velmora::uitest
