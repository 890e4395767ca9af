#pragma once
// Helpers shared by the tests that run the built programs: where the built files are, a clean
// prefix before each run, and wide-API looks at the registry and the file system (wide, so
// Cyrillic names read the same under every locale).

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace velmora::uitest {

// A file of the build tree (VELMORA_BUILD_DIR, a Unix path) as Wine sees it: "Z:\...".
// `relative` uses forward slashes, e.g. "resources/VelmoraSetup.exe".
std::wstring BuildFile(const std::string& relative);

// The product's key in the list of installed programs, relative to HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora";

// Removes what an installation leaves: the Uninstall key in both registry views, the Velmora
// folders under both Program Files folders and both Programs menus, Velmora shortcuts on both
// desktops. Ends a running application first.
void ResetProductFootprint();

// Posts WM_QUIT to every main window of the application and waits up to `timeoutMs` for each
// process to end; terminates what is still running then.
void EndRunningApplication(DWORD timeoutMs = 5000);

// A shell folder (CSIDL_...) without a trailing backslash; empty when unknown.
std::wstring ShellFolder(int csidl);
// The Program Files folder the way the registry names it in the given view (KEY_WOW64_64KEY/32KEY).
std::wstring ProgramFilesFolder(REGSAM view);

// Registry reads; `view` is KEY_WOW64_64KEY or KEY_WOW64_32KEY. Missing keys and values give false/nullopt.
bool RegistryKeyExists(HKEY root, const std::wstring& path, REGSAM view);
std::optional<std::wstring> ReadRegistryString(HKEY root, const std::wstring& path, const std::wstring& name,
                                               REGSAM view);
std::optional<DWORD> ReadRegistryDword(HKEY root, const std::wstring& path, const std::wstring& name, REGSAM view);

// How a product text (UTF-8 here) reads on screen: the product hands it to the ANSI functions as
// code page 1251 bytes, which the system decodes with its own ANSI code page. Identity on a
// Cyrillic system; Latin-1 look-alikes elsewhere.
std::string AsShownByAnsiApi(const std::string& utf8);

bool PathExists(const std::wstring& path);
// Names in a folder (no "." and ".."), sorted; empty when the folder is missing.
std::vector<std::wstring> FolderEntries(const std::wstring& folder);

// A fresh folder under %TEMP%, removed with its content when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::wstring& Path() const { return path_; }  // no trailing backslash

 private:
  std::wstring path_;
};

}  // namespace velmora::uitest
