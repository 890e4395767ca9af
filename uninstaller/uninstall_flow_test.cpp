#include "uninstaller/uninstall_flow.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "startup/cyrillic_locale.h"
#include "startup/install_context.h"
#include "startup/messages.h"
#include "startup/unique_handle.h"
#include "uninstaller/uninstall_probe.h"

namespace velmora {
namespace {

constexpr REGSAM kView64 = KEY_WOW64_64KEY;
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kProgramFolder[] = "C:\\Program Files\\Velmora\\";

// ---- small file and registry helpers -------------------------------------------------------

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteBytes(const std::string& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  scoped_handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
  ASSERT_TRUE(file) << path;
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::string ReadBytes(const std::string& path) {
  scoped_handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
  if (!file) return "<missing>";
  std::string bytes(GetFileSize(file.get(), nullptr), '\0');
  DWORD read = 0;
  ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  return bytes;
}

// Clears read-only marks and deletes a tree the test made (the product's own removal aside).
void Wipe(const std::string& folder) {
  std::string path = folder;
  if (!path.empty() && path.back() == '\\') path.pop_back();
  if (!Exists(path)) return;
  WIN32_FIND_DATAA found;
  scoped_find find(FindFirstFileA((path + "\\*").c_str(), &found));
  if (find) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        Wipe(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find.get(), &found));
  }
  find.reset();
  RemoveDirectoryA(path.c_str());
}

void SetText(HKEY root, const std::string& key, const char* name, const std::string& text, REGSAM view = 0) {
  scoped_hkey opened;
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, opened.receive(),
                            nullptr), ERROR_SUCCESS) << key;
  ASSERT_EQ(RegSetValueExA(opened.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1)), ERROR_SUCCESS);
}

bool KeyExists(HKEY root, const std::string& key, REGSAM view = 0) {
  scoped_hkey opened;
  return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, opened.receive()) == ERROR_SUCCESS;
}

bool ValueExists(HKEY root, const std::string& key, const char* name, REGSAM view = 0) {
  scoped_hkey opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, opened.receive()) != ERROR_SUCCESS) return false;
  return RegQueryValueExA(opened.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void DeleteTree(HKEY root, const std::string& key, REGSAM view = 0) {
  scoped_hkey opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS | view, opened.receive()) != ERROR_SUCCESS) return;
  char child[256];
  DWORD length = sizeof child;
  while (RegEnumKeyExA(opened.get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
    DeleteTree(opened.get(), child, view);
    length = sizeof child;
  }
  opened.reset();
  RegDeleteKeyExA(root, key.c_str(), view, 0);
}

std::string ShellFolder(HKEY root, const char* name) {
  char buffer[MAX_PATH] = {};
  DWORD size = sizeof buffer;
  RegGetValueA(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name,
               RRF_RT_REG_SZ, nullptr, buffer, &size);
  return std::string(buffer) + "\\";
}

template <typename Condition>
bool WaitFor(Condition condition, int seconds) {
  for (int i = 0; i < seconds * 4; ++i) {
    if (condition()) return true;
    Sleep(250);
  }
  return condition();
}

// ---- the message boxes: recorded and answered by script ---------------------------------------

struct ShownBox {
  MessageBoxRequest request;
  std::string scriptWhileShown;  // the removal script's bytes while this box was open
};
std::vector<ShownBox> g_shown;
std::deque<int> g_answers;
std::string g_scriptPath;

int AnswerBox(const MessageBoxRequest& request) {
  g_shown.push_back({request, ReadBytes(g_scriptPath)});
  if (g_answers.empty()) return IDOK;
  const int answer = g_answers.front();
  g_answers.pop_front();
  return answer;
}

