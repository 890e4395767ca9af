#pragma once
// Shared by the engine's Wine tests: a scratch folder, recorded message boxes, the user's locale.

#include <windows.h>

#include <string>
#include <vector>

#include "startup/messages.h"

namespace velmora::testing {

// A fresh folder under Temp, removed again at the end; its path ends with a backslash.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }
  // False when something in it could not be removed (a leaked handle, say).
  bool Remove();

 private:
  std::string path_;
};

// Every message box shown while a recorder is alive, answered with `answer`.
class BoxRecorder {
 public:
  explicit BoxRecorder(int answer = IDOK);
  ~BoxRecorder();
  const std::vector<MessageBoxRequest>& shown() const;
  void set_answer(int answer);
  // Called while a box is up, before it is answered.
  void set_on_show(void (*onShow)());
};

// Sets the context's locale flag and titles as start-up would on this system's locale.
void UseSystemLocale();

bool FileExists(const std::string& path);
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
// The bytes of one of this program's own resources.
std::string ResourceBytes(const char* name, const char* type);

}  // namespace velmora::testing
