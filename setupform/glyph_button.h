#pragma once
// Push buttons with a small picture beside the caption, drawn by their owner. The picture's
// bottom-left pixel gives the colour that is left transparent.

#include <windows.h>

#include "setupform/gdi_handles.h"

namespace velmora {

class Glyph {
 public:
  Glyph() = default;
  // A bitmap resource holding `count` square images side by side: the normal one first, the
  // disabled one second. With a single image the disabled look is made from it.
  Glyph(const char* resourceName, int count);

  // Draws the normal or the disabled image with its top-left corner at (left, top).
  void Draw(HDC dc, int left, int top, bool enabled) const;
  int size() const { return size_; }
  explicit operator bool() const { return static_cast<bool>(normal_); }

 private:
  scoped_gdi normal_;
  scoped_gdi disabled_;
  int size_ = 0;
};

enum class GlyphPlace { kLeftOfCaption, kRightOfCaption };

// Paints a BS_OWNERDRAW button: frame, caption and glyph; `isDefault` draws the default frame.
void DrawGlyphButton(const DRAWITEMSTRUCT& item, const Glyph& glyph, GlyphPlace place, bool isDefault);

// Draws a bitmap with its bottom-left pixel's colour left out.
void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int left, int top);

}  // namespace velmora
