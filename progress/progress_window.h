#pragma once
// A small always-on-top window on a thread of its own: a caption, one line of text and a progress bar.
// All six operations are called from the main thread; they work before the thread exists too.

#include <string>

namespace velmora {

void ShowProgress(const std::string& title, const std::string& text);
void SetProgressTitle(const std::string& title);
void SetProgressText(const std::string& text);
void SetProgressMax(int max);
void SetProgressPosition(int position);
void HideProgress();

}  // namespace velmora
