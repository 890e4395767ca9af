#include "startup/registry_accessor.h"

#include <vector>

#include "startup/win_error.h"

namespace velmora {
namespace {

using RegDeleteKeyExAFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);

// RegDeleteKeyExA names the registry view; systems without it have only one view.
LONG DeleteOneKey(HKEY parent, const char* name, REGSAM access) {
  static const auto deleteKeyEx = reinterpret_cast<RegDeleteKeyExAFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA")));
  if (deleteKeyEx) return deleteKeyEx(parent, name, access & (KEY_WOW64_64KEY | KEY_WOW64_32KEY), 0);
  return RegDeleteKeyA(parent, name);
}

// The subkeys are listed before any is deleted, so a subkey that will not go away (another
// view, no rights) ends the walk instead of being enumerated again and again.
bool DeleteTree(HKEY parent, const std::string& name, REGSAM access) {
  {
    scoped_hkey key;
    if (RegOpenKeyExA(parent, name.c_str(), 0, access, key.receive()) != ERROR_SUCCESS) return false;
    std::vector<std::string> children;
    char child[256];
    for (DWORD index = 0;; ++index) {
      DWORD length = sizeof child;
      if (RegEnumKeyExA(key.get(), index, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      children.emplace_back(child, length);
    }
    for (const std::string& childName : children)
      if (!DeleteTree(key.get(), childName, access)) return false;
  }
  return DeleteOneKey(parent, name.c_str(), access) == ERROR_SUCCESS;
}

}  // namespace

void RegistryAccessor::SetRootKey(HKEY root) {
  if (root == root_) return;
  CloseKey();
  root_ = root;
}

HKEY RegistryAccessor::BaseKeyFor(const std::string& path, std::string& relative) const {
  if (!path.empty() && path.front() == '\\') {
    relative = path.substr(1);
    return root_;
  }
  relative = path;
  return current_ ? current_.get() : root_;
}

bool RegistryAccessor::OpenKey(const std::string& path, bool create) {
  std::string relative;
  HKEY base = BaseKeyFor(path, relative);
  scoped_hkey opened;
  LONG status;
  if (create) {
    status = RegCreateKeyExA(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr,
                             opened.receive(), nullptr);
  } else {
    status = RegOpenKeyExA(base, relative.c_str(), 0, access_, opened.receive());
  }
  if (status != ERROR_SUCCESS) return false;

  std::string newPath = (base == root_) ? relative : currentPath_ + "\\" + relative;
  current_ = std::move(opened);
  currentPath_ = std::move(newPath);
  return true;
}

void RegistryAccessor::CloseKey() {
  current_.reset();
  currentPath_.clear();
}

bool RegistryAccessor::ValueExists(const std::string& name) const {
  if (!current_) return false;
  return RegQueryValueExA(current_.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string RegistryAccessor::ReadString(const std::string& name) const {
  if (!current_) return {};
  DWORD type = 0, size = 0;
  LONG status = RegQueryValueExA(current_.get(), name.c_str(), nullptr, &type, nullptr, &size);
  if (status == ERROR_FILE_NOT_FOUND) return {};
  if (status != ERROR_SUCCESS) throw WinError{"read registry value", static_cast<DWORD>(status)};
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw WinError{"read registry value", ERROR_INVALID_DATATYPE};

  std::string text(size, '\0');
  status = RegQueryValueExA(current_.get(), name.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(text.data()), &size);
  if (status != ERROR_SUCCESS) throw WinError{"read registry value", static_cast<DWORD>(status)};
  text.resize(size);
  // The stored text may or may not carry its terminating zero; the string ends at the first one.
  if (auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
  return text;
}

void RegistryAccessor::WriteString(const std::string& name, const std::string& text) {
  LONG status = current_ ? RegSetValueExA(current_.get(), name.c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(text.c_str()),
                                          static_cast<DWORD>(text.size() + 1))
                         : static_cast<LONG>(ERROR_INVALID_HANDLE);
  if (status != ERROR_SUCCESS) throw WinError{"write registry value", static_cast<DWORD>(status)};
}

void RegistryAccessor::WriteInteger(const std::string& name, int32_t value) {
  DWORD data = static_cast<DWORD>(value);
  LONG status = current_ ? RegSetValueExA(current_.get(), name.c_str(), 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&data), sizeof data)
                         : static_cast<LONG>(ERROR_INVALID_HANDLE);
  if (status != ERROR_SUCCESS) throw WinError{"write registry value", static_cast<DWORD>(status)};
}

bool RegistryAccessor::DeleteKey(const std::string& path) {
  std::string relative;
  HKEY base = BaseKeyFor(path, relative);
  if (relative.empty()) return false;  // never the base key itself
  return DeleteTree(base, relative, access_);
}

bool RegistryAccessor::DeleteValue(const std::string& name) {
  return current_ && RegDeleteValueA(current_.get(), name.c_str()) == ERROR_SUCCESS;
}

}  // namespace velmora
