#include "install/uninstall_entry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "install/install_test_support.h"
#include "startup/install_context.h"
#include "startup/win_error.h"

namespace velmora {
namespace {

using testing::ScratchFolder;

constexpr REGSAM kView64 = KEY_WOW64_64KEY;
constexpr char kPrefix[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kLegacyPrefix[] = "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kName[] = "VelmoraEntryTest";

struct Value {
  std::string name;
  DWORD type;
  std::string text;  // REG_SZ without its zero
  DWORD number;      // REG_DWORD
  DWORD size;
};

// The values of a key in the 64-bit view, in the order the registry enumerates them.
std::vector<Value> ReadValues(const std::string& path) {
  std::vector<Value> values;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | kView64, &key) != ERROR_SUCCESS) return values;
  for (DWORD index = 0;; ++index) {
    char name[256];
    BYTE data[1024];
    DWORD nameLength = sizeof name, size = sizeof data, type = 0;
    if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    Value value{name, type, "", 0, size};
    if (type == REG_SZ && size > 0) value.text.assign(reinterpret_cast<char*>(data), size - 1);
    if (type == REG_DWORD && size == 4) memcpy(&value.number, data, 4);
    values.push_back(value);
  }
  RegCloseKey(key);
  return values;
}

const Value* Find(const std::vector<Value>& values, const std::string& name) {
  for (const Value& value : values)
    if (value.name == name) return &value;
  return nullptr;
}

// Windows enumerates values in the order they were written; some registries sort them by name.
bool RegistryKeepsWriteOrder() {
  const std::string probe = "Software\\VelmoraOrderProbe";
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, probe.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const DWORD one = 1;
  RegSetValueExA(key, "b", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  RegSetValueExA(key, "a", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  char first[8] = {};
  DWORD length = sizeof first;
  RegEnumValueA(key, 0, first, &length, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  RegDeleteKeyA(HKEY_CURRENT_USER, probe.c_str());
  return std::string(first) == "b";
}

bool KeyExists(const std::string& path, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void DeleteTree(const std::string& path, REGSAM view) {
  RegistryAccessor registry(KEY_ALL_ACCESS | view);
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  registry.DeleteKey("\\" + path);
}

class UninstallEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    if (!wow64) GTEST_SKIP() << "the registry views exist on a 64-bit system only";
    testing::UseSystemLocale();
    InstallContext& context = Context();
    context.AppFileName = kName;
    context.UninstallKeyPrefix = kPrefix;
    context.TargetFolder = "C:\\Program Files\\Velmora\\";
    context.VersionMajor = 7700;
    context.VersionMinor = 0;
    context.Registry = std::make_unique<RegistryAccessor>(KEY_ALL_ACCESS | kView64);
    DeleteTree(key_, kView64);
    DeleteTree(legacyKey_, kView64);
  }
  void TearDown() override {
    Context() = InstallContext{};
    DeleteTree(key_, kView64);
    DeleteTree(legacyKey_, kView64);
    EXPECT_TRUE(folder_.Remove());
  }

  const std::string key_ = std::string(kPrefix) + kName;
  const std::string legacyKey_ = std::string(kLegacyPrefix) + kName;
  ScratchFolder folder_{"VelmoraSizeTest"};
};

TEST_F(UninstallEntry, ValuesOneToFourteenInTheNativeView) {
  WriteUninstallEntry();
  EXPECT_EQ(Context().Registry->CurrentPath(), key_);  // left open for the finish
  Context().Registry->CloseKey();

  const bool russian = Context().CyrillicLocale;
  const std::string help = "https://velmora.ru/" + std::string(kName) + ".htm";
  const std::vector<Value> expected = {
      {"DisplayName", REG_SZ, russian ? "Velmora" : "Velmora Copy", 0, 0},
      {"UninstallString", REG_SZ, "C:\\Program Files\\Velmora\\uninstall.exe", 0, 0},
      {"DisplayIcon", REG_SZ, "C:\\Program Files\\Velmora\\" + std::string(kName) + ".exe", 0, 0},
      {"DisplayVersion", REG_SZ, "7700", 0, 0},
      {"VersionMajor", REG_DWORD, "", 7700, 0},
      {"VersionMinor", REG_DWORD, "", 0, 0},
      {"InstallLocation", REG_SZ, "C:\\Program Files\\Velmora", 0, 0},
      {"InstallDate", REG_SZ, GetInstallDateText(), 0, 0},
      {"Publisher", REG_SZ, russian ? "Бревик" : "Brevik", 0, 0},
      {"URLInfoAbout", REG_SZ, "https://velmora.ru", 0, 0},
      {"HelpLink", REG_SZ, help, 0, 0},
      {"URLUpdateInfo", REG_SZ, help, 0, 0},
      {"NoModify", REG_DWORD, "", 1, 0},
      {"NoRepair", REG_DWORD, "", 1, 0},
  };
  const std::vector<Value> values = ReadValues(key_);
  ASSERT_EQ(values.size(), expected.size());
  for (const Value& want : expected) {
    SCOPED_TRACE(want.name);
    const Value* got = Find(values, want.name);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->type, want.type);
    EXPECT_EQ(got->text, want.text);
    EXPECT_EQ(got->number, want.number);
    if (want.type == REG_SZ) {
      EXPECT_EQ(got->size, want.text.size() + 1);  // the terminating zero is stored
    }
  }
  if (RegistryKeepsWriteOrder()) {
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(values[i].name, expected[i].name) << "position " << i;
    }
  } else {
    std::printf("note: this registry enumerates values by name; the write order cannot be seen here\n");
  }
  EXPECT_EQ(GetInstallDateText().size(), 8u);
  EXPECT_FALSE(KeyExists(key_, KEY_WOW64_32KEY));
}

TEST_F(UninstallEntry, UnsetVersionNumbersAreLeftOut) {
  Context().VersionMajor = -1;
  Context().VersionMinor = -1;
  WriteUninstallEntry();
  Context().Registry->CloseKey();
  std::vector<std::string> names;
  for (const Value& value : ReadValues(key_)) names.push_back(value.name);
  std::vector<std::string> expected = {"DisplayName", "UninstallString", "DisplayIcon", "DisplayVersion",
                                       "InstallLocation", "InstallDate", "Publisher", "URLInfoAbout",
                                       "HelpLink", "URLUpdateInfo", "NoModify", "NoRepair"};
  if (!RegistryKeepsWriteOrder()) {
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
  }
  EXPECT_EQ(names, expected);
}

TEST_F(UninstallEntry, FinishWritesTheSizeClosesTheKeyAndDeletesTheLegacyEntry) {
  testing::WriteWholeFile(folder_ / "a.bin", std::string(1000, 'a'));
  testing::WriteWholeFile(folder_ / "b.bin", std::string(2000, 'b'));
  testing::WriteWholeFile(folder_ / "c.bin", std::string(100, 'c'));
  Context().TargetFolder = folder_.path();
  Context().LegacyUninstallKey = legacyKey_;
  RegistryAccessor setup(KEY_ALL_ACCESS | kView64);
  setup.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(setup.OpenKey("\\" + legacyKey_ + "\\Child", true));
  setup.CloseKey();
  ASSERT_TRUE(KeyExists(legacyKey_, KEY_WOW64_32KEY));

  WriteUninstallEntry();
  FinishUninstallEntry();

  EXPECT_EQ(Context().Registry->CurrentKey(), nullptr);
  const std::vector<Value> values = ReadValues(key_);
  ASSERT_EQ(values.size(), 15u);
  const Value* size = Find(values, "EstimatedSize");
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(size->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size->number, 3u);
  if (RegistryKeepsWriteOrder()) {
    EXPECT_EQ(values.back().name, "EstimatedSize");
  }
  EXPECT_FALSE(KeyExists(legacyKey_, kView64));
  EXPECT_TRUE(KeyExists(key_, kView64));
}

TEST_F(UninstallEntry, FinishWithoutLegacyEntryDeletesNothingAndAMissingFolderHasNoSize) {
  RegistryAccessor setup(KEY_ALL_ACCESS | kView64);
  setup.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(setup.OpenKey("\\" + legacyKey_, true));
  setup.CloseKey();
  Context().TargetFolder = folder_ / "missing\\";

  WriteUninstallEntry();
  FinishUninstallEntry();

  EXPECT_TRUE(KeyExists(legacyKey_, kView64));
  const std::vector<Value> values = ReadValues(key_);
  EXPECT_EQ(values.size(), 14u);
  EXPECT_EQ(Find(values, "EstimatedSize"), nullptr);
}

TEST_F(UninstallEntry, WriteFailureIsRaised) {
  // A key that cannot be opened leaves nothing to write to.
  Context().UninstallKeyPrefix = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\bad\\\\";
  Context().Registry = std::make_unique<RegistryAccessor>(KEY_READ | kView64);
  EXPECT_THROW(WriteUninstallEntry(), WinError);
}

TEST_F(UninstallEntry, FolderSizeWalksTheWholeTree) {
  EXPECT_EQ(GetFolderSizeKiB(""), -1);
  EXPECT_EQ(GetFolderSizeKiB(folder_ / "missing"), -1);
  EXPECT_EQ(GetFolderSizeKiB(folder_.path()), 0);
  testing::WriteWholeFile(folder_ / "plain.txt", "x");
  EXPECT_EQ(GetFolderSizeKiB(folder_ / "plain.txt"), -1);  // a file is no folder

  ASSERT_TRUE(CreateDirectoryA((folder_ / "sub").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder_ / "sub\\deeper").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder_ / "other").c_str(), nullptr));
  testing::WriteWholeFile(folder_ / "sub\\one.bin", std::string(1024, '1'));
  testing::WriteWholeFile(folder_ / "sub\\deeper\\two.bin", std::string(2048, '2'));
  testing::WriteWholeFile(folder_ / "other\\hidden.bin", std::string(1023, 'h'));
  SetFileAttributesA((folder_ / "other\\hidden.bin").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  // 1 + 1024 + 2048 + 1023 bytes = 4096 = 4 KiB, with or without the trailing backslash.
  EXPECT_EQ(GetFolderSizeKiB(folder_.path()), 4);
  EXPECT_EQ(GetFolderSizeKiB(folder_ / "sub"), 3);
  SetFileAttributesA((folder_ / "other\\hidden.bin").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace velmora
