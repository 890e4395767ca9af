#include "setupform/setup_form.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "setupform/setup_form_ids.h"
#include "startup/install_context.h"
#include "startup/messages.h"
#include "startup/product_constants.h"

namespace velmora {
namespace {

std::mutex g_boxesLock;
std::vector<MessageBoxRequest> g_boxes;

int RecordBox(const MessageBoxRequest& request) {
  std::lock_guard<std::mutex> lock(g_boxesLock);
  g_boxes.push_back(request);
  return IDOK;
}

std::wstring Wide(const std::string& cp1251) {
  std::wstring wide(cp1251.size(), L'\0');
  const int length = MultiByteToWideChar(1251, 0, cp1251.data(), static_cast<int>(cp1251.size()), wide.data(),
                                         static_cast<int>(wide.size()));
  wide.resize(length);
  return wide;
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

RECT RectInParent(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}

bool WaitFor(bool (*condition)(HWND), HWND window, int milliseconds = 20000) {
  for (int waited = 0; waited < milliseconds; waited += 20) {
    if (condition(window)) return true;
    Sleep(20);
  }
  return condition(window);
}

DWORD WINAPI RunForm(void*) {
  ShowSetupForm();
  return 0;
}

// Runs the form on a thread of its own, as the application's main loop would, and drives it
// from the test's thread with window messages.
class SetupForm : public ::testing::Test {
 protected:
  void SetUp() override {
    {
      std::lock_guard<std::mutex> lock(g_boxesLock);
      g_boxes.clear();
    }
    SetMessageBoxHookForTesting(RecordBox);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    base_ = std::string(temp) + "form_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(base_.c_str(), nullptr);

    InstallContext& context = Context();
    context = InstallContext{};
    context.DisplayName = kProductTitle;
    context.DisplayNameCopy = kProductTitle;
    context.VersionText = kVersionText;
    context.TargetFolder = base_ + "Velmora\\";
  }

  void TearDown() override {
    if (form_ && IsWindow(form_)) PostMessageA(form_, WM_CLOSE, 0, 0);
    Join();
    SetMessageBoxHookForTesting(nullptr);
    std::filesystem::remove_all(base_);
    Context() = InstallContext{};
  }

  void Open() {
    thread_ = CreateThread(nullptr, 0, RunForm, nullptr, 0, nullptr);
    for (int i = 0; i < 1000 && !form_; ++i) {
      HWND window = FindWindowA(kSetupFormClass, nullptr);
      if (window && IsWindowVisible(window)) form_ = window;
      else Sleep(20);
    }
    ASSERT_NE(form_, nullptr);
    formThread_ = GetWindowThreadProcessId(form_, nullptr);
  }

  // Waits for the loop to end; false if the form is still open after a while.
  bool WaitClosed() {
    if (!WaitFor([](HWND window) { return !IsWindow(window); }, form_)) return false;
    Join();
    return true;
  }

  void Join() {
    if (!thread_) return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }

  HWND Control(int id) const {
    for (HWND parent : {form_, GetDlgItem(form_, kBottomPanelId), GetDlgItem(form_, kAdvancedGroupBoxId)}) {
      if (HWND control = GetDlgItem(parent, id)) return control;
    }
    return nullptr;
  }

  void Click(int id) { SendMessageA(Control(id), BM_CLICK, 0, 0); }

  void PostKey(HWND target, WPARAM key) {
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
  }

  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(formThread_, &info);
    return info.hwndFocus;
  }

  // Posted keys are handled after any sent message, so their effect is waited for.
  template <typename Condition>
  static bool Eventually(Condition condition) {
    for (int waited = 0; waited < 10000; waited += 20) {
      if (condition()) return true;
      Sleep(20);
    }
    return condition();
  }

  void AcceptAndOpenSettings() {
    Click(kLicenceCheckBoxId);
    Click(kNextBitBtnId);
  }

  void TypePath(const std::string& path) { SetWindowTextW(Control(kPathLabeledEditId), Wide(path).c_str()); }

  std::vector<MessageBoxRequest> Boxes() {
    std::lock_guard<std::mutex> lock(g_boxesLock);
    return g_boxes;
  }

  std::string base_;
  HANDLE thread_ = nullptr;
  HWND form_ = nullptr;
  DWORD formThread_ = 0;
};

TEST_F(SetupForm, ComponentsSitWhereTheLayoutPutsThem) {
  Open();
  RECT client;
  GetClientRect(form_, &client);
  EXPECT_EQ(client.right, 553);
  EXPECT_EQ(client.bottom, 301);

  struct Row {
    int id;
    RECT bounds;
  };
  const Row rows[] = {
      {kBrandImageId, {0, 0, 64, 64}},          {kTitleLabelId, {64, 0, 553, 17}},
      {kPreLicenceLabelId, {64, 24, 553, 65}},  {kLicenceRichEditId, {0, 64, 553, 226}},
      {kBottomPanelId, {0, 260, 553, 301}},     {kCancelBitBtnId, {8, 8, 121, 33}},
      {kNextBitBtnId, {432, 8, 545, 33}},       {kAdvancedGroupBoxId, {0, 59, 553, 260}},
      {kPathLabeledEditId, {8, 136, 489, 159}}, {kPathBitBtnId, {496, 136, 545, 159}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.id);
    HWND control = Control(row.id);
    ASSERT_NE(control, nullptr);
    const RECT bounds = RectInParent(control);
    EXPECT_EQ(bounds.left, row.bounds.left);
    EXPECT_EQ(bounds.top, row.bounds.top);
    EXPECT_EQ(bounds.right, row.bounds.right);
    EXPECT_EQ(bounds.bottom, row.bounds.bottom);
  }

  // The check boxes are as wide as their captions in Arial 13 plus the box itself.
  HFONT font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, "Arial");
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  const struct {
    int id;
    int left, top;
  } boxes[] = {{kLicenceCheckBoxId, 8, 234}, {kDesktopIconCheckBoxId, 8, 32}, {kRunCheckBoxId, 8, 64}};
  for (const auto& box : boxes) {
    SCOPED_TRACE(box.id);
    HWND control = Control(box.id);
    const std::wstring caption = TextOf(control);
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    const RECT bounds = RectInParent(control);
    EXPECT_EQ(bounds.left, box.left);
    EXPECT_EQ(bounds.top, box.top);
    EXPECT_EQ(bounds.bottom - bounds.top, 17);
    EXPECT_GT(extent.cx, 100);
    EXPECT_EQ(bounds.right - bounds.left, extent.cx + 24);
  }
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);

