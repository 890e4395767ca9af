#pragma once
// The batch script that deletes the program folder after the uninstaller has ended: it waits,
// deletes the listed files, waits again, removes the folder and finally deletes itself.

#include <string>
#include <vector>

namespace velmora {

inline constexpr char kRemovalScriptName[] = "brevik_unin.cmd";

// The script's bytes: lines ended by CR LF, no byte-order mark. `files` are full paths and
// `folder` the program folder (with or without its trailing backslash), all in the code page the
// command interpreter reads, which is the OEM one.
std::string ComposeRemovalScript(const std::vector<std::string>& files, const std::string& folder);

}  // namespace velmora
