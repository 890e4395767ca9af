#pragma once

namespace velmora {

// Writes every carried file named in Context().FileList into the target folder, with the progress
// window showing each; consumes the list. False when the list is empty.
bool InstallFileList();

// Tests take the place of the 128 ms sleeps of the wait for each file (null restores Sleep).
using FileWaitSleepHook = void (*)(unsigned long milliseconds);
void SetFileWaitSleepHookForTesting(FileWaitSleepHook hook);

}  // namespace velmora
