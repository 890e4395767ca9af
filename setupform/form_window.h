#pragma once
// The small window layer under the setup form: one C++ object per window, reached from the window
// procedure through the pointer handed over in CREATESTRUCT::lpCreateParams.

#include <windows.h>

namespace velmora {

class FormWindow {
 public:
  FormWindow() = default;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;
  virtual ~FormWindow();

  HWND handle() const { return window_; }

 protected:
  // Registers the class once per process; the background brush is the button face.
  static void RegisterWindowClass(const char* className, HICON icon);
  // Creates the window with `this` as its creation parameter; returns null on failure.
  HWND CreateFormWindow(DWORD exStyle, const char* className, DWORD style, int left, int top, int width,
                        int height, HWND parent, int id);

  // Messages the derived class does not handle go here.
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
};

// A plain raised panel that hands its children's notifications on to its parent, so the form sees
// the clicks of the buttons placed on it.
class PanelWindow : public FormWindow {
 public:
  HWND Create(HWND parent, int id, int left, int top, int width, int height);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnPaint();
};

// Lets a standard group box host controls: their notifications go on to the group box's parent,
// and the box fills its inside, since it is shown over other controls of the form.
void MakeGroupBoxAContainer(HWND groupBox);

// Messages that a container passes on to its parent unchanged.
bool IsForwardedToParent(UINT message);

}  // namespace velmora
