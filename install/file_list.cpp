#include "install/file_list.h"

#include <windows.h>

#include "install/file_list_entry.h"
#include "install/payload_file.h"
#include "progress/progress_window.h"
#include "startup/install_context.h"
#include "startup/messages.h"

namespace velmora {
namespace {

constexpr DWORD kFileWaitStep = 128;  // milliseconds between looks
constexpr int kFileWaitLooks = 64;

FileWaitSleepHook g_sleep = nullptr;

void SleepStep() {
  if (g_sleep)
    g_sleep(kFileWaitStep);
  else
    Sleep(kFileWaitStep);
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The payload step reports its own failures; here the pass only makes sure the file is there,
// looking for it a fixed number of times before it tells the user.
void WaitForFile(const FileListEntry& entry) {
  for (int tries = 0;;) {
    SleepStep();
    if (++tries > kFileWaitLooks) {
      const std::string file = entry.name + "." + entry.extension;
      ShowErrorMessage("Can't install file " + file, "Не удается установить файл " + file);
      return;
    }
    if (FileExists(entry.target)) return;
  }
}

}  // namespace

void SetFileWaitSleepHookForTesting(FileWaitSleepHook hook) { g_sleep = hook; }

bool InstallFileList() {
  InstallContext& context = Context();
  const int count = CountFileListEntries(context.FileList);
  if (count == 0) return false;

  const std::string title = context.CyrillicLocale
                                ? "Установка файлов " + context.DisplayName + " " + context.VersionText
                                : context.DisplayNameCopy + " " + context.VersionText + " files copying...";
  ShowProgress(title, "");
  SetProgressPosition(0);
  SetProgressMax(count);

  for (int k = 1; k <= count; ++k) {
    std::string rest = context.FileList;
    const FileListEntry entry = TakeFileListEntry(rest, context.TargetFolder);
    SetProgressText(entry.target);
    InstallPayloadFile(entry.name, entry.extension, entry.target, true);
    SetProgressPosition(k);
    WaitForFile(entry);
    context.FileList = rest;
  }
  HideProgress();
  return true;
}

}  // namespace velmora