  // The edit's label stands right above it.
  const RECT label = RectInParent(Control(kPathEditLabelId));
  EXPECT_EQ(label.left, 8);
  EXPECT_EQ(label.bottom, 136 - 3);
}

TEST_F(SetupForm, WindowIsCentredTopmostWithOnlyTheSystemMenu) {
  Open();
  RECT outer;
  GetWindowRect(form_, &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  const LONG_PTR style = GetWindowLongPtrA(form_, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(GetWindowLongPtrA(form_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetClassLongPtrA(form_, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));

  const struct {
    int id;
    LONG height;
    LONG weight;
  } fonts[] = {{kLicenceCheckBoxId, -13, FW_NORMAL}, {kTitleLabelId, -13, FW_BOLD}, {kPathLabeledEditId, -12, FW_NORMAL},
               {kPathEditLabelId, -12, FW_NORMAL}, {kCancelBitBtnId, -13, FW_NORMAL}};
  for (const auto& expected : fonts) {
    SCOPED_TRACE(expected.id);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(Control(expected.id), WM_GETFONT, 0, 0)), sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, expected.height);
    EXPECT_EQ(font.lfWeight, expected.weight);
    EXPECT_EQ(font.lfCharSet, RUSSIAN_CHARSET);
    EXPECT_STREQ(font.lfFaceName, "Arial");
  }
  EXPECT_EQ(Focus(), Control(kLicenceRichEditId));
}

TEST_F(SetupForm, ShowsItsTextsInRussianOnEveryLocale) {
  Open();
  EXPECT_EQ(TextOf(form_), L"Velmora");
  const struct {
    int id;
    const char* text;
  } rows[] = {
      {kTitleLabelId, "Подготовка к установке программы Velmora версии 7700"},
      {kPreLicenceLabelId,
       "Лицензионное соглашение с конечным пользователем на использование программного обеспечения \"Velmora\":"},
      {kLicenceCheckBoxId, "подтверждаю, что соглашение прочитано полностью, все его положения приняты."},
      {kAdvancedGroupBoxId, "Настройки установки"},
      {kPathEditLabelId, "Папка, в которую будет установлена программа:"},
      {kDesktopIconCheckBoxId, "поместить ярлык для запуска программы на \"Рабочий стол\""},
      {kRunCheckBoxId, "запустить программу по окончании её установки"},
      {kCancelBitBtnId, "Отмена"},
      {kNextBitBtnId, "Далее"},
      {kPathBitBtnId, "..."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(TextOf(Control(row.id)), Wide(row.text));
  }
  EXPECT_EQ(TextOf(Control(kPathLabeledEditId)), Wide(base_ + "Velmora\\"));
}

TEST_F(SetupForm, LicenceTextCarriesItsFormats) {
  Open();
  HWND licence = Control(kLicenceRichEditId);
  ASSERT_NE(licence, nullptr);
  std::wstring text(8192, L'\0');
  GETTEXTEX request{};
  request.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  request.flags = GT_DEFAULT;
  request.codepage = 1200;
  text.resize(SendMessageW(licence, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                           reinterpret_cast<LPARAM>(text.data())));
  ASSERT_EQ(text.rfind(Wide("Если Вы устанавливаете, копируете данное программное обеспечение"), 0), 0u);

  const std::wstring rule = Wide(kPathRuleMessageRu) + L".";
  struct Piece {
    const char* start;
    bool italic;
    COLORREF colour;
    bool bullet;
  };
  const Piece pieces[] = {
      {"Если Вы устанавливаете", true, GetSysColor(COLOR_WINDOWTEXT), false},
      {"Если Вы не согласны", true, GetSysColor(COLOR_WINDOWTEXT), false},
      {"Программа является бесплатной, распространяется свободно.", false, RGB(0, 0, 255), true},
      {"Запрещается любая модификация программы", false, RGB(0, 0, 255), true},
      {kPathRuleMessageRu, false, RGB(255, 0, 0), true},
      {"Программа распространяется по принципу \"как есть\".", false, RGB(0, 0, 255), true},
  };
  for (const Piece& piece : pieces) {
    SCOPED_TRACE(piece.start);
    const std::wstring wanted = Wide(piece.start);
    FINDTEXTEXW search{};
    search.chrg = {0, -1};
    search.lpstrText = wanted.c_str();
    const LRESULT position = SendMessageW(licence, EM_FINDTEXTEXW, 1 /* FR_DOWN */, reinterpret_cast<LPARAM>(&search));
    ASSERT_GE(position, 0);
    SendMessageA(licence, EM_SETSEL, position + 1, position + 3);
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    SendMessageA(licence, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ((format.dwEffects & CFE_ITALIC) != 0, piece.italic);
    EXPECT_EQ(format.crTextColor, piece.colour);
    EXPECT_EQ(format.bCharSet, RUSSIAN_CHARSET);
    PARAFORMAT paragraph{};
    paragraph.cbSize = sizeof(paragraph);
    SendMessageA(licence, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
    EXPECT_EQ(paragraph.wNumbering == PFN_BULLET, piece.bullet);
  }
  EXPECT_NE(text.find(rule + L"\r"), std::wstring::npos);
  EXPECT_EQ(text.back(), L'.');  // the warranty paragraph ends the text without a line end
}

TEST_F(SetupForm, CaretStartsAtTheBeginningOfTheLicence) {
  Open();
  DWORD start = 1, end = 1;
  SendMessageA(Control(kLicenceRichEditId), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 0u);
}

TEST_F(SetupForm, AcceptanceEnablesNextAndTheSettingsAndClearingItDisablesThemAgain) {
  Open();
  const int settings[] = {kNextBitBtnId, kAdvancedGroupBoxId, kPathLabeledEditId, kPathBitBtnId,
                          kDesktopIconCheckBoxId, kRunCheckBoxId};
  for (int id : settings) EXPECT_FALSE(IsWindowEnabled(Control(id))) << id;
  Click(kLicenceCheckBoxId);
  for (int id : settings) EXPECT_TRUE(IsWindowEnabled(Control(id))) << id;
  Click(kLicenceCheckBoxId);
  for (int id : settings) EXPECT_FALSE(IsWindowEnabled(Control(id))) << id;
  EXPECT_FALSE(IsWindowVisible(Control(kAdvancedGroupBoxId)));
  Click(kCancelBitBtnId);
  ASSERT_TRUE(WaitClosed());
  EXPECT_FALSE(Context().InstallConfirmed);
}

TEST_F(SetupForm, NextOpensTheSettingsPage) {
  Open();
  AcceptAndOpenSettings();
  EXPECT_TRUE(IsWindowVisible(Control(kAdvancedGroupBoxId)));
  EXPECT_FALSE(IsWindowVisible(Control(kPreLicenceLabelId)));
  EXPECT_FALSE(IsWindowVisible(Control(kLicenceRichEditId)));
  const RECT title = RectInParent(Control(kTitleLabelId));
  EXPECT_EQ(title.bottom - title.top, 58);
  // The group box covers the acceptance box.
  POINT inside{300, 240};
  ClientToScreen(form_, &inside);
  EXPECT_EQ(WindowFromPoint(inside), Control(kAdvancedGroupBoxId));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(IsWindow(form_));
}

TEST_F(SetupForm, TabWalksTheSettingsPageInOrderPastTheCoveredAcceptanceBox) {
  Open();
  AcceptAndOpenSettings();
  ASSERT_EQ(Focus(), Control(kNextBitBtnId));
  const int order[] = {kDesktopIconCheckBoxId, kRunCheckBoxId, kPathLabeledEditId, kPathBitBtnId,
                       kCancelBitBtnId,        kNextBitBtnId,  kDesktopIconCheckBoxId};
  // Next had the focus after its click, so the walk starts right after it.
  for (int id : order) {
    PostKey(Focus(), VK_TAB);
    EXPECT_TRUE(Eventually([&] { return Focus() == Control(id); })) << id << " has " << GetDlgCtrlID(Focus());
  }
}

struct PathRuleCase {
  const char* typed;
  const char* stored;
};

class PathRule : public SetupForm, public ::testing::WithParamInterface<PathRuleCase> {};

TEST_P(PathRule, PathWithoutTheProductWordIsRefused) {
  const std::string typed = GetParam().typed;
  Open();
  AcceptAndOpenSettings();
  TypePath(typed);
  Click(kNextBitBtnId);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  const std::string rule = std::string(kPathRuleMessageRu) + "!";
  EXPECT_EQ(boxes[0].text, rule);
  EXPECT_EQ(boxes[0].caption, "Velmora");
  EXPECT_EQ(boxes[0].flags, 0x42030u);
  EXPECT_TRUE(IsWindowVisible(form_));
  EXPECT_EQ(TextOf(Control(kPathLabeledEditId)), Wide(typed));
  Click(kCancelBitBtnId);
  ASSERT_TRUE(WaitClosed());
  EXPECT_FALSE(Context().InstallConfirmed);
  EXPECT_EQ(Context().TargetFolder, GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathRule,
                         ::testing::Values(PathRuleCase{"C:\\Program Files\\Other", "C:\\Program Files\\Other\\"},
                                           PathRuleCase{"", ""},
                                           PathRuleCase{"C:\\Vel mora\\", "C:\\Vel mora\\"}));

TEST_F(SetupForm, FolderThatCannotBeCreatedIsRefusedAndCancelStillEndsWithoutConsent) {
  const std::string file = base_ + "plain.txt";
  CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  Open();
  AcceptAndOpenSettings();
  for (const std::string& path : {file + "\\Velmora\\sub", std::string("Velmora\\relative")}) {
    SCOPED_TRACE(path);
    TypePath(path);
    Click(kNextBitBtnId);
    EXPECT_TRUE(IsWindowVisible(form_));
  }
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.text, "Папку с таким именем создать невозможно!");
    EXPECT_EQ(box.flags, 0x42030u);
  }
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / "Velmora" / "relative"));
  Click(kCancelBitBtnId);
  ASSERT_TRUE(WaitClosed());
  EXPECT_FALSE(Context().InstallConfirmed);
}

TEST_F(SetupForm, CustomFolderIsCreatedWithItsParentsAndStoredWithABackslash) {
  Open();
  AcceptAndOpenSettings();
  const std::string typed = base_ + "one\\VELMORA2\\three";
  TypePath(typed);
  Click(kNextBitBtnId);
  ASSERT_TRUE(WaitClosed());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(Context().InstallConfirmed);
  EXPECT_EQ(Context().TargetFolder, typed + "\\");
  EXPECT_TRUE(std::filesystem::is_directory(typed));
}

TEST_F(SetupForm, DefaultsGiveBothOptionsAndKeepTheDefaultFolder) {
  Open();
  EXPECT_TRUE(Context().DesktopShortcut);
  AcceptAndOpenSettings();
  Click(kNextBitBtnId);
  ASSERT_TRUE(WaitClosed());
  EXPECT_TRUE(Context().InstallConfirmed);
  EXPECT_TRUE(Context().DesktopShortcut);
  EXPECT_TRUE(Context().RunAfterInstall);
  EXPECT_EQ(Context().TargetFolder, base_ + "Velmora\\");
  EXPECT_TRUE(std::filesystem::is_directory(base_ + "Velmora"));
}

TEST_F(SetupForm, ClearedOptionsAreStored) {
  Open();
  AcceptAndOpenSettings();
  Click(kDesktopIconCheckBoxId);
  Click(kRunCheckBoxId);
  Click(kNextBitBtnId);
  ASSERT_TRUE(WaitClosed());
  EXPECT_TRUE(Context().InstallConfirmed);
  EXPECT_FALSE(Context().DesktopShortcut);
  EXPECT_FALSE(Context().RunAfterInstall);
}

enum class CloseWay { kCancel, kEscapeInLicence, kEnterInLicence, kCloseBox, kEscapeOnSettings, kEnterInPathEdit };

class Closing : public SetupForm, public ::testing::WithParamInterface<CloseWay> {};

TEST_P(Closing, EveryOtherWayOfClosingLeavesTheInstallationUnconfirmed) {
  Open();
  switch (GetParam()) {
    case CloseWay::kCancel:
      Click(kCancelBitBtnId);
      break;
    case CloseWay::kEscapeInLicence:
      PostKey(Control(kLicenceRichEditId), VK_ESCAPE);
      break;
    case CloseWay::kEnterInLicence:
      PostKey(Control(kLicenceRichEditId), VK_RETURN);
      break;
    case CloseWay::kCloseBox:
      PostMessageA(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case CloseWay::kEscapeOnSettings:
      AcceptAndOpenSettings();
      PostKey(Control(kRunCheckBoxId), VK_ESCAPE);
      break;
    case CloseWay::kEnterInPathEdit:
      AcceptAndOpenSettings();
      for (int i = 0; i < 3; ++i) PostKey(Focus(), VK_TAB);  // Next, then the two options, then the path
      ASSERT_TRUE(Eventually([&] { return Focus() == Control(kPathLabeledEditId); }));
      PostKey(Control(kPathLabeledEditId), VK_RETURN);
      break;
  }
  ASSERT_TRUE(WaitClosed());
  EXPECT_FALSE(Context().InstallConfirmed);
  EXPECT_TRUE(Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, Closing,
                         ::testing::Values(CloseWay::kCancel, CloseWay::kEscapeInLicence, CloseWay::kEnterInLicence,
                                           CloseWay::kCloseBox, CloseWay::kEscapeOnSettings,
                                           CloseWay::kEnterInPathEdit));

TEST_F(SetupForm, EnterOnTheFocusedNextButtonPressesIt) {
  Open();
  Click(kLicenceCheckBoxId);
  PostKey(Control(kLicenceCheckBoxId), VK_TAB);  // to Cancel
  PostKey(Control(kLicenceCheckBoxId), VK_TAB);  // to Next
  ASSERT_TRUE(Eventually([&] { return Focus() == Control(kNextBitBtnId); }));
  PostKey(Focus(), VK_RETURN);
  ASSERT_TRUE(Eventually([&] { return IsWindowVisible(Control(kAdvancedGroupBoxId)) != FALSE; }));
  PostKey(Focus(), VK_RETURN);
  ASSERT_TRUE(WaitClosed());
  EXPECT_TRUE(Context().InstallConfirmed);
}

}  // namespace
}  // namespace velmora