// A Velmora installation made by hand in the Wine prefix: registration, folder, autostart values,
// settings keys, shortcuts and menu folders.
class UninstallerRun : public ::testing::Test {
 protected:
  void SetUp() override {
    Context() = InstallContext{};
    Context().CyrillicLocale = IsCyrillicLocaleId(GetUserDefaultLCID());
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    Context().Registry = std::make_unique<RegistryAccessor>(KEY_ALL_ACCESS | (wow64 ? KEY_WOW64_64KEY : 0));
    SetUninstallerConstants();

    char temp[MAX_PATH] = {};
    GetEnvironmentVariableA("Temp", temp, MAX_PATH);
    tempFolder_ = std::string(temp) + "\\";
    g_scriptPath = tempFolder_ + "brevik_unin.cmd";
    DeleteFileA(g_scriptPath.c_str());
    g_shown.clear();
    g_answers.clear();
    SetMessageBoxHookForTesting(AnswerBox);
    GetCurrentDirectoryA(MAX_PATH, savedDirectory_);

    programs_ = ShellFolder(HKEY_CURRENT_USER, "Programs");
    desktop_ = ShellFolder(HKEY_CURRENT_USER, "Desktop");
    startup_ = ShellFolder(HKEY_CURRENT_USER, "Startup");
    commonPrograms_ = ShellFolder(HKEY_LOCAL_MACHINE, "Common Programs");
    commonDesktop_ = ShellFolder(HKEY_LOCAL_MACHINE, "Common Desktop");
  }

  void TearDown() override {
    SetMessageBoxHookForTesting(nullptr);
    SetCurrentDirectoryA(savedDirectory_);
    DeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey, kView64);
    DeleteTree(HKEY_CURRENT_USER, "Software\\Brevik");
    DeleteTree(HKEY_USERS, ".DEFAULT\\Software\\Brevik");
    for (const std::string& folder : madeFolders_) Wipe(folder);
    Context() = InstallContext{};
  }

  void Register(const std::string& uninstallString) {
    SetText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", uninstallString, kView64);
    SetText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Velmora", kView64);
  }

  void MakeFolder(const std::string& folder) {
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << folder;
    madeFolders_.push_back(folder);
  }

  // The carried files, a hidden one of the application, and everything the installer and the
  // application leave in the registry and the shell folders.
  void Install(const std::string& folder) {
    MakeFolder(folder);
    for (const char* name : {"Velmora.exe", "uninstall.exe", "riched32.dll"}) WriteBytes(folder + name, name);
    WriteBytes(folder + "state.dat", "x", FILE_ATTRIBUTE_HIDDEN);
    Register(folder + "uninstall.exe");

    SetText(HKEY_CURRENT_USER, kRunKey, "!Velmora", "x");
    SetText(HKEY_CURRENT_USER, kRunKey, "Velmora", "x");
    SetText(HKEY_CURRENT_USER, kRunKey, "OtherProgram", "x");
    SetText(HKEY_CURRENT_USER, "Software\\Brevik\\Velmora\\Options", "Theme", "dark");
    SetText(HKEY_CURRENT_USER, "Software\\Brevik\\Other", "Keep", "1");
    SetText(HKEY_USERS, ".DEFAULT\\Software\\Brevik\\Velmora", "Theme", "dark");

    WriteBytes(commonDesktop_ + "Velmora.lnk", "lnk");
    WriteBytes(desktop_ + "Velmora.lnk", "lnk");
    WriteBytes(desktop_ + "Other.lnk", "lnk");
    WriteBytes(startup_ + "Velmora.lnk", "lnk");
    for (const std::string& menu : {commonPrograms_ + "Velmora\\", programs_ + "Velmora\\"}) {
      MakeFolder(menu);
      WriteBytes(menu + "Velmora.lnk", "lnk");
    }
    madeFiles_ = {commonDesktop_ + "Velmora.lnk", desktop_ + "Velmora.lnk", startup_ + "Velmora.lnk"};
  }

  void ExpectNothingRemoved(const std::string& folder) {
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", kView64));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kRunKey, "!Velmora"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kRunKey, "Velmora"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Brevik\\Velmora\\Options"));
    EXPECT_TRUE(KeyExists(HKEY_USERS, ".DEFAULT\\Software\\Brevik\\Velmora"));
    for (const std::string& file : madeFiles_) EXPECT_TRUE(Exists(file)) << file;
    EXPECT_TRUE(Exists(commonPrograms_ + "Velmora\\Velmora.lnk"));
    EXPECT_TRUE(Exists(programs_ + "Velmora\\Velmora.lnk"));
    EXPECT_TRUE(Exists(folder + "uninstall.exe"));
    EXPECT_FALSE(Exists(g_scriptPath));
  }

  bool Probe() { return ProbeUninstallEnvironment(); }

  // Waits until the script has run to its end, that is until it has deleted itself.
  void WaitForScript() {
    EXPECT_TRUE(WaitFor([&] { return !Exists(g_scriptPath); }, 90)) << "the removal script did not finish";
  }

  std::string tempFolder_, programs_, desktop_, startup_, commonPrograms_, commonDesktop_;
  std::vector<std::string> madeFolders_, madeFiles_;
  char savedDirectory_[MAX_PATH] = {};
};

