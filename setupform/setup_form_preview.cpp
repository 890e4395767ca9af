// Shows the setup form with the product's constants and a sample target folder, for a look at it.
// With the argument "settings" it accepts the licence and opens the second page by itself.
#include <windows.h>

#include <cstring>
#include <thread>

#include "setupform/setup_form.h"
#include "setupform/setup_form_ids.h"
#include "startup/install_context.h"
#include "startup/product_constants.h"

namespace {

void OpenSettingsPage() {
  HWND form = nullptr;
  for (int i = 0; i < 600 && !form; ++i) {
    Sleep(50);
    form = FindWindowA(velmora::kSetupFormClass, nullptr);
  }
  if (!form) return;
  Sleep(500);
  HWND panel = GetDlgItem(form, velmora::kBottomPanelId);
  SendMessageA(GetDlgItem(form, velmora::kLicenceCheckBoxId), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(panel, velmora::kNextBitBtnId), BM_CLICK, 0, 0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  velmora::InstallContext& context = velmora::Context();
  context.DisplayName = velmora::kProductTitle;
  context.DisplayNameCopy = velmora::kProductTitle;
  context.VersionText = velmora::kVersionText;
  context.TargetFolder = "C:\\Program Files\\Velmora\\";
  std::thread driver;
  if (std::strstr(commandLine, "settings")) driver = std::thread(OpenSettingsPage);
  velmora::ShowSetupForm();
  if (driver.joinable()) driver.join();
  return context.InstallConfirmed ? 0 : 1;
}
