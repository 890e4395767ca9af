#include "tests/driver/ui_driver.h"

#include <tlhelp32.h>

#include <map>
#include <set>

#include "startup/unique_handle.h"

namespace velmora::uitest {
namespace {

constexpr DWORD kPollMs = 100;
constexpr UINT kQueryTimeoutMs = 1000;
constexpr int kMessageBoxTextId = 0xFFFF;

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring WindowTextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

// Edit boxes keep their text themselves; it is only reachable by asking the window.
std::wstring EditTextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kQueryTimeoutMs, &length))
    return WindowTextOf(window);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           kQueryTimeoutMs, &copied))
    return WindowTextOf(window);
  text.resize(copied);
  return text;
}

bool IsEditClass(const std::wstring& name) {
  return _wcsicmp(name.c_str(), L"Edit") == 0 || _wcsnicmp(name.c_str(), L"RichEdit", 8) == 0;
}

bool HasCheckState(LONG style) {
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
    case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
      return true;
    default:
      return false;
  }
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND FindControl(HWND window, int id) {
  for (HWND child : Descendants(window))
    if (GetDlgCtrlID(child) == id) return child;
  return nullptr;
}

WindowRecord Capture(HWND window) {
  WindowRecord record;
  GetWindowThreadProcessId(window, &record.processId);
  record.handle = reinterpret_cast<std::uintptr_t>(window);
  record.className = ToUtf8(ClassOf(window));
  record.caption = ToUtf8(WindowTextOf(window));
  record.topmost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  record.visible = IsWindowVisible(window) != FALSE;
  const bool dialog = record.className == "#32770";
  for (HWND child : Descendants(window)) {
    ControlRecord control;
    const std::wstring className = ClassOf(child);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    control.className = ToUtf8(className);
    control.id = GetDlgCtrlID(child);
    control.text = ToUtf8(IsEditClass(className) ? EditTextOf(child) : WindowTextOf(child));
    control.enabled = IsWindowEnabled(child) != FALSE;
    control.visible = IsWindowVisible(child) != FALSE;
    const bool button = _wcsicmp(className.c_str(), L"Button") == 0;
    if (button && HasCheckState(style)) {
      DWORD_PTR state = 0;
      if (SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kQueryTimeoutMs, &state))
        control.checked = static_cast<int>(state);
    }
    if (dialog && control.id == kMessageBoxTextId && _wcsicmp(className.c_str(), L"Static") == 0)
      record.text = control.text;
    if (button) {
      if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && !record.defaultButton) record.defaultButton = control.id;
      record.buttons.push_back(control);
    }
    record.controls.push_back(std::move(control));
  }
  // The button drawn as default decides; a dialog's DM_GETDEFID only counts when it names an
  // existing button (Wine answers IDOK for message boxes that have none).
  if (dialog && !record.defaultButton) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, kQueryTimeoutMs, &result) &&
        HIWORD(result) == DC_HASDEFID && record.Button(LOWORD(result)))
      record.defaultButton = LOWORD(result);
  }
  return record;
}

bool Matches(const Rule& rule, const WindowRecord& record) {
  return (rule.className.empty() || rule.className == record.className) &&
         (rule.caption.empty() || rule.caption == record.caption) &&
         (rule.textContains.empty() || record.text.find(rule.textContains) != std::string::npos);
}

