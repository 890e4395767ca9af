#pragma once
// The two texts the installer composes itself: the question asked on a non-Cyrillic locale and the
// report after a successful installation. Portable, so their exact bytes are checked natively.

#include <string>

namespace velmora {

// Caption of the question asked when the user's locale is not Cyrillic.
inline constexpr char kLocalePromptCaption[] = "Russian is not basic language on your computer!";

// The question: English around one Russian line that only a Cyrillic ANSI code page displays.
std::string ComposeLocalePrompt(const std::string& displayNameCopy);

// The final report, Russian on every locale; the desktop paragraph only when a shortcut was asked for.
std::string ComposeFinalMessage(const std::string& displayName, const std::string& versionText,
                                bool desktopShortcut);

}  // namespace velmora
