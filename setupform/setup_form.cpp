#include "setupform/setup_form.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "setupform/folder_browser.h"
#include "setupform/form_window.h"
#include "setupform/gdi_handles.h"
#include "setupform/glyph_button.h"
#include "setupform/licence_text.h"
#include "setupform/setup_form_ids.h"
#include "setupform/target_folder.h"
#include "startup/install_context.h"
#include "startup/messages.h"
#include "startup/path_helpers.h"
#include "startup/product_constants.h"

namespace velmora {
namespace {

constexpr int kClientWidth = 553;
constexpr int kClientHeight = 301;
constexpr int kCheckBoxExtraWidth = 24;  // the box and its gap before the caption
constexpr int kEditLabelSpacing = 3;     // between the path's label and its edit box
constexpr UINT kCyrillicCodePage = 1251;

constexpr char kPathTitle[] = "Папка, в которую будет установлена программа:";
constexpr char kCannotCreateFolder[] = "Папку с таким именем создать невозможно!";

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(kCyrillicCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(kCyrillicCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// The form is in Russian only; its texts are handed over with their code page, so they read right
// on every system, not only where the code page for non-Unicode programs is Cyrillic.
void SetText(HWND window, const std::string& text) { SetWindowTextW(window, Widen(text).c_str()); }

std::string GetText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring wide(length + 1, L'\0');
  GetWindowTextW(window, wide.data(), length + 1);
  const int size = WideCharToMultiByte(kCyrillicCodePage, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string text(size > 0 ? size : 1, '\0');
  WideCharToMultiByte(kCyrillicCodePage, 0, wide.c_str(), -1, text.data(), size, nullptr, nullptr);
  text.resize(text.size() - 1);
  return text;
}

LOGFONTA ArialFont(LONG height, LONG weight) {
  LOGFONTA font{};
  font.lfHeight = -height;  // character height, without the internal leading
  font.lfWeight = weight;
  font.lfCharSet = RUSSIAN_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  lstrcpyA(font.lfFaceName, "Arial");
  return font;
}

HFONT CreateArialFont(LONG height, LONG weight) {
  const LOGFONTA font = ArialFont(height, weight);
  return CreateFontIndirectA(&font);
}

bool IsChecked(HWND checkBox) { return SendMessageA(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

int ControlId(HWND control) { return GetDlgCtrlID(control); }

// Dispatches what is waiting in the queue, as a form does between two steps of its set-up.
void ProcessPendingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

class TSetupForm : public FormWindow {
 public:
  TSetupForm();
  bool Create();
  void Show();
  bool IsOpen() const { return handle() != nullptr; }
  // Keyboard handling of a dialog, done before the focused control sees the key; true when used.
  bool PreTranslateMessage(const MSG& message);
  // Repaints the buttons whose default frame depends on where the focus now is.
  void AfterMessage();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnCreate();
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnDrawItem(const DRAWITEMSTRUCT& item);
  LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
  LRESULT OnActivate(WPARAM wParam);
  LRESULT OnSetFocus();
  LRESULT OnClose();

  void FormCreate();
  void LicenceCheckBoxClick();
  void DesktopIconCheckBoxClick();
  void RunCheckBoxClick();
  void PathBitBtnClick();
  void NextBitBtnClick();
  void CancelBitBtnClick();

  HWND AddControl(HWND parent, const char* className, DWORD style, DWORD exStyle, int id, int left, int top,
                  int width, int height, HFONT font);
  void FitCheckBoxToCaption(HWND checkBox);
  void AddPathHint();
  void DrawLabel(const DRAWITEMSTRUCT& item, UINT alignment);
  void DrawBrandImage(const DRAWITEMSTRUCT& item);
  bool IsPushButton(HWND window) const;
  bool IsDefaultButton(HWND button) const;
  bool CanFocus(HWND control) const;
  void MoveFocus(bool backwards);
  void FocusControl(HWND control);
  void PressButton(HWND button);

  scoped_gdi FormFont;
  scoped_gdi TitleFont;
  scoped_gdi PathFont;
  scoped_gdi BrandBitmap;
  Glyph CancelGlyph;
  Glyph NextGlyph;
  Glyph NoGlyph;

  HWND TitleLabel = nullptr;
  HWND LicenceCheckBox = nullptr;
  PanelWindow BottomPanel;
  HWND AdvancedGroupBox = nullptr;
  HWND PathLabeledEdit = nullptr;
  HWND PathEditLabel = nullptr;
  HWND PathBitBtn = nullptr;
  HWND DesktopIconCheckBox = nullptr;
  HWND CancelBitBtn = nullptr;
  HWND NextBitBtn = nullptr;
  HWND PreLicenceLabel = nullptr;
  HWND BrandImage = nullptr;
  HWND RunCheckBox = nullptr;
  HWND LicenceRichEdit = nullptr;
  HWND PathHint = nullptr;

  HWND lastFocus_ = nullptr;
  HWND paintedFocus_ = nullptr;
};

TSetupForm::TSetupForm()
    : FormFont(CreateArialFont(13, FW_NORMAL)),
      TitleFont(CreateArialFont(13, FW_BOLD)),
      PathFont(CreateArialFont(12, FW_NORMAL)),
      BrandBitmap(LoadImageA(GetModuleHandleA(nullptr), "BRANDIMAGE", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)),
      CancelGlyph("CANCELGLYPH", 2),
      NextGlyph("NEXTGLYPH", 1) {}

bool TSetupForm::Create() {
  RegisterWindowClass(kSetupFormClass, LoadIconA(GetModuleHandleA(nullptr), "MAINICON"));
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_TOPMOST | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
  RECT outer{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  if (!CreateFormWindow(exStyle, kSetupFormClass, style, left > 0 ? left : 0, top > 0 ? top : 0, width, height,
                        nullptr, 0))
    return false;
  FormCreate();
  return IsOpen();
}

void TSetupForm::Show() {
  ShowWindow(handle(), SW_SHOW);
  SetForegroundWindow(handle());
  FocusControl(lastFocus_);
}

HWND TSetupForm::AddControl(HWND parent, const char* className, DWORD style, DWORD exStyle, int id, int left,
                            int top, int width, int height, HFONT font) {
  HWND control = CreateWindowExA(exStyle, className, "", WS_CHILD | WS_CLIPSIBLINGS | style, left, top, width, height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                 nullptr);
  if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

LRESULT TSetupForm::OnCreate() {
  HWND form = handle();
  auto formFont = static_cast<HFONT>(FormFont.get());
  SendMessageA(form, WM_SETFONT, reinterpret_cast<WPARAM>(formFont), FALSE);

  // Created in the order of the stacking wanted: the group box goes to the top when it is shown.
  int brandWidth = 64, brandHeight = 64;
  if (BrandBitmap) {
    BITMAP picture{};
    GetObjectA(BrandBitmap.get(), sizeof(picture), &picture);
    brandWidth = picture.bmWidth;
    brandHeight = picture.bmHeight;
  }
  BrandImage = AddControl(form, "STATIC", WS_VISIBLE | SS_OWNERDRAW, 0, kBrandImageId, 0, 0, brandWidth,
                          brandHeight, formFont);
  TitleLabel = AddControl(form, "STATIC", WS_VISIBLE | SS_OWNERDRAW | SS_NOPREFIX, 0, kTitleLabelId, 64, 0, 489, 17,
                          static_cast<HFONT>(TitleFont.get()));
  PreLicenceLabel = AddControl(form, "STATIC", WS_VISIBLE | SS_OWNERDRAW | SS_NOPREFIX, 0, kPreLicenceLabelId, 64,
                               24, 489, 41, formFont);
  LicenceCheckBox = AddControl(form, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, kLicenceCheckBoxId,
                               8, 234, 512, 17, formFont);
  if (const char* richEditClass = SystemRichEditClass()) {
    LicenceRichEdit = AddControl(form, richEditClass,
                                 WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                                 WS_EX_CLIENTEDGE, kLicenceRichEditId, 0, 64, 553, 162, formFont);
  }

  HWND panel = BottomPanel.Create(form, kBottomPanelId, 0, 260, 553, 41);
  CancelBitBtn = AddControl(panel, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, kCancelBitBtnId, 8, 8, 113,
                            25, formFont);
  NextBitBtn = AddControl(panel, "BUTTON", WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_OWNERDRAW, 0, kNextBitBtnId,
                          432, 8, 113, 25, formFont);

  // Created as a Unicode window: messages that pass its subclass procedure reach the button's own
  // procedure unconverted, so its Russian caption survives on every code page.
  AdvancedGroupBox = CreateWindowExW(WS_EX_CONTROLPARENT, L"BUTTON", L"",
                                     WS_CHILD | WS_DISABLED | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | BS_GROUPBOX, 0, 59,
                                     553, 201, form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kAdvancedGroupBoxId)),
                                     GetModuleHandleA(nullptr), nullptr);
  SendMessageA(AdvancedGroupBox, WM_SETFONT, reinterpret_cast<WPARAM>(formFont), FALSE);
  MakeGroupBoxAContainer(AdvancedGroupBox);
  DesktopIconCheckBox = AddControl(AdvancedGroupBox, "BUTTON", WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_AUTOCHECKBOX,
                                   0, kDesktopIconCheckBoxId, 8, 32, 540, 17, formFont);
  RunCheckBox = AddControl(AdvancedGroupBox, "BUTTON", WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_AUTOCHECKBOX, 0,
                           kRunCheckBoxId, 8, 64, 540, 17, formFont);
  auto pathFont = static_cast<HFONT>(PathFont.get());
  PathEditLabel = AddControl(AdvancedGroupBox, "STATIC", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, kPathEditLabelId, 8,
                             118, 300, 15, pathFont);
  PathLabeledEdit = AddControl(AdvancedGroupBox, "EDIT", WS_VISIBLE | WS_TABSTOP | WS_DISABLED | ES_AUTOHSCROLL,
                               WS_EX_CLIENTEDGE, kPathLabeledEditId, 8, 136, 481, 23, pathFont);
  PathBitBtn = AddControl(AdvancedGroupBox, "BUTTON", WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_OWNERDRAW, 0,
                          kPathBitBtnId, 496, 136, 49, 23, formFont);
  SetWindowTextA(PathBitBtn, "...");
  SendMessageA(DesktopIconCheckBox, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(RunCheckBox, BM_SETCHECK, BST_CHECKED, 0);

  // Stacking from the top: title, texts, check box, panel, group box, licence text.
  for (HWND control : {BrandImage, TitleLabel, PreLicenceLabel, LicenceCheckBox, panel, AdvancedGroupBox})
    SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (LicenceRichEdit) SetWindowPos(LicenceRichEdit, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return 0;
}

void TSetupForm::FormCreate() {
  InstallContext& context = Context();
  context.InstallConfirmed = false;
  DesktopIconCheckBoxClick();
  RunCheckBoxClick();

  SetText(handle(), context.DisplayName);  // also the taskbar text: the form is the application's window
  SetText(TitleLabel, "Подготовка к установке программы " + context.DisplayName + " версии " + context.VersionText);
  SetText(PreLicenceLabel,
          "Лицензионное соглашение с конечным пользователем на использование программного обеспечения \"" +
              context.DisplayName + "\":");
  if (LicenceRichEdit) BuildLicenceText(LicenceRichEdit, ArialFont(13, FW_NORMAL), kPathRuleMessageRu);

  SetText(LicenceCheckBox, "подтверждаю, что соглашение прочитано полностью, все его положения приняты.");
  FitCheckBoxToCaption(LicenceCheckBox);
  SetText(AdvancedGroupBox, "Настройки установки");

  SetText(PathLabeledEdit, context.TargetFolder);
  SetText(PathEditLabel, kPathTitle);
  {
    HDC dc = GetDC(PathEditLabel);
    scoped_select font(dc, PathFont.get());
    SIZE extent{};
    GetTextExtentPoint32A(dc, kPathTitle, lstrlenA(kPathTitle), &extent);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(PathEditLabel, dc);
    SetWindowPos(PathEditLabel, nullptr, 8, 136 - metrics.tmHeight - kEditLabelSpacing, extent.cx, metrics.tmHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  AddPathHint();

  SetText(DesktopIconCheckBox, "поместить ярлык для запуска программы на \"Рабочий стол\"");
  SetText(RunCheckBox, "запустить программу по окончании её установки");
  FitCheckBoxToCaption(DesktopIconCheckBox);
  FitCheckBoxToCaption(RunCheckBox);

  ProcessPendingMessages();

  SetText(CancelBitBtn, "Отмена");
  SetText(NextBitBtn, "Далее");
  lastFocus_ = LicenceRichEdit ? LicenceRichEdit : LicenceCheckBox;
}

void TSetupForm::FitCheckBoxToCaption(HWND checkBox) {
  const std::string caption = GetText(checkBox);
  HDC dc = GetDC(checkBox);
  SIZE extent{};
  {
    scoped_select font(dc, FormFont.get());
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  }
  ReleaseDC(checkBox, dc);
  RECT bounds;
  GetWindowRect(checkBox, &bounds);
  SetWindowPos(checkBox, nullptr, 0, 0, extent.cx + kCheckBoxExtraWidth, bounds.bottom - bounds.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TSetupForm::AddPathHint() {
  PathHint = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                             0, 0, handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!PathHint) return;
  std::wstring hint = Widen(std::string(kPathRuleMessageRu) + "!");
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = handle();
  tool.uId = reinterpret_cast<UINT_PTR>(PathLabeledEdit);
  tool.lpszText = hint.data();
  SendMessageW(PathHint, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(PathHint, TTM_SETMAXTIPWIDTH, 0, 600);
}

LRESULT TSetupForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate();
    case WM_COMMAND:
      return OnCommand(wParam, lParam);
    case WM_DRAWITEM:
      return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_SETCURSOR:
      return OnSetCursor(wParam, lParam);
    case WM_ACTIVATE:
      return OnActivate(wParam);
    case WM_SETFOCUS:
      return OnSetFocus();
    case WM_CLOSE:
      return OnClose();
    default:
      return DefaultHandling(message, wParam, lParam);
  }
}

LRESULT TSetupForm::OnCommand(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) != BN_CLICKED) return 0;
  switch (LOWORD(wParam)) {
    case kLicenceCheckBoxId:
      LicenceCheckBoxClick();
      break;
    case kDesktopIconCheckBoxId:
      DesktopIconCheckBoxClick();
      break;
    case kRunCheckBoxId:
      RunCheckBoxClick();
      break;
    case kPathBitBtnId:
      PathBitBtnClick();
      break;
    case kNextBitBtnId:
      NextBitBtnClick();
      break;
    case kCancelBitBtnId:
      CancelBitBtnClick();
      break;
  }
  return 0;
}

LRESULT TSetupForm::OnDrawItem(const DRAWITEMSTRUCT& item) {
  switch (item.CtlID) {
    case kBrandImageId:
      DrawBrandImage(item);
      break;
    case kTitleLabelId:
      DrawLabel(item, DT_CENTER);
      break;
    case kPreLicenceLabelId:
      DrawLabel(item, DT_LEFT);
      break;
    case kCancelBitBtnId:
      DrawGlyphButton(item, CancelGlyph, GlyphPlace::kLeftOfCaption, IsDefaultButton(item.hwndItem));
      break;
    case kNextBitBtnId:
      DrawGlyphButton(item, NextGlyph, GlyphPlace::kRightOfCaption, IsDefaultButton(item.hwndItem));
      break;
    case kPathBitBtnId:
      DrawGlyphButton(item, NoGlyph, GlyphPlace::kLeftOfCaption, IsDefaultButton(item.hwndItem));
      break;
  }
  return TRUE;
}

// Word-wrapped text, centred vertically in the label's fixed box.
void TSetupForm::DrawLabel(const DRAWITEMSTRUCT& item, UINT alignment) {
  HDC dc = item.hDC;
  FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  const int length = GetWindowTextLengthW(item.hwndItem);
  std::wstring text(length + 1, L'\0');
  GetWindowTextW(item.hwndItem, text.data(), length + 1);
  auto font = reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
  scoped_select selectFont(dc, font);
  const UINT format = DT_WORDBREAK | DT_NOPREFIX | alignment;
  RECT measured = item.rcItem;
  DrawTextW(dc, text.c_str(), length, &measured, format | DT_CALCRECT);
  RECT placed = item.rcItem;
  const int spare = (item.rcItem.bottom - item.rcItem.top) - (measured.bottom - measured.top);
  if (spare > 0) placed.top += spare / 2;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  DrawTextW(dc, text.c_str(), length, &placed, format);
}

void TSetupForm::DrawBrandImage(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  if (BrandBitmap) DrawTransparentBitmap(item.hDC, static_cast<HBITMAP>(BrandBitmap.get()), 0, 0);
}

LRESULT TSetupForm::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  auto target = reinterpret_cast<HWND>(wParam);
  const bool clickable = target == LicenceCheckBox || target == DesktopIconCheckBox || target == RunCheckBox ||
                         IsPushButton(target);
  if (clickable && LOWORD(lParam) == HTCLIENT) {
    SetCursor(LoadCursorA(nullptr, IDC_HAND));
    return TRUE;
  }
  return DefaultHandling(WM_SETCURSOR, wParam, lParam);
}

LRESULT TSetupForm::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(handle(), focus)) lastFocus_ = focus;
  } else {
    FocusControl(lastFocus_);
  }
  return 0;
}

LRESULT TSetupForm::OnSetFocus() {
  FocusControl(lastFocus_);
  return 0;
}

LRESULT TSetupForm::OnClose() {
  // However the form is closed, only a successful Next has confirmed the installation.
  DestroyWindow(handle());
  return 0;
}

void TSetupForm::LicenceCheckBoxClick() {
  const BOOL accepted = IsChecked(LicenceCheckBox);
  for (HWND control : {AdvancedGroupBox, PathLabeledEdit, PathBitBtn, DesktopIconCheckBox, RunCheckBox, NextBitBtn})
    EnableWindow(control, accepted);
}

void TSetupForm::DesktopIconCheckBoxClick() { Context().DesktopShortcut = IsChecked(DesktopIconCheckBox); }

void TSetupForm::RunCheckBoxClick() { Context().RunAfterInstall = IsChecked(RunCheckBox); }

void TSetupForm::PathBitBtnClick() {
  InstallContext& context = Context();
  ShowWindow(handle(), SW_HIDE);
  if (BrowseForFolder(kPathTitle, L"", context.TargetFolder, true, false, false))
    SetText(PathLabeledEdit, context.TargetFolder);
  ShowWindow(handle(), SW_SHOW);
  SetForegroundWindow(handle());
}

void TSetupForm::NextBitBtnClick() {
  if (!IsWindowVisible(AdvancedGroupBox)) {
    ShowWindow(PreLicenceLabel, SW_HIDE);
    if (LicenceRichEdit) ShowWindow(LicenceRichEdit, SW_HIDE);
    RECT title, preLicence;
    GetWindowRect(TitleLabel, &title);
    GetWindowRect(PreLicenceLabel, &preLicence);
    SetWindowPos(TitleLabel, nullptr, 0, 0, title.right - title.left,
                 (title.bottom - title.top) + (preLicence.bottom - preLicence.top), SWP_NOMOVE | SWP_NOZORDER);
    InvalidateRect(TitleLabel, nullptr, TRUE);  // the centred text moves, not only the new part is drawn
    // The acceptance box stays under the settings; keyboard users must not reach it unseen.
    SetWindowLongPtrA(LicenceCheckBox, GWL_STYLE, GetWindowLongPtrA(LicenceCheckBox, GWL_STYLE) & ~WS_TABSTOP);
    SetWindowPos(AdvancedGroupBox, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    HWND focus = GetFocus();
    if (!focus || !CanFocus(focus)) FocusControl(NextBitBtn);
    return;
  }

  InstallContext& context = Context();
  context.TargetFolder = GetText(PathLabeledEdit);
  IncludeTrailingBackslash(context.TargetFolder);
  if (!NamesProduct(context.TargetFolder)) {
    const std::string rule = std::string(kPathRuleMessageRu) + "!";
    ShowWarningMessage(rule, rule);
    return;
  }
  if (!EnsureFolderExists(context.TargetFolder)) {
    ShowWarningMessage(kCannotCreateFolder, kCannotCreateFolder);
    return;
  }
  context.InstallConfirmed = true;
  ShowWindow(handle(), SW_HIDE);
  // Closed from the queue: the button that got us here is still inside its own click.
  PostMessageA(handle(), WM_CLOSE, 0, 0);
}

void TSetupForm::CancelBitBtnClick() { PostMessageA(handle(), WM_CLOSE, 0, 0); }

bool TSetupForm::IsPushButton(HWND window) const {
  return window && (window == CancelBitBtn || window == NextBitBtn || window == PathBitBtn);
}

// Cancel is the default button, unless another push button has the focus.
bool TSetupForm::IsDefaultButton(HWND button) const {
  HWND focus = GetFocus();
  if (IsPushButton(focus)) return button == focus;
  return button == CancelBitBtn;
}

bool TSetupForm::CanFocus(HWND control) const {
  if (!control || !IsWindowVisible(control) || !(GetWindowLongPtrA(control, GWL_STYLE) & WS_TABSTOP)) return false;
  for (HWND window = control; window && window != handle(); window = GetParent(window)) {
    if (!IsWindowEnabled(window)) return false;
  }
  return true;
}

void TSetupForm::FocusControl(HWND control) {
  if (!control || !CanFocus(control)) {
    lastFocus_ = nullptr;
    MoveFocus(false);
    return;
  }
  lastFocus_ = control;
  SetFocus(control);
}

void TSetupForm::MoveFocus(bool backwards) {
  const HWND order[] = {LicenceCheckBox, CancelBitBtn, NextBitBtn,  DesktopIconCheckBox,
                        RunCheckBox,     PathLabeledEdit, PathBitBtn, LicenceRichEdit};
  constexpr int count = static_cast<int>(sizeof(order) / sizeof(order[0]));
  HWND focus = GetFocus();
  int current = backwards ? 0 : count - 1;
  for (int i = 0; i < count; ++i) {
    if (order[i] && (order[i] == focus || IsChild(order[i], focus))) current = i;
  }
  for (int step = 1; step <= count; ++step) {
    HWND candidate = order[(current + (backwards ? count - step : step)) % count];
    if (!CanFocus(candidate)) continue;
    lastFocus_ = candidate;
    SetFocus(candidate);
    if (candidate == PathLabeledEdit) SendMessageA(candidate, EM_SETSEL, 0, -1);
    return;
  }
}

void TSetupForm::PressButton(HWND button) {
  if (button && IsWindowVisible(button) && IsWindowEnabled(button))
    SendMessageA(handle(), WM_COMMAND, MAKEWPARAM(ControlId(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool TSetupForm::PreTranslateMessage(const MSG& message) {
  if (message.message != WM_KEYDOWN || !IsOpen()) return false;
  if (message.hwnd != handle() && !IsChild(handle(), message.hwnd)) return false;
  const bool control = GetKeyState(VK_CONTROL) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  if (control || alt) return false;
  switch (message.wParam) {
    case VK_TAB:
      MoveFocus(GetKeyState(VK_SHIFT) < 0);
      SendMessageA(handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
      return true;
    case VK_ESCAPE:
      PressButton(CancelBitBtn);
      return true;
    case VK_RETURN: {
      HWND focus = GetFocus();
      PressButton(IsPushButton(focus) ? focus : CancelBitBtn);
      return true;
    }
    default:
      return false;
  }
}

void TSetupForm::AfterMessage() {
  if (!IsOpen()) return;
  HWND focus = GetFocus();
  if (focus == paintedFocus_) return;
  paintedFocus_ = focus;
  for (HWND button : {CancelBitBtn, NextBitBtn, PathBitBtn}) InvalidateRect(button, nullptr, FALSE);
}

}  // namespace

void ShowSetupForm() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);

  TSetupForm SetupForm;
  if (!SetupForm.Create()) {
    Context().InstallConfirmed = false;
    return;
  }
  SetupForm.Show();
  MSG message;
  while (SetupForm.IsOpen()) {
    const BOOL result = GetMessageA(&message, nullptr, 0, 0);
    if (result <= 0) {
      // A quit request ends the form; it stays queued for whoever runs the next loop.
      if (result == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (SetupForm.PreTranslateMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    SetupForm.AfterMessage();
  }
}

}  // namespace velmora