// Runs the steps of a rule on one window; what could not be done is noted in the record.
void Answer(HWND window, const Rule& rule, RunResult& result, size_t recordIndex) {
  auto note = [&](const std::string& text) { result.windows[recordIndex].notes.push_back(text); };
  for (size_t i = 0; i < rule.steps.size(); ++i) {
    if (i > 0) Sleep(rule.pauseMs);
    const Step& step = rule.steps[i];
    if (!IsWindow(window)) {
      note("window gone before step " + std::to_string(i + 1));
      return;
    }
    HWND control = nullptr;
    if (step.action == Action::Press || step.action == Action::Click || step.action == Action::SetText) {
      control = FindControl(window, step.controlId);
      if (!control) {
        note("no control " + std::to_string(step.controlId));
        continue;
      }
      if (step.action != Action::SetText && (!IsWindowEnabled(control) || !IsWindowVisible(control))) {
        note("control " + std::to_string(step.controlId) + " is disabled or hidden");
        continue;
      }
    }
    switch (step.action) {
      case Action::Press:
        PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(step.controlId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
        note("pressed " + std::to_string(step.controlId));
        break;
      case Action::Click:
        PostMessageW(control, BM_CLICK, 0, 0);
        note("clicked " + std::to_string(step.controlId));
        break;
      case Action::SetText: {
        const std::wstring text = FromUtf8(step.text);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                            kQueryTimeoutMs, &ignored);
        note("set text of " + std::to_string(step.controlId));
        break;
      }
      case Action::Close:
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        note("closed");
        break;
      case Action::Record:
        result.windows.push_back(Capture(window));
        result.windows.back().notes.push_back("recorded again");
        break;
      case Action::Wait:
        Sleep(step.milliseconds);
        break;
    }
  }
}

bool IsSystemServiceName(const wchar_t* name) {
  static const wchar_t* const kServices[] = {L"explorer.exe", L"services.exe", L"winedevice.exe", L"plugplay.exe",
                                             L"svchost.exe",  L"rpcss.exe",    L"conhost.exe",    L"wineboot.exe",
                                             L"winemenubuilder.exe", L"tabtip.exe"};
  for (const wchar_t* service : kServices)
    if (lstrcmpiW(name, service) == 0) return true;
  return false;
}

// The started process and every process started by one of the set, found through their parents.
class ProcessTree {
 public:
  explicit ProcessTree(DWORD root) { members_.insert(root); }

  bool Contains(DWORD processId) {
    if (members_.count(processId)) return true;
    if (strangers_.count(processId)) return false;
    Refresh();
    if (members_.count(processId)) return true;
    strangers_.insert(processId);
    return false;
  }
  const std::set<DWORD>& Members() const { return members_; }

 private:
  void Refresh() {
    scoped_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    std::map<DWORD, DWORD> parents;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
      // Wine starts its desktop and service processes on demand, as children of whichever
      // program first needs them; they belong to the prefix, not to the program under test.
      if (IsSystemServiceName(entry.szExeFile)) continue;
      parents[entry.th32ProcessID] = entry.th32ParentProcessID;
    }
    for (bool grew = true; grew;) {
      grew = false;
      for (const auto& [process, parent] : parents)
        if (!members_.count(process) && members_.count(parent)) grew = members_.insert(process).second || grew;
    }
  }

  std::set<DWORD> members_;
  std::set<DWORD> strangers_;
};

struct WatchState {
  bool visible = false;
  bool pending = false;  // seen visible once; recorded at the next look, once it has settled
  std::set<size_t> firedRules;
};

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '"' || c == '\\') (out += '\\') += c;
    else out += c;
  }
  return out + "\"";
}

bool IsRunning(DWORD processId) {
  scoped_handle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

}  // namespace

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

const ControlRecord* WindowRecord::Button(int id) const {
  for (const ControlRecord& b : buttons)
    if (b.id == id) return &b;
  return nullptr;
}

const ControlRecord* WindowRecord::Control(int id) const {
  for (const ControlRecord& c : controls)
    if (c.id == id) return &c;
  return nullptr;
}

std::string WindowRecord::Describe() const {
  std::string out = "window pid=" + std::to_string(processId) + " class=" + Quoted(className) +
                    " caption=" + Quoted(caption) + " visible=" + std::to_string(visible) +
                    " topmost=" + std::to_string(topmost) + " default=" + std::to_string(defaultButton) + "\n";
  if (!text.empty()) out += "  text " + Quoted(text) + "\n";
  for (const ControlRecord& c : controls)
    out += "  control " + Quoted(c.className) + " id=" + std::to_string(c.id) + " text=" + Quoted(c.text) +
           " enabled=" + std::to_string(c.enabled) + " visible=" + std::to_string(c.visible) +
           (c.checked >= 0 ? " checked=" + std::to_string(c.checked) : std::string()) + "\n";
  for (const std::string& n : notes) out += "  note " + n + "\n";
  return out;
}

