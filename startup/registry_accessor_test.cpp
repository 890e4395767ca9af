#include "startup/registry_accessor.h"

#include <gtest/gtest.h>

#include "startup/win_error.h"

namespace velmora {
namespace {

constexpr REGSAM kAccess64 = KEY_ALL_ACCESS | KEY_WOW64_64KEY;

// A scratch key under HKCU that HKEY_LOCAL_MACHINE is redirected to for the test.
class ScratchRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              scratch_.receive(), nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch_.get()), ERROR_SUCCESS);
  }
  void TearDown() override {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    scratch_.reset();
    RegistryAccessor(KEY_ALL_ACCESS).DeleteKey(std::string("\\") + kScratch);
  }
  static bool KeyExists(const char* path) {
    scoped_hkey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.receive()) == ERROR_SUCCESS;
  }

  static constexpr char kScratch[] = "Software\\VelmoraRegistryTest";
  scoped_hkey scratch_;
};

TEST_F(ScratchRegistry, PathsResolveFromRootOrBeneathTheCurrentKey) {
  RegistryAccessor registry(KEY_ALL_ACCESS);
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(registry.OpenKey("A\\B", true));
  EXPECT_EQ(registry.CurrentPath(), "A\\B");
  // Setting the same root again keeps the key open: the next relative path lies beneath it.
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(registry.OpenKey("C", true));
  EXPECT_EQ(registry.CurrentPath(), "A\\B\\C");
  EXPECT_TRUE(KeyExists("A\\B\\C"));
  // A leading backslash starts from the root.
  ASSERT_TRUE(registry.OpenKey("\\A", false));
  EXPECT_EQ(registry.CurrentPath(), "A");
  // A failed open leaves the current key as it was.
  EXPECT_FALSE(registry.OpenKey("\\Missing", false));
  EXPECT_EQ(registry.CurrentPath(), "A");
  // A different root closes the key.
  registry.SetRootKey(HKEY_CURRENT_USER);
  EXPECT_EQ(registry.CurrentKey(), nullptr);
}

TEST_F(ScratchRegistry, ValuesAreWrittenAndReadWithTheirTypes) {
  RegistryAccessor registry(KEY_ALL_ACCESS);
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(registry.OpenKey("Values", true));
  registry.WriteString("Text", "C:\\Program Files\\Велмора");
  registry.WriteInteger("Number", -1);
  EXPECT_TRUE(registry.ValueExists("Text"));
  EXPECT_FALSE(registry.ValueExists("Missing"));
  EXPECT_EQ(registry.ReadString("Text"), "C:\\Program Files\\Велмора");
  EXPECT_EQ(registry.ReadString("Missing"), "");

  DWORD type = 0, size = 0;
  ASSERT_EQ(RegQueryValueExA(registry.CurrentKey(), "Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, sizeof("C:\\Program Files\\Велмора"));  // the terminating zero is stored
  DWORD number = 0;
  size = sizeof number;
  ASSERT_EQ(RegQueryValueExA(registry.CurrentKey(), "Number", nullptr, &type,
                             reinterpret_cast<BYTE*>(&number), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(number, 0xFFFFFFFFu);

  // Reading a number as text is an error; so is writing with no key open.
  EXPECT_THROW(registry.ReadString("Number"), WinError);
  registry.CloseKey();
  EXPECT_THROW(registry.WriteString("Text", "x"), WinError);
  EXPECT_THROW(registry.WriteInteger("Number", 1), WinError);
}

TEST_F(ScratchRegistry, ExpandableTextReadsAsText) {
  RegistryAccessor registry(KEY_ALL_ACCESS);
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(registry.OpenKey("Values", true));
  const char text[] = "%ProgramFiles%\\Velmora";
  ASSERT_EQ(RegSetValueExA(registry.CurrentKey(), "Expand", 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(text), sizeof text), ERROR_SUCCESS);
  EXPECT_EQ(registry.ReadString("Expand"), text);
}

TEST_F(ScratchRegistry, DeleteKeyRemovesTheWholeTreeAndValues) {
  RegistryAccessor registry(KEY_ALL_ACCESS);
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(registry.OpenKey("\\Parent\\Child\\Grandchild", true));
  registry.WriteString("v", "1");
  ASSERT_TRUE(registry.OpenKey("\\Parent\\Sibling", true));
  ASSERT_TRUE(registry.OpenKey("\\Parent", false));
  ASSERT_TRUE(registry.DeleteValue("none") == false);
  // Relative to the open key.
  EXPECT_TRUE(registry.DeleteKey("Child"));
  EXPECT_FALSE(KeyExists("Parent\\Child"));
  EXPECT_TRUE(KeyExists("Parent\\Sibling"));
  registry.CloseKey();
  EXPECT_TRUE(registry.DeleteKey("\\Parent"));
  EXPECT_FALSE(KeyExists("Parent"));
  EXPECT_FALSE(registry.DeleteKey("\\Parent"));
}

// The 64-bit view of a 64-bit system: a key written there is not seen through the 32-bit view.
TEST(RegistryViews, SixtyFourBitAccessWritesTheNativeView) {
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  if (!wow64) GTEST_SKIP() << "a 32-bit system has one view";
  const char* path = "\\Software\\VelmoraViewTest";
  RegistryAccessor registry64(kAccess64);
  registry64.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(registry64.OpenKey(path, true));
  registry64.WriteString("View", "64");
  registry64.CloseKey();

  scoped_hkey key;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path + 1, 0, KEY_READ | KEY_WOW64_64KEY, key.receive()),
            ERROR_SUCCESS);
  key.reset();
  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path + 1, 0, KEY_READ | KEY_WOW64_32KEY, key.receive()),
            ERROR_SUCCESS);

  EXPECT_TRUE(registry64.DeleteKey(path));
  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path + 1, 0, KEY_READ | KEY_WOW64_64KEY, key.receive()),
            ERROR_SUCCESS);
}

}  // namespace
}  // namespace velmora