std::string ExpectedConfirmation(const std::string& folder) {
  if (Context().CyrillicLocale)
    return "Всё готово к удалению программы \"Velmora\".\n\n"
           "Будет удалён соответствующий пункт из меню программ,\n"
           "ярлык на Рабочем столе и всё из папки " + folder + ".\n\n"
           "Перед установкой новой версии программы удаление не требуется,\n"
           "если только Вы не хотите сбросить все настройки и наработанный материал.\n\n"
           "Действительно ли Вы вынуждены удалить программу?";
  return "All is ready to uninstall the Velmora program.\n\n"
         "Respective item of Programs menu, a shortcut on Desktop\n"
         "and everything in " + folder + " are going to be deleted.\n\n"
         "No need to uninstall the program before installation of its new version,\n"
         "unless you want to reset all options and logs.\n\nAre you really to uninstall it?";
}

void ExpectLocalizedBox(const MessageBoxRequest& box, UINT flags) {
  EXPECT_EQ(box.flags, flags);
  EXPECT_EQ(box.extended, Context().CyrillicLocale);
  EXPECT_EQ(box.caption, "Velmora");
  if (box.extended) {
    EXPECT_EQ(box.language, 0x0019);
  }
}

TEST_F(UninstallerRun, ProbeFindsTheRegisteredFolderAndTheShellFolders) {
  Register("D:\\Apps\\Velmora\\uninstall.exe");
  ASSERT_TRUE(Probe());
  const InstallContext& context = Context();
  EXPECT_TRUE(context.IsAdmin);
  EXPECT_EQ(context.TargetFolder, "D:\\Apps\\Velmora\\");
  EXPECT_EQ(context.TempFolder, tempFolder_);
  EXPECT_EQ(context.UninstallKeyPrefix, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\");
  EXPECT_EQ(context.DesktopFolder, desktop_);
  EXPECT_EQ(context.StartupFolder, startup_);
  EXPECT_EQ(context.CommonDesktopFolder, commonDesktop_);
  EXPECT_EQ(context.CommonMenuFolderRu, commonPrograms_ + "Velmora\\");
  EXPECT_EQ(context.CommonMenuFolderEn, commonPrograms_ + "Velmora\\");
  EXPECT_EQ(context.UserMenuFolderRu, programs_ + "Velmora\\");
  EXPECT_EQ(context.UserMenuFolderEn, programs_ + "Velmora\\");
}

TEST_F(UninstallerRun, AnUntrustedRegistrationFallsBackToTheDefaultFolder) {
  struct Row {
    const char* name;
    const char* value;
  } rows[] = {
      {"drive root", "C:\\uninstall.exe"},
      {"folder without the product word", "C:\\windows\\uninstall.exe"},
      {"no backslash before the last character", "uninstall.exe"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Register(row.value);
    ASSERT_TRUE(Probe());
    EXPECT_EQ(Context().TargetFolder, kProgramFolder);
  }
  // A value that is not text is no registration either, and no registry error.
  scoped_hkey key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS | kView64, key.receive()),
            ERROR_SUCCESS);
  const BYTE binary[] = {'C', ':', '\\', 'x', '\\', 0};
  ASSERT_EQ(RegSetValueExA(key.get(), "UninstallString", 0, REG_BINARY, binary, sizeof binary), ERROR_SUCCESS);
  ASSERT_TRUE(Probe());
  EXPECT_EQ(Context().TargetFolder, kProgramFolder);
  EXPECT_TRUE(g_shown.empty());
  // And so is no registration at all.
  DeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey, kView64);
  ASSERT_TRUE(Probe());
  EXPECT_EQ(Context().TargetFolder, kProgramFolder);
}

