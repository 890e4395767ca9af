#include "setupform/form_window.h"

#include <commctrl.h>

namespace velmora {

FormWindow::~FormWindow() {
  if (window_) {
    // The object goes first: later messages of a dying window must not reach it.
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

void FormWindow::RegisterWindowClass(const char* className, HICON icon) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &existing)) return;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.hIcon = icon;
  windowClass.lpszClassName = className;
  RegisterClassExA(&windowClass);
}

HWND FormWindow::CreateFormWindow(DWORD exStyle, const char* className, DWORD style, int left, int top,
                                  int width, int height, HWND parent, int id) {
  HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
  return CreateWindowExA(exStyle, className, "", style, left, top, width, height, parent, menu,
                         GetModuleHandleA(nullptr), this);
}

LRESULT FormWindow::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

bool IsForwardedToParent(UINT message) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return true;
    default:
      return false;
  }
}

HWND PanelWindow::Create(HWND parent, int id, int left, int top, int width, int height) {
  static constexpr char kClass[] = "TPanel";
  RegisterWindowClass(kClass, nullptr);
  return CreateFormWindow(WS_EX_CONTROLPARENT, kClass, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                          left, top, width, height, parent, id);
}

LRESULT PanelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsForwardedToParent(message)) return SendMessageA(GetParent(handle()), message, wParam, lParam);
  if (message == WM_PAINT) return OnPaint();
  return DefaultHandling(message, wParam, lParam);
}

LRESULT PanelWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(handle(), &paint);
  RECT bounds;
  GetClientRect(handle(), &bounds);
  DrawEdge(dc, &bounds, BDR_RAISEDINNER, BF_RECT);
  EndPaint(handle(), &paint);
  return 0;
}

namespace {

LRESULT CALLBACK GroupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (IsForwardedToParent(message)) return SendMessageA(GetParent(window), message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND: {
      RECT bounds;
      GetClientRect(window, &bounds);
      FillRect(reinterpret_cast<HDC>(wParam), &bounds, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_NCHITTEST:
      // A group box is transparent to the mouse by default; this one covers the controls beneath
      // it, which must not be clicked through it.
      return HTCLIENT;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, GroupBoxProc, 0);
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void MakeGroupBoxAContainer(HWND groupBox) { SetWindowSubclass(groupBox, GroupBoxProc, 0, 0); }

}  // namespace velmora
