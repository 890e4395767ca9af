#include "setupform/folder_browser.h"

#include <ole2.h>
#include <shlobj.h>

#include "startup/unique_handle.h"

namespace velmora {
namespace {

bool IsExistingFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Memory handed out by the shell's allocator, given back to it.
class ShellMemory {
 public:
  explicit ShellMemory(IMalloc* allocator, void* block = nullptr) : allocator_(allocator), block_(block) {}
  ~ShellMemory() {
    if (block_) allocator_->Free(block_);
  }
  ShellMemory(const ShellMemory&) = delete;
  ShellMemory& operator=(const ShellMemory&) = delete;
  void* get() const { return block_; }
  void** receive() { return &block_; }

 private:
  IMalloc* allocator_;
  void* block_;
};

}  // namespace

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED) SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
  return 0;
}

bool BrowseForFolder(const std::string& title, const std::wstring& root, std::string& path, bool allowNewFolder,
                     bool includeFiles, bool showEditBox) {
  if (!IsExistingFolder(path)) path.clear();

  BROWSEINFOA info{};
  com_ptr<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.receive())) || !allocator) return false;

  ShellMemory name(allocator.get(), allocator->Alloc(MAX_PATH));
  if (!name.get()) return false;
  static_cast<char*>(name.get())[0] = '\0';

  com_ptr<IShellFolder> desktop;
  ShellMemory rootList(allocator.get());
  if (!root.empty() && SUCCEEDED(SHGetDesktopFolder(desktop.receive())) && desktop) {
    std::wstring parsable = root;  // ParseDisplayName takes a writable string
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, parsable.data(), nullptr,
                                         reinterpret_cast<LPITEMIDLIST*>(rootList.receive()), nullptr)))
      *rootList.receive() = nullptr;
  }

  // Every call, as the dialog's new style needs OLE on this thread; deliberately left initialized.
  OleInitialize(nullptr);

  info.hwndOwner = nullptr;
  info.pidlRoot = static_cast<LPCITEMIDLIST>(rootList.get());
  info.pszDisplayName = static_cast<char*>(name.get());
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  if (showEditBox) info.ulFlags |= BIF_EDITBOX;
  if (!allowNewFolder) info.ulFlags |= BIF_NONEWFOLDERBUTTON;
  if (includeFiles) info.ulFlags |= BIF_BROWSEINCLUDEFILES;
  info.lpfn = BrowseCallback;
  info.lParam = path.empty() ? 0 : reinterpret_cast<LPARAM>(path.c_str());
  info.iImage = 0;

  ShellMemory chosen(allocator.get(), SHBrowseForFolderA(&info));
  if (!chosen.get()) return false;
  char* buffer = static_cast<char*>(name.get());
  if (!SHGetPathFromIDListA(static_cast<LPCITEMIDLIST>(chosen.get()), buffer)) buffer[0] = '\0';
  path = buffer;
  return true;
}

}  // namespace velmora
