#include "install/payload_file.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "install/version_text.h"
#include "progress/progress_window.h"
#include "startup/install_context.h"
#include "startup/messages.h"
#include "startup/unique_handle.h"
#include "startup/win_error.h"

namespace velmora {
namespace {

constexpr UINT kQuestionFlags = MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL | MB_TOPMOST;  // 0x42024

// The carried file's bytes, copied out of the module; the resource is released on every path.
class PayloadResource {
 public:
  PayloadResource(const std::string& name, const std::string& kind) {
    const HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name.c_str(), kind.c_str());
    if (!found) return;
    loaded_ = LoadResource(module, found);
    const void* bytes = loaded_ ? LockResource(loaded_) : nullptr;
    if (!bytes) return;
    const DWORD size = SizeofResource(module, found);
    bytes_.assign(static_cast<const char*>(bytes), static_cast<const char*>(bytes) + size);
    found_ = true;
  }
  ~PayloadResource() {
    if (loaded_) FreeResource(loaded_);
  }
  PayloadResource(const PayloadResource&) = delete;
  PayloadResource& operator=(const PayloadResource&) = delete;

  bool Found() const { return found_; }
  const std::vector<char>& Bytes() const { return bytes_; }

 private:
  HGLOBAL loaded_ = nullptr;
  std::vector<char> bytes_;
  bool found_ = false;
};

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates or replaces the file with the bytes. Throws WinError.
void WriteWholeFile(const std::string& path, const std::vector<char>& bytes) {
  scoped_handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
  if (!file) ThrowLastError("create payload file");
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
      ThrowLastError("write payload file");
    done += written;
  }
}

void AppendHex4(std::string& text, unsigned value) {
  static const char digits[] = "0123456789abcdef";
  for (int shift = 12; shift >= 0; shift -= 4) text += digits[(value >> shift) & 0xF];
}

bool AskToReplaceWithOlder(const std::string& target, const std::string& installedVersion,
                           const std::string& newVersion) {
  MessageBoxRequest request{};
  request.flags = kQuestionFlags;
  if (Context().CyrillicLocale) {
    request.extended = true;
    request.language = kRussianLanguage;
    request.caption = "Резонный вопрос";
    request.text = "Устанавливаемый файл " + target + "\r\n" + "более старой версии, чем уже установленный.\r\n\r\n" +
                   "Действительно ли Вы хотите заменить уже имеющийся\r\n" + "файл версии " + installedVersion +
                   " на более старый версии " + newVersion + "?";
  } else {
    request.extended = false;
    request.caption = "Sound question";
    request.text = target + " file installing is of older version\r\n" + "than the same already installed.\r\n\r\n" +
                   "Do you really want to replace existing\r\n" + "new file version " + installedVersion +
                   " with an older file version " + newVersion + "?";
  }
  return ShowMessageBox(request) == IDYES;
}

void ReportFailure(const std::string& target) {
  ShowErrorMessage("Can't install file " + target, "Не удается установить файл " + target);
}

}  // namespace

std::string GetFileVersionText(const std::string& path) {
  SHFILEINFOA info{};
  static_assert(sizeof info == 352);
  if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_EXETYPE)) return {};
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<char> block(size, 0);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return {};

  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) || length < 4) return {};
  WORD translation[2];
  std::memcpy(translation, value, sizeof translation);

  std::string subBlock = "\\StringFileInfo\\";
  AppendHex4(subBlock, translation[0]);
  AppendHex4(subBlock, translation[1]);
  subBlock += "\\FileVersion";
  if (!VerQueryValueA(block.data(), subBlock.c_str(), &value, &length) || !value) return {};
  // The text ends at its zero, looked for inside the block only.
  const char* text = static_cast<const char*>(value);
  const char* blockEnd = block.data() + block.size();
  if (text < block.data() || text >= blockEnd) return {};
  return std::string(text, std::find(text, blockEnd, '\0'));
}

void InstallPayloadFile(const std::string& resourceName, const std::string& kind, const std::string& targetPath,
                        bool guarded) {
  try {
    const PayloadResource payload(resourceName, kind);
    // The file list and the resources are built together; a missing one is reported like any
    // other file that cannot be installed, and nothing is written.
    if (!payload.Found()) {
      ReportFailure(targetPath);
      return;
    }
    bool older = false;
    if (!guarded || !FileExists(targetPath) || kind != "exe") {
      WriteWholeFile(targetPath, payload.Bytes());
    } else {
      const std::string temporary = MakeTempFileName(targetPath);
      WriteWholeFile(temporary, payload.Bytes());
      const std::string newVersion = GetFileVersionText(temporary);
      const std::string installedVersion = GetFileVersionText(targetPath);
      older = !installedVersion.empty() && newVersion != installedVersion &&
              IsOlderVersion(newVersion, installedVersion);
      bool replace = true;
      if (older) {
        HideProgress();
        replace = AskToReplaceWithOlder(targetPath, installedVersion, newVersion);
        if (!replace) DeleteFileA(temporary.c_str());
      }
      if (replace) {
        if (!DeleteFileA(targetPath.c_str())) ThrowLastError("delete installed file");
        if (!MoveFileA(temporary.c_str(), targetPath.c_str())) ThrowLastError("rename new file");
      }
    }
    if (older) ShowProgress("", "");
  } catch (const WinError&) {
    ReportFailure(targetPath);
  } catch (const std::exception&) {  // the copy in memory could not be made
    ReportFailure(targetPath);
  }
}

}  // namespace velmora
