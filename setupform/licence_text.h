#pragma once
// The rich-edit control that shows the licence agreement, and the agreement's text.

#include <windows.h>

#include <string>

namespace velmora {

// Loads the rich-edit library from the system folder (never from the program's own folder, where a
// planted copy could sit) once per process; returns its ANSI window class, or null when it is missing.
const char* SystemRichEditClass();

// Empties the box and writes the agreement into it piece by piece, each piece in its own character
// format, with redrawing suspended meanwhile; leaves the caret at the start. `font` describes the
// form's font; `pathRule` is the target-path rule shown in red.
void BuildLicenceText(HWND richEdit, const LOGFONTA& font, const std::string& pathRule);

}  // namespace velmora
