#pragma once

namespace velmora {

// Writes every carried file named in Context().FileList into the target folder, with the progress
// window showing each; consumes the list. False when the list is empty.
bool InstallFileList();

}  // namespace velmora
