#include "setupform/glyph_button.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

constexpr int kGlyphSpacing = 4;  // between picture and caption

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectA(bitmap, sizeof(info), &info);
  return {info.bmWidth, info.bmHeight};
}

// A 32-bit copy of one image of a strip, optionally turned into a pale grey version of itself.
HBITMAP CopyImage(HBITMAP strip, int index, int size, bool grey) {
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = size;
  format.bmiHeader.biHeight = -size;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP copy = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!copy) return nullptr;
  scoped_memory_dc source(CreateCompatibleDC(nullptr));
  scoped_memory_dc target(CreateCompatibleDC(nullptr));
  {
    scoped_select fromStrip(source.get(), strip);
    scoped_select toCopy(target.get(), copy);
    BitBlt(target.get(), 0, 0, size, size, source.get(), index * size, 0, SRCCOPY);
  }
  GdiFlush();
  if (grey) {
    auto* pixels = static_cast<DWORD*>(bits);
    const DWORD key = pixels[(size - 1) * size] & 0xFFFFFF;  // bottom-left, top-down rows
    for (int i = 0; i < size * size; ++i) {
      const DWORD pixel = pixels[i] & 0xFFFFFF;
      if (pixel == key) continue;
      const int luminance = (GetRValue(pixel) * 30 + GetGValue(pixel) * 59 + GetBValue(pixel) * 11) / 100;
      const BYTE pale = static_cast<BYTE>(128 + luminance / 2);
      pixels[i] = RGB(pale, pale, pale);
    }
  }
  return copy;
}

}  // namespace

Glyph::Glyph(const char* resourceName, int count) {
  scoped_gdi strip(LoadImageA(GetModuleHandleA(nullptr), resourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!strip || count < 1) return;
  const SIZE stripSize = BitmapSize(static_cast<HBITMAP>(strip.get()));
  size_ = stripSize.cx / count;
  auto* bitmap = static_cast<HBITMAP>(strip.get());
  normal_.reset(CopyImage(bitmap, 0, size_, false));
  disabled_.reset(count > 1 ? CopyImage(bitmap, 1, size_, false) : CopyImage(bitmap, 0, size_, true));
}

void Glyph::Draw(HDC dc, int left, int top, bool enabled) const {
  const auto& image = enabled ? normal_ : disabled_;
  if (image) DrawTransparentBitmap(dc, static_cast<HBITMAP>(image.get()), left, top);
}

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int left, int top) {
  const SIZE size = BitmapSize(bitmap);
  scoped_memory_dc source(CreateCompatibleDC(dc));
  scoped_select select(source.get(), bitmap);
  const COLORREF key = GetPixel(source.get(), 0, size.cy - 1);
  TransparentBlt(dc, left, top, size.cx, size.cy, source.get(), 0, 0, size.cx, size.cy, key);
}

void DrawGlyphButton(const DRAWITEMSTRUCT& item, const Glyph& glyph, GlyphPlace place, bool isDefault) {
  HDC dc = item.hDC;
  RECT frame = item.rcItem;
  const bool pushed = item.itemState & ODS_SELECTED;
  const bool enabled = !(item.itemState & ODS_DISABLED);

  RECT content = frame;
  HTHEME theme = IsAppThemed() ? OpenThemeData(item.hwndItem, L"BUTTON") : nullptr;
  if (theme) {
    const int state = !enabled ? PBS_DISABLED : pushed ? PBS_PRESSED : isDefault ? PBS_DEFAULTED : PBS_NORMAL;
    DrawThemeParentBackground(item.hwndItem, dc, &frame);
    DrawThemeBackground(theme, dc, BP_PUSHBUTTON, state, &frame, nullptr);
    GetThemeBackgroundContentRect(theme, dc, BP_PUSHBUTTON, state, &frame, &content);
    CloseThemeData(theme);
  } else {
    FillRect(dc, &frame, GetSysColorBrush(COLOR_BTNFACE));
    if (isDefault) {
      FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWFRAME));
      InflateRect(&frame, -1, -1);
    }
    DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED | DFCS_FLAT : 0));
    if (pushed) FrameRect(dc, &frame, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(&content, -3, -3);
  }

  const int length = GetWindowTextLengthW(item.hwndItem);
  std::wstring caption(length + 1, L'\0');
  GetWindowTextW(item.hwndItem, caption.data(), length + 1);
  caption.resize(length);

  HFONT font = reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
  scoped_select selectFont(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  RECT textSize{0, 0, 0, 0};
  DrawTextW(dc, caption.c_str(), length, &textSize, DT_CALCRECT | DT_SINGLELINE);
  const int textWidth = textSize.right - textSize.left;
  const int textHeight = textSize.bottom - textSize.top;
  const int glyphWidth = glyph ? glyph.size() : 0;
  const int gap = glyph && length > 0 ? kGlyphSpacing : 0;
  const int total = glyphWidth + gap + textWidth;

  const int shift = pushed && !theme ? 1 : 0;
  const int left = (item.rcItem.left + item.rcItem.right - total) / 2 + shift;
  const int middle = (item.rcItem.top + item.rcItem.bottom) / 2 + shift;
  const int glyphLeft = place == GlyphPlace::kLeftOfCaption ? left : left + textWidth + gap;
  const int textLeft = place == GlyphPlace::kLeftOfCaption ? left + glyphWidth + gap : left;

  if (glyph) glyph.Draw(dc, glyphLeft, middle - glyph.size() / 2, enabled);

  RECT textRect{textLeft, middle - textHeight / 2, textLeft + textWidth, middle - textHeight / 2 + textHeight};
  SetBkMode(dc, TRANSPARENT);
  if (enabled) {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), length, &textRect, DT_SINGLELINE);
  } else {
    // The classic engraved look of a disabled caption.
    RECT highlight = textRect;
    OffsetRect(&highlight, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(dc, caption.c_str(), length, &highlight, DT_SINGLELINE);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, caption.c_str(), length, &textRect, DT_SINGLELINE);
  }

  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = content;
    if (!theme) InflateRect(&focus, -1, -1);
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace velmora
