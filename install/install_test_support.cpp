#include "install/install_test_support.h"

#include <shellapi.h>

#include <fstream>
#include <sstream>

#include "startup/cyrillic_locale.h"
#include "startup/install_context.h"

namespace velmora::testing {
namespace {

std::vector<MessageBoxRequest> g_shown;
int g_answer = IDOK;
void (*g_onShow)() = nullptr;

int Record(const MessageBoxRequest& request) {
  g_shown.push_back(request);
  if (g_onShow) g_onShow();
  return g_answer;
}

bool RemoveTree(const std::string& folder) {
  std::string from = folder;
  if (!from.empty() && from.back() == '\\') from.pop_back();
  from.push_back('\0');
  SHFILEOPSTRUCTA operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  return SHFileOperationA(&operation) == 0 && GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  path_ = std::string(temp) + name + "\\";
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { Remove(); }

bool ScratchFolder::Remove() {
  if (GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
  return RemoveTree(path_);
}

BoxRecorder::BoxRecorder(int answer) {
  g_shown.clear();
  g_answer = answer;
  g_onShow = nullptr;
  SetMessageBoxHookForTesting(Record);
}

BoxRecorder::~BoxRecorder() {
  SetMessageBoxHookForTesting(nullptr);
  g_onShow = nullptr;
}

const std::vector<MessageBoxRequest>& BoxRecorder::shown() const { return g_shown; }
void BoxRecorder::set_answer(int answer) { g_answer = answer; }
void BoxRecorder::set_on_show(void (*onShow)()) { g_onShow = onShow; }

void UseSystemLocale() {
  InstallContext& context = Context();
  context.CyrillicLocale = IsCyrillicLocaleId(GetUserDefaultLCID());
  context.AppFileName = "Velmora";
  context.DisplayName = "Velmora";
  context.DisplayNameCopy = "Velmora Copy";
  context.VersionText = "7700";
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ResourceBytes(const char* name, const char* type) {
  const HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, name, type);
  if (!found) return {};
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
  return std::string(bytes, SizeofResource(module, found));
}

}  // namespace velmora::testing