TEST_F(UninstallerRun, MissingFolderIsReportedWithoutAQuestion) {
  Register("C:\\Apps\\Velmora Gone\\uninstall.exe");
  ASSERT_TRUE(Probe());
  EXPECT_FALSE(RunUninstall());
  ASSERT_EQ(g_shown.size(), 1u);
  ExpectLocalizedBox(g_shown[0].request, MB_OK | MB_ICONHAND | MB_SERVICE_NOTIFICATION);
  EXPECT_EQ(g_shown[0].request.text, Context().CyrillicLocale
                                         ? "Не удалось найти папку C:\\Apps\\Velmora Gone\\\nудаляемой программы Velmora"
                                         : "Can't find C:\\Apps\\Velmora Gone\\ folder\nof the Velmora program.");
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView64));
}

TEST_F(UninstallerRun, WithoutRightsOnlyTheRightsMessageComes) {
  const std::string folder = "C:\\Apps\\Velmora\\";
  MakeFolder("C:\\Apps");
  Install(folder);
  ASSERT_TRUE(Probe());
  Context().IsAdmin = false;
  EXPECT_FALSE(RunUninstall());
  ASSERT_EQ(g_shown.size(), 1u);
  ExpectLocalizedBox(g_shown[0].request, MB_OK | MB_ICONHAND | MB_SERVICE_NOTIFICATION);
  EXPECT_EQ(g_shown[0].request.text, Context().CyrillicLocale ? "У Вас нет права удалять программы!"
                                                              : "You have no right to uninstall applications!");
  ExpectNothingRemoved(folder);
}

TEST_F(UninstallerRun, AnsweringNoChangesNothing) {
  const std::string folder = "C:\\Apps\\Velmora\\";
  MakeFolder("C:\\Apps");
  Install(folder);
  ASSERT_TRUE(Probe());
  g_answers = {IDNO};
  EXPECT_FALSE(RunUninstall());
  ASSERT_EQ(g_shown.size(), 1u);
  const MessageBoxRequest& box = g_shown[0].request;
  EXPECT_EQ(box.text, ExpectedConfirmation(folder));
  EXPECT_EQ(box.caption, Context().CyrillicLocale ? "Подумайте лучше" : "Think it over");
  EXPECT_EQ(box.flags, 0x42124u);  // No is the default button
  EXPECT_EQ(box.extended, Context().CyrillicLocale);
  ExpectNothingRemoved(folder);
}