std::vector<const WindowRecord*> RunResult::WithCaption(const std::string& caption) const {
  std::vector<const WindowRecord*> found;
  for (const WindowRecord& w : windows)
    if (w.caption == caption) found.push_back(&w);
  return found;
}

std::vector<const WindowRecord*> RunResult::WithText(const std::string& part) const {
  std::vector<const WindowRecord*> found;
  for (const WindowRecord& w : windows)
    if (w.text.find(part) != std::string::npos) found.push_back(&w);
  return found;
}

std::string RunResult::Describe() const {
  std::string out;
  for (const WindowRecord& w : windows) out += w.Describe();
  if (!started) return out + "not started\n";
  out += finished ? "exit " + std::to_string(exitCode) + "\n" : std::string("timeout\n");
  for (DWORD p : spawned) out += "still running pid=" + std::to_string(p) + "\n";
  return out;
}

UiDriver& UiDriver::WorkingDirectory(std::wstring folder) {
  folder_ = std::move(folder);
  return *this;
}

UiDriver& UiDriver::Arguments(std::wstring arguments) {
  arguments_ = std::move(arguments);
  return *this;
}

UiDriver& UiDriver::On(Rule rule) {
  rules_.push_back(std::move(rule));
  return *this;
}

RunResult UiDriver::Run(const std::wstring& exe, DWORD timeoutMs) {
  RunResult result;
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments_.empty()) commandLine += L" " + arguments_;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder_.empty() ? nullptr : folder_.c_str(), &startup, &info))
    return result;
  result.started = true;
  scoped_handle process(info.hProcess);
  scoped_handle thread(info.hThread);

  ProcessTree tree(info.dwProcessId);
  std::map<HWND, WatchState> watched;
  std::vector<int> fired(rules_.size(), 0);
  const DWORD start = GetTickCount();

  auto scan = [&] {
    std::vector<HWND> topLevel;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&topLevel));
    for (HWND window : topLevel) {
      DWORD processId = 0;
      GetWindowThreadProcessId(window, &processId);
      if (!tree.Contains(processId)) continue;
      // A window is recorded one look after it shows: a message box, for one, is made topmost
      // only after it has become visible.
      WatchState& state = watched[window];
      const bool visible = IsWindowVisible(window) != FALSE;
      const bool appeared = visible && state.pending;
      state.pending = visible && !state.visible;
      state.visible = visible;
      if (!appeared) continue;
      result.windows.push_back(Capture(window));
      const size_t index = result.windows.size() - 1;
      for (size_t r = 0; r < rules_.size(); ++r) {
        const Rule& rule = rules_[r];
        if (state.firedRules.count(r) || (rule.times > 0 && fired[r] >= rule.times)) continue;
        if (!Matches(rule, result.windows[index])) continue;
        state.firedRules.insert(r);
        ++fired[r];
        Answer(window, rule, result, index);
        break;  // one rule per showing; a window shown again may be answered anew
      }
    }
  };

  for (;;) {
    scan();
    if (WaitForSingleObject(process.get(), kPollMs) == WAIT_OBJECT_0) {
      result.finished = true;
      break;
    }
    if (GetTickCount() - start > timeoutMs) break;
  }
  // Windows that other processes of the tree still show, including any seen only once so far.
  scan();
  Sleep(kPollMs);
  scan();
  if (result.finished) {
    GetExitCodeProcess(process.get(), &result.exitCode);
  } else {
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 5000);
  }
  for (DWORD member : tree.Members())
    if (member != info.dwProcessId && IsRunning(member)) result.spawned.push_back(member);
  if (!result.finished) {
    TerminateProcesses(result.spawned);
    result.spawned.clear();
  }
  return result;
}

void TerminateProcesses(const std::vector<DWORD>& processIds) {
  for (DWORD id : processIds) {
    scoped_handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    if (!process) continue;
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 5000);
  }
}

}  // namespace velmora::uitest
