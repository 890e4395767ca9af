// The helpers reach Vista-level registry calls that the product itself does without.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#include "tests/driver/test_support.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "startup/unique_handle.h"
#include "tests/driver/ui_driver.h"

namespace velmora::uitest {
namespace {

void RemoveTree(const std::wstring& path) {
  std::error_code ignored;
  if (!path.empty()) std::filesystem::remove_all(std::filesystem::path(path), ignored);
}

void DeleteRegistryTree(HKEY root, const std::wstring& path, REGSAM view) {
  scoped_hkey parent;
  const size_t slash = path.rfind(L'\\');
  if (RegOpenKeyExW(root, path.substr(0, slash).c_str(), 0, KEY_ALL_ACCESS | view, parent.receive()) != ERROR_SUCCESS)
    return;
  const std::wstring leaf = path.substr(slash + 1);
  scoped_hkey key;
  if (RegOpenKeyExW(parent.get(), leaf.c_str(), 0, KEY_ALL_ACCESS | view, key.receive()) != ERROR_SUCCESS) return;
  RegDeleteTreeW(key.get(), nullptr);
  key.reset();
  RegDeleteKeyExW(parent.get(), leaf.c_str(), view, 0);
}

}  // namespace

std::wstring BuildFile(const std::string& relative) {
  const char* build = std::getenv("VELMORA_BUILD_DIR");
  std::wstring path = L"Z:" + FromUtf8(std::string(build ? build : "") + "/" + relative);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return path;
}

std::wstring ProgramFilesFolder(REGSAM view) {
  return ReadRegistryString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir",
                            view)
      .value_or(L"");
}

void EndRunningApplication(DWORD timeoutMs) {
  // Bounded: a window whose process cannot be ended must not keep the helper looping.
  for (int i = 0; i < 16; ++i) {
    HWND window = FindWindowW(L"TVelmoraMainForm", nullptr);
    if (!window) return;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    scoped_handle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    PostMessageW(window, WM_QUIT, 0, 0);
    if (!process || WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) TerminateProcesses({processId});
  }
}

void ResetProductFootprint() {
  EndRunningApplication();
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey, view);
    const std::wstring programFiles = ProgramFilesFolder(view);
    if (!programFiles.empty()) RemoveTree(programFiles + L"\\Velmora");
  }
  for (int menu : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
    const std::wstring folder = ShellFolder(menu);
    if (!folder.empty()) RemoveTree(folder + L"\\Velmora");
  }
  for (int desktop : {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY}) {
    const std::wstring folder = ShellFolder(desktop);
    for (const std::wstring& name : FolderEntries(folder))
      if (name.rfind(L"Velmora", 0) == 0) DeleteFileW((folder + L"\\" + name).c_str());
  }
}

bool RegistryKeyExists(HKEY root, const std::wstring& path, REGSAM view) {
  scoped_hkey key;
  return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.receive()) == ERROR_SUCCESS;
}

std::optional<std::wstring> ReadRegistryString(HKEY root, const std::wstring& path, const std::wstring& name,
                                               REGSAM view) {
  scoped_hkey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.receive()) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  value.resize(wcsnlen(value.c_str(), size / sizeof(wchar_t)));
  return value;
}

std::optional<DWORD> ReadRegistryDword(HKEY root, const std::wstring& path, const std::wstring& name, REGSAM view) {
  scoped_hkey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.receive()) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD)
    return std::nullopt;
  return value;
}

std::string AsShownByAnsiApi(const std::string& utf8) {
  const std::wstring wide = FromUtf8(utf8);
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(1251, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(1251, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), size, nullptr, nullptr);
  const int shown = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring back(static_cast<size_t>(shown), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, back.data(), shown);
  return ToUtf8(back);
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
  std::vector<std::wstring> names;
  if (folder.empty()) return names;
  WIN32_FIND_DATAW data;
  scoped_find find(FindFirstFileW((folder + L"\\*").c_str(), &data));
  if (!find) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find.get(), &data));
  std::sort(names.begin(), names.end());
  return names;
}

ScratchFolder::ScratchFolder() {
  static int counter = 0;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + L"velmora-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++counter);
  RemoveTree(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

}  // namespace velmora::uitest
