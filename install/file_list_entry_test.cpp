#include "install/file_list_entry.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(FileListEntry, TheListOfThisBuildSplitsIntoNameExtensionAndTarget) {
  std::string list = "Velmora.exe;uninstall.exe;riched32.dll;";
  ASSERT_EQ(CountFileListEntries(list), 3);
  const std::string folder = "C:\\Program Files\\Velmora\\";
  struct Expected { const char* name; const char* extension; const char* target; const char* rest; } expected[] = {
      {"Velmora", "exe", "C:\\Program Files\\Velmora\\Velmora.exe", "uninstall.exe;riched32.dll;"},
      {"uninstall", "exe", "C:\\Program Files\\Velmora\\uninstall.exe", "riched32.dll;"},
      {"riched32", "dll", "C:\\Program Files\\Velmora\\riched32.dll", ""},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.name);
    const FileListEntry entry = TakeFileListEntry(list, folder);
    EXPECT_EQ(entry.name, e.name);
    EXPECT_EQ(entry.extension, e.extension);
    EXPECT_EQ(entry.target, e.target);
    EXPECT_EQ(list, e.rest);
  }
  EXPECT_EQ(CountFileListEntries(list), 0);
}

TEST(FileListEntry, OddEntries) {
  struct Case { const char* list; const char* name; const char* extension; const char* rest; } cases[] = {
      {"archive.tar.gz;", "archive.tar", "gz", ""},  // the last dot separates the extension
      {"README;x.dll;", "README", "", "x.dll;"},
      {"name.;", "name", "", ""},
      {"Velmora.EXE;", "Velmora", "EXE", ""},  // the case is kept
      {";a.b;", "", "", "a.b;"},
      {"tail.exe", "tail", "exe", ""},  // no ";" at all: the whole text
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    std::string list = c.list;
    const FileListEntry entry = TakeFileListEntry(list, "D:\\");
    EXPECT_EQ(entry.name, c.name);
    EXPECT_EQ(entry.extension, c.extension);
    EXPECT_EQ(list, c.rest);
  }
  EXPECT_EQ(CountFileListEntries(""), 0);
  EXPECT_EQ(CountFileListEntries("a;;b;"), 3);
}

}  // namespace
}  // namespace velmora
