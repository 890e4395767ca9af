#include "startup/program_flow.h"

#include <ole2.h>

#include "environment/system_probe.h"
#include "install/installation_driver.h"
#include "integrity/verify_package.h"
#include "setupform/setup_form.h"
#include "startup/install_context.h"
#include "startup/installer_texts.h"
#include "startup/locale_prompt.h"
#include "startup/messages.h"
#include "startup/product_constants.h"

namespace velmora {
namespace {

void FillProductConstants(InstallContext& context) {
  context.AppFileName = kAppFileName;
  context.DisplayName = kProductTitle;
  context.DisplayNameCopy = context.DisplayName;
  context.ProductNameRu = kProductNameRu;
  context.ProductNameEn = kProductNameEn;
  context.VersionText = kVersionText;
  context.VersionMajor = kVersionMajor;
  context.VersionMinor = kVersionMinor;
}

// COM for the main thread: the folder browser and the shell links need it.
class OleScope {
 public:
  OleScope() : initialized_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleScope() {
    if (initialized_) OleUninitialize();
  }
  OleScope(const OleScope&) = delete;
  OleScope& operator=(const OleScope&) = delete;

 private:
  bool initialized_;
};

}  // namespace

bool RunStartupChecks() {
  InstallContext& context = Context();
  FillProductConstants(context);
  if (!VerifyPackage()) return false;
  if (!ProbeSystem()) return false;
  if (!context.IsAdmin) {
    ShowErrorMessage("You have no right to install applications!", "У Вас нет права устанавливать программы!");
    return false;
  }
  AskRunningApplicationToQuit();
  return ConfirmRussianLanguageProgram();
}

void CompleteInstallation() {
  InstallContext& context = Context();
  if (!context.InstallConfirmed) return;
  context.Registry->CloseKey();
  context.FileList = context.AppFileName + ".exe;uninstall.exe;" + "riched32.dll;";
  if (!RunInstallation(context.DesktopShortcut)) return;

  ShowMessageBox({true, ComposeFinalMessage(context.DisplayName, context.VersionText, context.DesktopShortcut),
                  context.DisplayName, kFinalMessageFlags, kRussianLanguage});
  if (!context.RunAfterInstall) return;
  StartInstalledApplication();
  BringInstalledApplicationToFront();
}

void RunInstaller() {
  OleScope ole;
  if (!RunStartupChecks()) return;
  ShowSetupForm();
  CompleteInstallation();
}

}  // namespace velmora
