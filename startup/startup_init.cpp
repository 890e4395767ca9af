#include "startup/startup_init.h"

#include <windows.h>

#include <cstdlib>

#include "environment/os_identification.h"
#include "startup/cyrillic_locale.h"
#include "startup/install_context.h"

namespace velmora {

void InitializeStartup() {
  InstallContext& context = Context();
  std::srand(GetTickCount());
  const LCID locale = GetUserDefaultLCID();
  context.VersionMajor = -1;
  context.VersionMinor = -1;
  context.CyrillicLocale = IsCyrillicLocaleId(locale);
  DescribeWindows();
  const REGSAM access = context.Is64BitWindows ? (KEY_ALL_ACCESS | KEY_WOW64_64KEY) : KEY_ALL_ACCESS;
  context.Registry = std::make_unique<RegistryAccessor>(access);
}

void FinalizeStartup() { Context() = InstallContext{}; }

}  // namespace velmora
