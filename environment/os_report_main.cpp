// Test fixture: runs the start-up initialization under whatever Windows version Wine is told to
// report for this program, and writes what it found into the file named on the command line:
// the description, the 64-bit flag and the registry accessor's access mask, one per line.
#include <windows.h>

#include <cstdio>
#include <string>

#include "environment/os_identification.h"
#include "startup/install_context.h"
#include "startup/startup_init.h"
#include "startup/unique_handle.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  velmora::InitializeStartup();
  const velmora::InstallContext& context = velmora::Context();
  char mask[16];
  std::snprintf(mask, sizeof mask, "%lx", static_cast<unsigned long>(context.Registry->Access()));
  const std::string report = velmora::DescribeWindows() + "\n" + (context.Is64BitWindows ? "1" : "0") + "\n" +
                             mask + "\n";
  velmora::FinalizeStartup();

  velmora::scoped_handle file(
      CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file || !WriteFile(file.get(), report.data(), static_cast<DWORD>(report.size()), &written, nullptr))
    return 1;
  return 0;
}
