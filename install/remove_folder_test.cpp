#include "install/remove_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(file, "x", 1, &written, nullptr);
  CloseHandle(file);
}

std::string TempRoot() {
  char buffer[MAX_PATH];
  GetTempPathA(MAX_PATH, buffer);
  return buffer;
}

TEST(RemoveFolder, DeletesTheWholeTreeReadOnlyAndHiddenFilesIncluded) {
  const std::string root = TempRoot() + "velmora_remove_folder_test";
  for (const char* suffix : {"\\", ""}) {
    SCOPED_TRACE(std::string("path ends with \"") + suffix + "\"");
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((root + "\\Sub").c_str(), nullptr));
    WriteFile(root + "\\a.lnk");
    WriteFile(root + "\\Sub\\b.txt", FILE_ATTRIBUTE_HIDDEN);
    WriteFile(root + "\\c.txt", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(RemoveFolder(root + suffix));
    EXPECT_FALSE(Exists(root));
    EXPECT_TRUE(Exists(TempRoot()));
  }
}

TEST(RemoveFolder, MissingFolderOrFileIsFalseAndTouchesNothing) {
  const std::string root = TempRoot() + "velmora_remove_folder_missing";
  EXPECT_FALSE(RemoveFolder(root + "\\"));
  EXPECT_FALSE(RemoveFolder(""));
  WriteFile(root);
  EXPECT_FALSE(RemoveFolder(root));  // a file is not a folder
  EXPECT_TRUE(Exists(root));
  DeleteFileA(root.c_str());
}

}  // namespace
}  // namespace velmora
