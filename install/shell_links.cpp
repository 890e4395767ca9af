#include "install/shell_links.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <vector>

#include "startup/unique_handle.h"

namespace velmora {

bool CreateShellLink(const std::string& target, const std::string& linkFile, const std::string& arguments,
                     int iconIndex, const std::string& description) {
  com_ptr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.receive_void())))
    return false;
  com_ptr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.receive_void()))) return false;

  // The shell may refuse single properties (a target that does not exist yet, for one); the link
  // is still worth saving, so only the save decides.
  const std::string::size_type lastBackslash = target.rfind('\\');
  const std::string workingFolder =
      lastBackslash == std::string::npos ? std::string() : target.substr(0, lastBackslash + 1);
  link->SetPath(target.c_str());
  link->SetWorkingDirectory(workingFolder.c_str());
  link->SetDescription(description.c_str());
  link->SetArguments(arguments.c_str());
  link->SetShowCmd(SW_SHOW);
  link->SetIconLocation(target.c_str(), iconIndex);

  // IPersistFile takes only wide names; ours are in the ANSI code page.
  const int length = MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, nullptr, 0);
  if (length <= 0) return false;
  std::vector<wchar_t> wideName(length);
  MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wideName.data(), length);
  return SUCCEEDED(file->Save(wideName.data(), TRUE));
}

void WriteInternetShortcut(const std::string& file, const std::string& address) {
  scoped_handle handle(
      CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return;
  const std::string content = "[InternetShortcut]\r\nURL=" + address + "\r\n";
  DWORD written = 0;
  WriteFile(handle.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}

}  // namespace velmora
