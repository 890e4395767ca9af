#include "setupform/licence_text.h"

#include <richedit.h>

#include <cstring>

#include "startup/unique_handle.h"

namespace velmora {
namespace {

constexpr COLORREF kPureBlue = RGB(0, 0, 255);
constexpr COLORREF kPureRed = RGB(255, 0, 0);
constexpr UINT kCyrillicCodePage = 1251;

constexpr char kItalicParagraphs[] =
    "Если Вы устанавливаете, копируете данное программное обеспечение или используете его каким-либо "
    "иным образом, это означает, что Вы принимаете на себя обязательства, установленные настоящим "
    "лицензионным соглашением с конечным пользователем.\r\n"
    "Если Вы не согласны с условиями настоящего соглашения, Вы не имеете права устанавливать, "
    "копировать или каким-либо иным образом использовать данное программное обеспечение.\r\n";

constexpr char kFreeUseParagraphs[] =
    "Программа является бесплатной, распространяется свободно.\r\n"
    "Запрещается любая модификация программы, ведущая к невозможности её бесплатного использования.\r\n";

constexpr char kWarrantyParagraph[] =
    "Программа распространяется по принципу \"как есть\". Никаких гарантий, явных или подразумеваемых, "
    "не предоставляется. Вы используете программу на свой собственный риск. Ни автор, ни его "
    "уполномоченные представители не несут ответственности за потерю данных, повреждения, упущенную "
    "выгоду или любые другие потери, связанные с правильным или неправильным использованием программы "
    "или её последующих обновлений.";

// A character height in pixels, as a rich-edit height in twips at 96 pixels per inch.
LONG PixelsToTwips(LONG pixels) { return (pixels < 0 ? -pixels : pixels) * 1440 / 96; }

void SetCharacterFormat(HWND richEdit, const LOGFONTA& font, bool italic, COLORREF colour) {
  CHARFORMATA format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET | CFM_COLOR | CFM_ITALIC | CFM_BOLD | CFM_UNDERLINE |
                  CFM_STRIKEOUT;
  format.dwEffects = italic ? CFE_ITALIC : 0;
  format.yHeight = PixelsToTwips(font.lfHeight);
  format.crTextColor = colour;
  format.bCharSet = font.lfCharSet;
  format.bPitchAndFamily = font.lfPitchAndFamily;
  std::strncpy(format.szFaceName, font.lfFaceName, LF_FACESIZE - 1);
  SendMessageA(richEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

// Inserts at the caret. The text is handed over with its code page, so it reads right whatever the
// system's code page for non-Unicode programs is.
void InsertText(HWND richEdit, const char* text) {
  SETTEXTEX insertion{ST_SELECTION, kCyrillicCodePage};
  SendMessageA(richEdit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&insertion), reinterpret_cast<LPARAM>(text));
}

void InsertText(HWND richEdit, const std::string& text) { InsertText(richEdit, text.c_str()); }

void SetBullets(HWND richEdit) {
  PARAFORMAT paragraph{};
  paragraph.cbSize = sizeof(paragraph);
  paragraph.dwMask = PFM_NUMBERING;
  paragraph.wNumbering = PFN_BULLET;
  SendMessageA(richEdit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
}

}  // namespace

const char* SystemRichEditClass() {
  static const scoped_module library = [] {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return scoped_module();
    return scoped_module(LoadLibraryA((std::string(folder, length) + "\\riched32.dll").c_str()));
  }();
  return library ? RICHEDIT_CLASS10A : nullptr;
}

void BuildLicenceText(HWND richEdit, const LOGFONTA& font, const std::string& pathRule) {
  SendMessageA(richEdit, WM_SETREDRAW, FALSE, 0);
  SetWindowTextA(richEdit, "");

  SetCharacterFormat(richEdit, font, true, GetSysColor(COLOR_WINDOWTEXT));
  InsertText(richEdit, kItalicParagraphs);

  SetBullets(richEdit);
  SetCharacterFormat(richEdit, font, false, kPureBlue);
  InsertText(richEdit, kFreeUseParagraphs);

  SetCharacterFormat(richEdit, font, false, kPureRed);
  InsertText(richEdit, pathRule + ".\r\n");

  SetCharacterFormat(richEdit, font, false, kPureBlue);
  InsertText(richEdit, kWarrantyParagraph);

  SendMessageA(richEdit, EM_SETSEL, 0, 0);
  SendMessageA(richEdit, EM_SCROLLCARET, 0, 0);
  SendMessageA(richEdit, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(richEdit, nullptr, TRUE);
}

}  // namespace velmora
