#include "uninstaller/removal_script.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(RemovalScript, ListsEveryFileBetweenTheWaitsThenRemovesTheFolderAndItself) {
  const std::string script = ComposeRemovalScript(
      {"C:\\Program Files\\Velmora\\Velmora.exe", "C:\\Program Files\\Velmora\\uninstall.exe"},
      "C:\\Program Files\\Velmora\\");
  EXPECT_EQ(script,
            "@echo off\r\n"
            "ping 127.0.0.1 -n 3 > nul || ping ::1 -n 3 > nul\r\n"
            "del \"C:\\Program Files\\Velmora\\Velmora.exe\"\r\n"
            "del \"C:\\Program Files\\Velmora\\uninstall.exe\"\r\n"
            "ping 127.0.0.1 -n 3 > nul || ping ::1 -n 3 > nul\r\n"
            "rd \"C:\\Program Files\\Velmora\"\r\n"
            "del brevik_unin.cmd\r\n");
}

TEST(RemovalScript, EmptyFolderStillGetsBothWaitsAndTheRemoval) {
  const std::string script = ComposeRemovalScript({}, "D:\\Velmora");
  EXPECT_EQ(script,
            "@echo off\r\n"
            "ping 127.0.0.1 -n 3 > nul || ping ::1 -n 3 > nul\r\n"
            "ping 127.0.0.1 -n 3 > nul || ping ::1 -n 3 > nul\r\n"
            "rd \"D:\\Velmora\"\r\n"
            "del brevik_unin.cmd\r\n");
}

TEST(RemovalScript, PercentSignsAreDoubledAndOtherBytesPassUnchanged) {
  // \x8f\xa0\xaf\xaa\xa0 is a Cyrillic word in the OEM code page; the script keeps such bytes as given.
  const std::string folder = "C:\\100% Velmora & ^co!\x8f\xa0\xaf\xaa\xa0\\";
  const std::string script = ComposeRemovalScript({folder + "%TEMP%.txt"}, folder);
  EXPECT_NE(script.find("del \"C:\\100%% Velmora & ^co!\x8f\xa0\xaf\xaa\xa0\\%%TEMP%%.txt\"\r\n"),
            std::string::npos);
  EXPECT_NE(script.find("rd \"C:\\100%% Velmora & ^co!\x8f\xa0\xaf\xaa\xa0\"\r\n"), std::string::npos);
}

TEST(RemovalScript, HasNoByteOrderMarkAndNoBareLineFeed) {
  const std::string script = ComposeRemovalScript({"C:\\Velmora\\a"}, "C:\\Velmora\\");
  EXPECT_EQ(script.rfind("@echo off", 0), 0u);
  for (size_t i = 0; i < script.size(); ++i) {
    if (script[i] == '\n') {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(script[i - 1], '\r') << "at " << i;
    }
  }
}

}  // namespace
}  // namespace velmora
