#pragma once
// The one registry accessor of a process: a root key, an access mask used for every key it opens
// (KEY_WOW64_64KEY included on a 64-bit Windows) and at most one open key, the current key.

#include <windows.h>

#include <cstdint>
#include <string>

#include "startup/unique_handle.h"

namespace velmora {

class RegistryAccessor {
 public:
  explicit RegistryAccessor(REGSAM access) : access_(access) {}

  REGSAM Access() const { return access_; }
  HKEY RootKey() const { return root_; }
  HKEY CurrentKey() const { return current_.get(); }
  const std::string& CurrentPath() const { return currentPath_; }

  // A different root closes the current key; the same root changes nothing.
  void SetRootKey(HKEY root);

  // A path beginning with a backslash is taken from the root, any other beneath the current key
  // (or the root when none is open). With create, missing keys are made. On success the key
  // becomes the current key and the previous one is closed; on failure nothing changes.
  bool OpenKey(const std::string& path, bool create);
  void CloseKey();

  // On the current key. A missing value is a normal result: ValueExists false, ReadString empty.
  bool ValueExists(const std::string& name) const;
  // Accepts REG_SZ and REG_EXPAND_SZ; any other type, or a refused read, throws WinError.
  std::string ReadString(const std::string& name) const;

  // Throw WinError when no key is open or the write is refused. Strings keep their terminating zero.
  void WriteString(const std::string& name, const std::string& text);
  void WriteInteger(const std::string& name, int32_t value);

  // Deletes a key with all its subkeys; the path resolves as for OpenKey.
  bool DeleteKey(const std::string& path);
  bool DeleteValue(const std::string& name);

 private:
  // The parent handle and the relative path that a path argument names.
  HKEY BaseKeyFor(const std::string& path, std::string& relative) const;

  REGSAM access_;
  HKEY root_ = HKEY_CURRENT_USER;
  scoped_hkey current_;
  std::string currentPath_;
};

}  // namespace velmora