TEST_F(UninstallerRun, AnsweringYesRemovesEverythingAndTheScriptTheFolder) {
  Install(kProgramFolder);
  ASSERT_TRUE(Probe());
  g_answers = {IDYES, IDOK};
  EXPECT_TRUE(RunUninstall());
  ASSERT_EQ(g_shown.size(), 2u);
  EXPECT_EQ(g_shown[0].request.text, ExpectedConfirmation(kProgramFolder));

  const ShownBox& final = g_shown[1];
  ExpectLocalizedBox(final.request, 0x42040);
  EXPECT_EQ(final.request.text,
            Context().CyrillicLocale
                ? "Программа удалена из системы.\r\n\r\nЕсли Вы сами создавали ярлыки для запуска программы,\r\n"
                  "их придётся удалить вручную."
                : "The program is now removed from your system.\r\n\r\nIf you created any shortcuts for launching "
                  "the program,\r\nyou may need to remove them manually.");

  // The script as it stood while the final message was open: the del lines in the order the
  // file system lists the folder, so they are compared as a set.
  const std::string wait = "ping 127.0.0.1 -n 3 > nul || ping ::1 -n 3 > nul";
  std::vector<std::string> lines;
  const std::string& script = final.scriptWhileShown;
  for (size_t start = 0; start < script.size();) {
    const size_t end = script.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "last line without CR LF";
    lines.push_back(script.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(script.find('\n'), script.find("\r\n") + 1);  // no byte-order mark, CR LF
  ASSERT_EQ(lines.size(), 9u) << script;
  EXPECT_EQ(lines[0], "@echo off");
  EXPECT_EQ(lines[1], wait);
  const std::set<std::string> deletes(lines.begin() + 2, lines.begin() + 6);
  const std::set<std::string> expected = {
      "del \"C:\\Program Files\\Velmora\\Velmora.exe\"", "del \"C:\\Program Files\\Velmora\\uninstall.exe\"",
      "del \"C:\\Program Files\\Velmora\\riched32.dll\"", "del \"C:\\Program Files\\Velmora\\state.dat\""};
  EXPECT_EQ(deletes, expected);
  EXPECT_EQ(lines[6], wait);
  EXPECT_EQ(lines[7], "rd \"C:\\Program Files\\Velmora\"");
  EXPECT_EQ(lines[8], "del brevik_unin.cmd");

  // Removed at once.
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView64));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRunKey, "!Velmora"));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRunKey, "Velmora"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kRunKey, "OtherProgram"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Brevik\\Velmora"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Brevik\\Other"));
  EXPECT_FALSE(KeyExists(HKEY_USERS, ".DEFAULT\\Software\\Brevik\\Velmora"));
  EXPECT_TRUE(KeyExists(HKEY_USERS, ".DEFAULT\\Software\\Brevik"));
  for (const std::string& file : madeFiles_) EXPECT_FALSE(Exists(file)) << file;
  EXPECT_TRUE(Exists(desktop_ + "Other.lnk"));
  DeleteFileA((desktop_ + "Other.lnk").c_str());
  EXPECT_FALSE(Exists(commonPrograms_ + "Velmora"));
  EXPECT_FALSE(Exists(programs_ + "Velmora"));

  // Removed by the script once it has run.
  WaitForScript();
  EXPECT_FALSE(Exists(kProgramFolder));
  EXPECT_TRUE(Exists("C:\\Program Files"));
}

