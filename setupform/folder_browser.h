#pragma once
// The shell's own folder dialog.

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace velmora {

// Shows the dialog titled `title`, rooted at `root` (the whole shell namespace when empty or when it
// cannot be parsed), with `path` selected first. `path` is emptied on entry unless it names an
// existing folder; on OK it receives the chosen folder's path (a drive root keeps its backslash,
// other folders come without one). Returns true on OK; false on Cancel or when the shell's
// allocator is not available.
bool BrowseForFolder(const std::string& title, const std::wstring& root, std::string& path, bool allowNewFolder,
                     bool includeFiles, bool showEditBox);

// The dialog's callback: once the dialog is up, selects the folder whose text `data` points at.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);

}  // namespace velmora
