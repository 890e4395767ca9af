#include "environment/system_probe.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "environment/user_rights.h"
#include "startup/install_context.h"
#include "startup/messages.h"
#include "startup/unique_handle.h"

namespace velmora {
namespace {

// The accessor's mask on a 64-bit Windows, which Wine is.
constexpr REGSAM kAccess = KEY_ALL_ACCESS | KEY_WOW64_64KEY;
const char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kNativeEntry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora";
const char kLegacyEntry[] = "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora";

std::vector<MessageBoxRequest> g_shown;

int RecordMessage(const MessageBoxRequest& request) {
  g_shown.push_back(request);
  return IDOK;
}

int NotAdmin() { return 0; }

// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER point at two scratch keys under the real HKCU for the
// test. Beneath a key of HKCU\Software nothing is redirected, so the native and the WOW6432Node
// paths are plain keys whichever view the accessor asks for.
class ProbeRegistry : public ::testing::Test {
 protected:
  static constexpr char kScratch[] = "Software\\VelmoraProbeTest";

  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kScratch) + "\\Machine").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, machine_.receive(), nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kScratch) + "\\User").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, user_.receive(), nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_.get()), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, user_.get()), ERROR_SUCCESS);

    savedTemp_ = Environment("Temp");
    SetEnvironmentVariableA("Temp", "C:\\Temp\\Probe");
    g_shown.clear();
    SetMessageBoxHookForTesting(RecordMessage);

    InstallContext& context = Context();
    context.AppFileName = "Velmora";
    context.DisplayName = "Вельмора";
    context.DisplayNameCopy = "Velmora Suite";
    context.Registry = std::make_unique<RegistryAccessor>(kAccess);
  }

  void TearDown() override {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    machine_.reset();
    user_.reset();
    RegistryAccessor(kAccess).DeleteKey(std::string("\\") + kScratch);
    SetEnvironmentVariableA("Temp", savedTemp_.c_str());
    SetMessageBoxHookForTesting(nullptr);
    SetIsUserAnAdminForTesting(nullptr);
    Context() = InstallContext{};
  }

  static std::string Environment(const char* name) {
    char value[1024];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length < sizeof value ? std::string(value, length) : std::string();
  }

  static void SetValue(HKEY hive, const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    scoped_hkey key;
    ASSERT_EQ(RegCreateKeyExA(hive, path, 0, nullptr, 0, kAccess, nullptr, key.receive(), nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  }
  void SetMachine(const char* path, const char* name, const std::string& text) {
    SetValue(machine_.get(), path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  void SetUser(const char* path, const char* name, const std::string& text) {
    SetValue(user_.get(), path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  static void SetNumber(HKEY hive, const char* path, const char* name) {
    const DWORD number = 1;
    SetValue(hive, path, name, REG_DWORD, &number, sizeof number);
  }

  // Empties one of the scratch hives (the predefined keys point at them meanwhile).
  static void ClearHive(HKEY hive) {
    RegistryAccessor registry(kAccess);
    registry.SetRootKey(hive);
    registry.DeleteKey("\\Software");
  }

  // A complete system: Program Files, both sets of shell folders, no earlier installation.
  void SetUpSystem() {
    SetMachine(kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
    SetMachine(kShellFolders, "Common Desktop", "C:\\Users\\Public\\Desktop");
    SetMachine(kShellFolders, "Common Programs", "C:\\ProgramData\\Start Menu\\Programs");
    SetUser(kShellFolders, "Programs", "C:\\Users\\Анна\\Start Menu\\Programs");
    SetUser(kShellFolders, "Desktop", "C:\\Users\\Анна\\Desktop");
    SetUser(kShellFolders, "Startup", "C:\\Users\\Анна\\Start Menu\\Programs\\Startup");
  }

  scoped_hkey machine_, user_;
  std::string savedTemp_;
};

// A key named WOW6432Node makes its parent redirect 32-bit access without KEY_WOW64_64KEY (Wine
// does this beneath any key, as Windows does beneath HKLM\Software), so the fixture writes, and
// the accessor reads, with the 64-bit view: every path then names the key it spells.
TEST_F(ProbeRegistry, FixtureKeysAreSeenThroughTheAccessorsView) {
  SetMachine("Software\\Plain", "v", "1");
  SetMachine("Software\\WOW6432Node\\Node", "v", "1");
  for (const char* path : {"Software\\Plain", "Software\\WOW6432Node\\Node"}) {
    SCOPED_TRACE(path);
    scoped_hkey key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WOW64_64KEY, key.receive()), ERROR_SUCCESS);
  }
}

TEST_F(ProbeRegistry, FillsTheFoldersAndTheMenuFolderInTheUsersLanguage) {
  SetUpSystem();
  for (bool cyrillic : {true, false}) {
    SCOPED_TRACE(cyrillic ? "Cyrillic" : "other locale");
    InstallContext& context = Context();
    context.CyrillicLocale = cyrillic;
    // Left from an earlier run: these three start empty.
    context.CommonDesktopFolder = context.CommonProgramsFolder = context.LegacyUninstallKey = "stale";
    // A key left open by an earlier step does not change where the probe looks, and is closed.
    context.Registry->SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(context.Registry->OpenKey("\\Software", false));

    ASSERT_TRUE(ProbeSystem());
    EXPECT_TRUE(g_shown.empty());
    EXPECT_EQ(context.Registry->CurrentKey(), nullptr);
    EXPECT_TRUE(context.IsAdmin);
    EXPECT_EQ(context.TempFolder, "C:\\Temp\\Probe\\");
    EXPECT_EQ(context.CommonDesktopFolder, "C:\\Users\\Public\\Desktop\\");
    EXPECT_EQ(context.CommonProgramsFolder, "C:\\ProgramData\\Start Menu\\Programs\\");
    EXPECT_EQ(context.ProgramsFolder, "C:\\Users\\Анна\\Start Menu\\Programs\\");
    EXPECT_EQ(context.DesktopFolder, "C:\\Users\\Анна\\Desktop\\");
    EXPECT_EQ(context.StartupFolder, "C:\\Users\\Анна\\Start Menu\\Programs\\Startup\\");
    EXPECT_EQ(context.MenuFolder, cyrillic ? "C:\\ProgramData\\Start Menu\\Programs\\Вельмора\\"
                                           : "C:\\ProgramData\\Start Menu\\Programs\\Velmora Suite\\");
    EXPECT_EQ(context.UserMenuFolderRu, "C:\\Users\\Анна\\Start Menu\\Programs\\Вельмора\\");
    EXPECT_EQ(context.UserMenuFolderEn, "C:\\Users\\Анна\\Start Menu\\Programs\\Velmora Suite\\");
    EXPECT_EQ(context.UninstallKeyPrefix, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\");
    EXPECT_EQ(context.TargetFolder, "C:\\Program Files\\Velmora\\");
    EXPECT_EQ(context.LegacyUninstallKey, "");
  }
}

TEST_F(ProbeRegistry, MenuFolderFallsBackToTheUsersProgramsMenu) {
  struct Row {
    const char* situation;
    const char* commonPrograms;  // nullptr: no value
    const char* commonFolder;
    const char* menuFolder;
  } const rows[] = {
      {"no value", nullptr, "C:\\U\\Programs\\", "C:\\U\\Programs\\Velmora Suite\\"},
      {"empty value", "", "C:\\U\\Programs\\", "C:\\U\\Programs\\Velmora Suite\\"},
      {"a lone backslash", "\\", "C:\\U\\Programs\\", "C:\\U\\Programs\\Velmora Suite\\"},
      // The backslash is added before the length is measured, so one letter makes two characters.
      {"one letter", "X", "X\\", "X\\Velmora Suite\\"},
      {"two characters", "C:", "C:\\", "C:\\Velmora Suite\\"},
  };
  SetUser(kShellFolders, "Programs", "C:\\U\\Programs");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.situation);
    ClearHive(machine_.get());
    if (row.commonPrograms) SetMachine(kShellFolders, "Common Programs", row.commonPrograms);
    ASSERT_TRUE(ProbeSystem());
    EXPECT_EQ(Context().CommonProgramsFolder, row.commonFolder);
    EXPECT_EQ(Context().MenuFolder, row.menuFolder);
    EXPECT_EQ(Context().CommonDesktopFolder, "");
  }
}

TEST_F(ProbeRegistry, WithoutTheMachineKeysEverythingComesFromTheUser) {
  SetUser(kShellFolders, "Programs", "C:\\U\\Programs\\");
  Context().CyrillicLocale = true;
  ASSERT_TRUE(ProbeSystem());
  EXPECT_TRUE(g_shown.empty());
  EXPECT_EQ(Context().CommonDesktopFolder, "");
  EXPECT_EQ(Context().MenuFolder, "C:\\U\\Programs\\Вельмора\\");
  EXPECT_EQ(Context().TargetFolder, "Velmora\\");
  EXPECT_EQ(Context().DesktopFolder, "");
  EXPECT_EQ(Context().StartupFolder, "");
}

TEST_F(ProbeRegistry, EarlierRegistrationsDecideTheTargetFolder) {
  struct Row {
    const char* situation;
    const char* programFiles;  // nullptr: no value
    const char* native;        // nullptr: no value; "#" a number instead of text
    const char* legacy;
    const char* target;
    const char* legacyKey;
  } const rows[] = {
      {"none", "C:\\Program Files", nullptr, nullptr, "C:\\Program Files\\Velmora\\", ""},
      {"none, no Program Files", nullptr, nullptr, nullptr, "Velmora\\", ""},
      {"native view", "C:\\Program Files", "D:\\Apps\\Velmora\\uninstall.exe", nullptr, "D:\\Apps\\Velmora\\", ""},
      {"32-bit view only", "C:\\Program Files", nullptr, "E:\\Old\\Velmora\\uninstall.exe", "E:\\Old\\Velmora\\",
       kLegacyEntry},
      {"both views", "C:\\Program Files", "D:\\Apps\\Velmora\\uninstall.exe", "E:\\Old\\Velmora\\uninstall.exe",
       "D:\\Apps\\Velmora\\", ""},
      {"value ending in a backslash", "C:\\Program Files", "C:\\A\\B\\", nullptr, "C:\\A\\", ""},
      {"Cyrillic folder", "C:\\Program Files", "C:\\Программы\\Вельмора\\uninstall.exe", nullptr,
       "C:\\Программы\\Вельмора\\", ""},
      {"native without a backslash keeps the default", "C:\\Program Files", "uninstall.exe",
       "E:\\Old\\Velmora\\uninstall.exe", "C:\\Program Files\\Velmora\\", ""},
      {"32-bit view without a backslash", "C:\\Program Files", nullptr, "uninstall.exe",
       "C:\\Program Files\\Velmora\\", kLegacyEntry},
      {"native number is no registration", "C:\\Program Files", "#", "E:\\Old\\Velmora\\uninstall.exe",
       "E:\\Old\\Velmora\\", kLegacyEntry},
      {"numbers in both views", "C:\\Program Files", "#", "#", "C:\\Program Files\\Velmora\\", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.situation);
    ClearHive(machine_.get());
    SetUser(kShellFolders, "Programs", "C:\\U\\Programs");
    if (row.programFiles) SetMachine(kCurrentVersion, "ProgramFilesDir", row.programFiles);
    for (auto [path, value] : {std::pair{kNativeEntry, row.native}, std::pair{kLegacyEntry, row.legacy}}) {
      if (!value) continue;
      if (std::string(value) == "#")
        SetNumber(machine_.get(), path, "UninstallString");
      else
        SetMachine(path, "UninstallString", value);
    }
    ASSERT_TRUE(ProbeSystem());
    EXPECT_TRUE(g_shown.empty());
    EXPECT_EQ(Context().TargetFolder, row.target);
    EXPECT_EQ(Context().LegacyUninstallKey, row.legacyKey);
  }
}

TEST_F(ProbeRegistry, AnEntryKeyWithoutAnUninstallStringIsNoRegistration) {
  SetMachine(kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
  SetMachine(kNativeEntry, "DisplayName", "Velmora");
  SetMachine(kLegacyEntry, "UninstallString", "E:\\Old\\Velmora\\uninstall.exe");
  ASSERT_TRUE(ProbeSystem());
  EXPECT_EQ(Context().TargetFolder, "E:\\Old\\Velmora\\");
  EXPECT_EQ(Context().LegacyUninstallKey, kLegacyEntry);
}

TEST_F(ProbeRegistry, AValueThatIsNotTextEndsTheProbeWithTheRegistryMessage) {
  struct Row {
    bool machine;
    const char* path;
    const char* name;
  } const rows[] = {
      {false, kShellFolders, "Programs"},       {false, kShellFolders, "Desktop"},
      {false, kShellFolders, "Startup"},        {true, kShellFolders, "Common Programs"},
      {true, kShellFolders, "Common Desktop"},  {true, kCurrentVersion, "ProgramFilesDir"},
  };
  for (bool cyrillic : {true, false}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.name) + (cyrillic ? ", Cyrillic" : ", other locale"));
      ClearHive(machine_.get());
      RegistryAccessor(kAccess).DeleteKey(std::string("\\") + kScratch + "\\User\\Software");
      SetUpSystem();
      SetNumber(row.machine ? machine_.get() : user_.get(), row.path, row.name);
      Context() = InstallContext{};
      Context().AppFileName = "Velmora";
      Context().DisplayName = "Вельмора";
      Context().DisplayNameCopy = "Velmora Suite";
      Context().CyrillicLocale = cyrillic;
      Context().Registry = std::make_unique<RegistryAccessor>(kAccess);
      g_shown.clear();

      EXPECT_FALSE(ProbeSystem());
      ASSERT_EQ(g_shown.size(), 1u);
      EXPECT_EQ(g_shown[0].extended, cyrillic);
      EXPECT_EQ(g_shown[0].text, cyrillic ? "Нет доступа к системному реестру" : "No access to system registry");
      EXPECT_EQ(g_shown[0].caption, cyrillic ? "Вельмора" : "Velmora Suite");
      EXPECT_EQ(g_shown[0].flags, kErrorFlags);
      // Nothing after the shell folders is set, and no key stays open.
      EXPECT_EQ(Context().MenuFolder, "");
      EXPECT_EQ(Context().TargetFolder, "");
      EXPECT_EQ(Context().UninstallKeyPrefix, "");
      EXPECT_EQ(Context().Registry->CurrentKey(), nullptr);
    }
  }
}

TEST_F(ProbeRegistry, RightsComeFromTheShellUnlessATestReplacesThem) {
  SetUpSystem();
  Context().IsAdmin = false;
  ASSERT_TRUE(ProbeSystem());
  EXPECT_TRUE(Context().IsAdmin);  // Wine always answers yes
  SetIsUserAnAdminForTesting(NotAdmin);
  ASSERT_TRUE(ProbeSystem());
  EXPECT_FALSE(Context().IsAdmin);
  EXPECT_EQ(Context().TargetFolder, "C:\\Program Files\\Velmora\\");  // the probe still completes
}

}  // namespace
}  // namespace velmora