TEST_F(UninstallerRun, ScriptLeavesASubfolderAndAReadOnlyFileWithTheirFolder) {
  struct Row {
    const char* name;
    const char* leftOver;  // made inside the program folder, stays there
    bool isFolder;
  } rows[] = {{"subfolder", "Data", true}, {"read-only file", "locked.txt", false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Install(kProgramFolder);
    const std::string leftOver = std::string(kProgramFolder) + row.leftOver;
    if (row.isFolder) {
      ASSERT_TRUE(CreateDirectoryA(leftOver.c_str(), nullptr));
      WriteBytes(leftOver + "\\log.txt", "log");
    } else {
      WriteBytes(leftOver, "x", FILE_ATTRIBUTE_READONLY);
    }
    ASSERT_TRUE(Probe());
    g_answers = {IDYES, IDOK};
    EXPECT_TRUE(RunUninstall());
    WaitForScript();
    EXPECT_FALSE(Exists(std::string(kProgramFolder) + "uninstall.exe"));
    EXPECT_FALSE(Exists(std::string(kProgramFolder) + "Velmora.exe"));
    EXPECT_TRUE(Exists(leftOver));
    if (row.isFolder) {
      EXPECT_TRUE(Exists(leftOver + "\\log.txt"));
    }
    Wipe(kProgramFolder);
  }
}

TEST_F(UninstallerRun, NothingOutsideTheProductFolderIsDeleted) {
  MakeFolder("C:\\Decoy");
  WriteBytes("C:\\Decoy\\keep.txt", "keep");
  WriteBytes("C:\\keep_velmora_test.txt", "keep");
  Install(kProgramFolder);
  struct Row {
    const char* name;
    const char* value;
  } rows[] = {{"drive root", "C:\\uninstall.exe"}, {"folder without the product word", "C:\\Decoy\\uninstall.exe"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Register(row.value);
    ASSERT_TRUE(Probe());
    g_shown.clear();
    g_answers = {IDYES, IDOK};
    EXPECT_TRUE(RunUninstall());
    ASSERT_FALSE(g_shown.empty());
    EXPECT_EQ(g_shown[0].request.text, ExpectedConfirmation(kProgramFolder));
    WaitForScript();
    EXPECT_TRUE(Exists("C:\\Decoy\\keep.txt"));
    EXPECT_TRUE(Exists("C:\\keep_velmora_test.txt"));
    EXPECT_FALSE(Exists(kProgramFolder));
    Install(kProgramFolder);
  }
  DeleteFileA("C:\\keep_velmora_test.txt");
}

TEST_F(UninstallerRun, SpecialCharactersInTheFolderReachTheScriptUnchanged) {
  // Cyrillic file names need the Cyrillic ANSI code page; elsewhere the other characters are tried.
  const bool cyrillic = Context().CyrillicLocale;
  const std::string folder = std::string("C:\\Program Files\\Velmora 100% & ^up!") + (cyrillic ? " Вельмора" : "") + "\\";
  Install(folder);
  WriteBytes(folder + (cyrillic ? "%TEMP% отчёт.txt" : "%TEMP% report.txt"), "x");
  ASSERT_TRUE(Probe());
  EXPECT_EQ(Context().TargetFolder, folder);
  g_answers = {IDYES, IDOK};
  EXPECT_TRUE(RunUninstall());
  ASSERT_EQ(g_shown.size(), 2u);
  // The script holds the path in the OEM code page, with each "%" doubled.
  std::string oem = folder;
  CharToOemA(folder.c_str(), oem.data());
  std::string escaped;
  for (char c : oem) escaped += (c == '%') ? std::string("%%") : std::string(1, c);
  escaped.pop_back();
  EXPECT_NE(g_shown[1].scriptWhileShown.find("rd \"" + escaped + "\"\r\n"), std::string::npos)
      << g_shown[1].scriptWhileShown;
  WaitForScript();
  EXPECT_FALSE(Exists(folder)) << "the script did not remove the folder";
}

// A stand-in application window: the uninstaller posts WM_QUIT to it, even if the answer is No.
TEST_F(UninstallerRun, RunningApplicationIsAskedToQuitBeforeTheQuestion) {
  const char* buildDir = std::getenv("VELMORA_BUILD_DIR");
  ASSERT_NE(buildDir, nullptr);
  std::string standin = std::string("Z:") + buildDir + "/standins/velmora_app_standin/Velmora.exe";
  std::replace(standin.begin(), standin.end(), '/', '\\');
  ASSERT_TRUE(Exists(standin)) << standin;

  const std::string folder = "C:\\Apps\\Velmora\\";
  MakeFolder("C:\\Apps");
  Install(folder);
  STARTUPINFOA startupInfo{};
  startupInfo.cb = sizeof startupInfo;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(standin.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startupInfo,
                             &process));
  scoped_handle processHandle(process.hProcess), threadHandle(process.hThread);
  ASSERT_TRUE(WaitFor([] { return FindWindowA("TVelmoraMainForm", nullptr) != nullptr; }, 30));

  g_answers = {IDNO};
  RunUninstaller();
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].request.text, ExpectedConfirmation(folder));
  EXPECT_EQ(WaitForSingleObject(processHandle.get(), 20000), WAIT_OBJECT_0) << "the application still runs";
  if (WaitForSingleObject(processHandle.get(), 0) != WAIT_OBJECT_0) TerminateProcess(processHandle.get(), 1);
  ExpectNothingRemoved(folder);
}

}  // namespace
}  // namespace velmora
