#include "progress/progress_window.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <mutex>

#include "startup/unique_handle.h"

namespace velmora {
namespace {

constexpr int kProgressWidth = 408;
constexpr int kProgressHeight = 76;
constexpr char kWindowClass[] = "PlainWindow";

// Stored texts for the window's creation. The lock also covers the moment of creation, so a
// caption set while the thread is starting is either read by it or set on the finished window.
std::mutex g_textLock;
std::string g_title;
std::string g_text;

// Written once by the progress thread: the handles and the place first, the flag last (release),
// so a reader that sees the flag (acquire) sees them all.
std::atomic<HWND> g_window{nullptr};
std::atomic<HWND> g_line{nullptr};
std::atomic<HWND> g_bar{nullptr};
std::atomic<int> g_left{0};
std::atomic<int> g_top{0};
std::atomic<bool> g_windowCreated{false};

// The thread that owns the window. Its class name differs from the setup form's on purpose: the
// two have nothing in common. Started once by the first ShowProgress; lives until process end.
class ProgressThread {
 public:
  static void Start();
  static bool Started() { return thread_.get() != nullptr; }
  // Waits until the window exists or the thread has ended without one; true when it exists.
  static bool WaitForWindow();

 private:
  static DWORD WINAPI Body(void*);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Main thread only.
  static scoped_handle thread_;
  static scoped_handle ready_;
};

scoped_handle ProgressThread::thread_;
scoped_handle ProgressThread::ready_;

// Centred; a screen smaller than the window puts it at 0 instead of an underflowed coordinate.
int Centre(int screen, int size) { return screen > size ? (screen - size) / 2 : 0; }

void ProgressThread::Start() {
  ready_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  thread_.reset(CreateThread(nullptr, 0, Body, ready_.get(), 0, nullptr));
}

bool ProgressThread::WaitForWindow() {
  if (g_windowCreated.load(std::memory_order_acquire)) return true;
  if (!thread_ || !ready_) return false;
  const HANDLE handles[] = {ready_.get(), thread_.get()};
  WaitForMultipleObjects(2, handles, FALSE, INFINITE);
  return g_windowCreated.load(std::memory_order_acquire);
}

DWORD WINAPI ProgressThread::Body(void* ready) {
  const HINSTANCE module = GetModuleHandleA(nullptr);
  g_left.store(Centre(GetSystemMetrics(SM_CXSCREEN), kProgressWidth), std::memory_order_relaxed);
  g_top.store(Centre(GetSystemMetrics(SM_CYSCREEN), kProgressHeight), std::memory_order_relaxed);
  InitCommonControls();

  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_NOCLOSE;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.cbClsExtra = 4;
  windowClass.cbWndExtra = 4;
  windowClass.hInstance = module;
  windowClass.hIcon = LoadIconA(module, MAKEINTRESOURCEA(0));
  windowClass.hIconSm = windowClass.hIcon;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExA(&windowClass)) return 0;  // the waiting creator sees the thread end

  HWND window;
  {
    std::lock_guard<std::mutex> lock(g_textLock);
    window = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_STATICEDGE, kWindowClass,
                             g_title.c_str(), WS_DLGFRAME, g_left.load(std::memory_order_relaxed),
                             g_top.load(std::memory_order_relaxed), kProgressWidth, kProgressHeight, nullptr,
                             nullptr, module, nullptr);
    if (!window) return 0;
    // Shown before it is published, so a HideProgress that follows at once is not undone.
    ShowWindow(window, SW_SHOWNORMAL);
    g_window.store(window, std::memory_order_relaxed);
    g_windowCreated.store(true, std::memory_order_release);
  }
  SetEvent(static_cast<HANDLE>(ready));

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

LRESULT CALLBACK ProgressThread::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const HINSTANCE module = GetModuleHandleA(nullptr);
      // Called while the creating thread holds the text lock.
      g_line.store(CreateWindowExA(0, "STATIC", g_text.c_str(), WS_CHILD | WS_VISIBLE, 2, 2, 399, 20, window,
                                   nullptr, module, nullptr),
                   std::memory_order_relaxed);
      g_bar.store(CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_THICKFRAME, 2, 24, 400, 20,
                                  window, nullptr, module, nullptr),
                  std::memory_order_relaxed);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

// The handles, null until the window exists.
HWND MainWindow() {
  return g_windowCreated.load(std::memory_order_acquire) ? g_window.load(std::memory_order_relaxed) : nullptr;
}
HWND TextLine() {
  return g_windowCreated.load(std::memory_order_acquire) ? g_line.load(std::memory_order_relaxed) : nullptr;
}
HWND Bar() {
  return g_windowCreated.load(std::memory_order_acquire) ? g_bar.load(std::memory_order_relaxed) : nullptr;
}

void PlaceOnTop(UINT show) {
  if (HWND window = MainWindow()) {
    SetWindowPos(window, HWND_TOPMOST, g_left.load(std::memory_order_relaxed), g_top.load(std::memory_order_relaxed),
                 kProgressWidth, kProgressHeight, show);
  }
}

}  // namespace

void ShowProgress(const std::string& title, const std::string& text) {
  if (!ProgressThread::Started()) {
    {
      std::lock_guard<std::mutex> lock(g_textLock);
      g_title = title;
      g_text = text;
    }
    ProgressThread::Start();
    return;
  }
  {
    // The thread runs but may not have made its window yet: the texts wait for it.
    std::lock_guard<std::mutex> lock(g_textLock);
    if (!g_windowCreated.load(std::memory_order_acquire)) {
      g_title = title;
      g_text = text;
      return;
    }
  }
  SetProgressTitle(title);
  SetProgressText(text);
  PlaceOnTop(SWP_SHOWWINDOW);
}

void SetProgressTitle(const std::string& title) {
  {
    std::lock_guard<std::mutex> lock(g_textLock);
    if (!g_windowCreated.load(std::memory_order_acquire)) {
      g_title = title;
      return;
    }
  }
  SetWindowTextA(MainWindow(), title.c_str());
}

void SetProgressText(const std::string& text) {
  if (HWND line = TextLine()) SetWindowTextA(line, text.c_str());
}

void SetProgressMax(int max) {
  // The range is set until the bar reports it back. A bar that does not exist answers 0, which
  // ends the call at once for 0; otherwise the window is waited for, unless the thread ended
  // without one: then the installation goes on without a window.
  for (;;) {
    const HWND bar = Bar();
    SendMessageA(bar, PBM_SETRANGE32, 0, max);
    if (SendMessageA(bar, PBM_GETRANGE, 0, 0) == max) return;
    if (bar || !ProgressThread::WaitForWindow() || !Bar()) return;
  }
}

void SetProgressPosition(int position) {
  if (HWND bar = Bar()) SendMessageA(bar, PBM_SETPOS, position, 0);
}

void HideProgress() { PlaceOnTop(SWP_HIDEWINDOW); }

}  // namespace velmora
