#pragma once
// Text rules for an earlier registration in the system's Uninstall list, shared by the installer's
// and the uninstaller's probes.

#include <optional>
#include <string>

namespace velmora {

// The folder of an "UninstallString": the value up to and including the last backslash before its
// last character (the last character itself is never examined, so C:\A\B\ gives C:\A\). None when
// no such backslash exists.
std::optional<std::string> CutUninstallStringToFolder(const std::string& uninstallString);

// The 32-bit view's copy of a relative HKLM path: "WOW6432Node" inserted after the first
// backslash, so Software\Microsoft\... becomes Software\WOW6432Node\Microsoft\... A path without
// a backslash gets the node in front.
std::string Wow6432NodePath(const std::string& path);

}  // namespace velmora
