#include "uninstaller/program_folder_guard.h"

#include <gtest/gtest.h>

#include "environment/registration_paths.h"

namespace velmora {
namespace {

constexpr char kDefault[] = "C:\\Program Files\\Velmora";

struct Row {
  const char* name;
  const char* uninstallString;
  const char* expected;
};

// The registered value goes through the same cut as in the uninstaller's probe.
TEST(ProgramFolderGuard, OnlyAPlausibleProductFolderReplacesTheDefault) {
  const Row rows[] = {
      {"registered folder", "D:\\Apps\\Velmora\\uninstall.exe", "D:\\Apps\\Velmora\\"},
      {"word in any case", "D:\\VELMORA 2\\uninstall.exe", "D:\\VELMORA 2\\"},
      {"word inside a longer name", "E:\\MyVelmoraCopy\\uninstall.exe", "E:\\MyVelmoraCopy\\"},
      {"value ending in a backslash", "C:\\Velmora\\B\\", "C:\\Velmora\\"},
      {"network share folder", "\\\\server\\share\\Velmora\\uninstall.exe", "\\\\server\\share\\Velmora\\"},
      {"drive root", "C:\\uninstall.exe", kDefault},
      {"drive root named after the product", "C:\\Velmora.exe", kDefault},
      {"share root", "\\\\velmora\\share\\uninstall.exe", kDefault},
      {"no product word", "C:\\Windows\\uninstall.exe", kDefault},
      {"cut leaves a folder without the word", "C:\\A\\Velmora\\", kDefault},
      {"no backslash", "uninstall.exe", kDefault},
      {"only a last backslash", "Velmora\\", kDefault},
      {"empty", "", kDefault},
      {"relative folder", "Velmora\\uninstall.exe", kDefault},
      {"drive-relative folder", "C:Velmora\\uninstall.exe", kDefault},
      {"rooted without a drive", "\\Velmora\\uninstall.exe", kDefault},
      {"climbs out of the product folder", "C:\\Velmora\\..\\Windows\\uninstall.exe", kDefault},
      {"empty part", "C:\\\\Velmora\\uninstall.exe", kDefault},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string folder = CutUninstallStringToFolder(row.uninstallString).value_or(std::string());
    EXPECT_EQ(ChooseProgramFolder(folder, kDefault, "velmora"), row.expected);
  }
}

}  // namespace
}  // namespace velmora
