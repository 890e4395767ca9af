#include "environment/registration_paths.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(CutUninstallStringToFolder, KeepsUpToTheLastBackslashBeforeTheLastCharacter) {
  struct Row {
    const char* value;
    std::optional<std::string> folder;
  } const rows[] = {
      {"D:\\Apps\\Velmora\\uninstall.exe", "D:\\Apps\\Velmora\\"},
      {"C:\\A\\B\\", "C:\\A\\"},
      {"C:\\A\\B\\\\", "C:\\A\\B\\"},
      {"C:\\x", "C:\\"},
      {"\\\\", "\\"},
      {"C:\\Программы\\Вельмора\\uninstall.exe", "C:\\Программы\\Вельмора\\"},
      {"uninstall.exe", std::nullopt},
      {"C:\\", std::nullopt},
      {"\\", std::nullopt},
      {"", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(CutUninstallStringToFolder(row.value), row.folder);
  }
}

TEST(Wow6432NodePath, InsertsTheNodeAfterTheFirstBackslash) {
  EXPECT_EQ(Wow6432NodePath("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"),
            "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\");
  EXPECT_EQ(Wow6432NodePath("Software\\"), "Software\\WOW6432Node\\");
  EXPECT_EQ(Wow6432NodePath("\\Software"), "\\WOW6432Node\\Software");
  EXPECT_EQ(Wow6432NodePath("Software"), "WOW6432Node\\Software");
  EXPECT_EQ(Wow6432NodePath(""), "WOW6432Node\\");
}

}  // namespace
}  // namespace velmora
