#include "skin/win32/skin_text_win32.h"

#include <algorithm>
#include <string>

#include "platform/win32/unique.h"

namespace {

// The name of GDI+'s generic sans-serif family. The C++ wrapper's own accessor keeps a
// process-wide object that is never freed, so the flat API is used and its family freed.
std::wstring GenericSansSerifName() {
  Unique<HandleTraits<Gdiplus::GpFontFamily*, Gdiplus::DllExports::GdipDeleteFontFamily>> family;
  if (Gdiplus::DllExports::GdipGetGenericFontFamilySansSerif(family.put()) != Gdiplus::Ok || !family) return {};
  wchar_t name[LF_FACESIZE] = {};
  if (Gdiplus::DllExports::GdipGetFamilyName(family.get(), name, LANG_NEUTRAL) != Gdiplus::Ok) return {};
  return name;
}

std::unique_ptr<Gdiplus::Font> MakeFont(const wchar_t* family, float emSize, int style, int unit) {
  auto font = std::make_unique<Gdiplus::Font>(family, emSize, style, static_cast<Gdiplus::Unit>(unit), nullptr);
  if (font->GetLastStatus() != Gdiplus::Ok || !font->IsAvailable()) return nullptr;
  return font;
}

// True when GDI+ lays out right to left as asked: "near" then puts a short text against
// the right edge of a wide rectangle.
bool HonoursRightToLeft(const Gdiplus::Font* font) {
  if (font == nullptr) return true;
  Gdiplus::Bitmap surface(1, 1, PixelFormat32bppPARGB);
  Gdiplus::Graphics graphics(&surface);
  Gdiplus::StringFormat format;
  format.SetFormatFlags(Gdiplus::StringFormatFlagsDirectionRightToLeft);
  format.SetAlignment(Gdiplus::StringAlignmentNear);
  const Gdiplus::RectF wide(0.0f, 0.0f, 1000.0f, 100.0f);
  Gdiplus::RectF box;
  if (graphics.MeasureString(L"x", 1, font, wide, &format, &box) != Gdiplus::Ok) return true;
  return box.X > wide.Width / 2;
}

Gdiplus::StringAlignment Mirrored(Gdiplus::StringAlignment alignment) {
  if (alignment == Gdiplus::StringAlignmentNear) return Gdiplus::StringAlignmentFar;
  if (alignment == Gdiplus::StringAlignmentFar) return Gdiplus::StringAlignmentNear;
  return alignment;
}

}  // namespace

std::unique_ptr<Gdiplus::Font> CreateSkinFont(const wchar_t* family, float emSize, int style, int unit) {
  // mingw's wrapper, unlike the system's, reports FontFamilyNotFound and keeps no font.
  if (auto font = MakeFont(family, emSize, style, unit)) return font;
  std::wstring fallback = GenericSansSerifName();
  if (fallback.empty()) return nullptr;
  return MakeFont(fallback.c_str(), emSize, style, unit);
}

SkinText::SkinText() : font_(CreateSkinFont(L"Arial", 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel)) {
  SetAlignment(Gdiplus::StringAlignmentCenter, Gdiplus::StringAlignmentCenter);
}

SkinText::~SkinText() = default;

Gdiplus::StringAlignment StringAlignmentOf(TextAlignment alignment) {
  switch (alignment) {
    case TextAlignment::kCenter: return Gdiplus::StringAlignmentCenter;
    case TextAlignment::kFar: return Gdiplus::StringAlignmentFar;
    case TextAlignment::kNear:
    case TextAlignment::kNotSet: break;
  }
  return Gdiplus::StringAlignmentNear;
}

void SkinText::SetAlignment(Gdiplus::StringAlignment alignment, Gdiplus::StringAlignment lineAlignment) {
  alignment_ = alignment;
  format_.SetLineAlignment(lineAlignment);
  ApplyAlignment();
}

void SkinText::SetRightToLeft(bool rightToLeft) {
  mirrorAlignment_ = rightToLeft && !HonoursRightToLeft(font_.get());
  const INT others = format_.GetFormatFlags() & ~Gdiplus::StringFormatFlagsDirectionRightToLeft;
  format_.SetFormatFlags(rightToLeft ? others | Gdiplus::StringFormatFlagsDirectionRightToLeft : others);
  ApplyAlignment();
}

void SkinText::ApplyAlignment() {
  format_.SetAlignment(mirrorAlignment_ ? Mirrored(alignment_) : alignment_);
  Forget();
}

void SkinText::SetFont(const wchar_t* family, float emSize, int style, int unit) {
  font_.reset();
  Forget();
  font_ = CreateSkinFont(family, emSize, style, unit);
}

void SkinText::ReleaseFont() {
  font_.reset();
  Forget();
}

void SkinText::Forget() {
  rendered_.Reset();
  renderedText_.clear();
}

void SkinText::DrawWindowText(Gdiplus::Graphics& graphics, HWND window, const Gdiplus::SolidBrush& brush,
                              const Gdiplus::RectF& layout) {
  int length = ::GetWindowTextLengthW(window);
  if (length <= 0 || !font_) return;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  length = ::GetWindowTextW(window, text.data(), length + 1);
  if (length <= 0) return;
  text.resize(static_cast<size_t>(length));
  const int width = static_cast<int>(layout.Width), height = static_cast<int>(layout.Height);
  Gdiplus::Color colour;
  brush.GetColor(&colour);
  const bool same = rendered_ && renderedText_ == text && renderedColour_ == colour.GetValue() &&
                    rendered_.width() == width && rendered_.height() == height;
  HDC target = nullptr;
  if ((same || Render(graphics, text, brush, width, height)) && (target = graphics.GetHDC()) != nullptr) {
    // Laid out and rendered once; drawn again by blending its pixels, which costs far less.
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const int x = static_cast<int>(layout.X) + inked_.left, y = static_cast<int>(layout.Y) + inked_.top;
    const int w = inked_.right - inked_.left, h = inked_.bottom - inked_.top;
    const BOOL blended =
        w <= 0 || ::GdiAlphaBlend(target, x, y, w, h, rendered_.dc(), inked_.left, inked_.top, w, h, blend);
    graphics.ReleaseHDC(target);
    if (blended) return;
  }
  graphics.DrawString(text.c_str(), length, font_.get(), layout, &format_, &brush);
}

// Renders the text onto transparent pixels of the layout's size, as `like` draws it.
bool SkinText::Render(const Gdiplus::Graphics& like, const std::wstring& text, const Gdiplus::SolidBrush& brush,
                      int width, int height) {
  Forget();
  if (width <= 0 || height <= 0 || !rendered_.Create(width, height, false)) return false;
  Gdiplus::Graphics surface(rendered_.dc());
  surface.SetTextRenderingHint(like.GetTextRenderingHint());
  const Gdiplus::RectF all(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height));
  if (surface.DrawString(text.c_str(), static_cast<INT>(text.size()), font_.get(), all, &format_, &brush) !=
      Gdiplus::Ok) {
    rendered_.Reset();
    return false;
  }
  surface.Flush(Gdiplus::FlushIntentionSync);
  ::GdiFlush();
  // Only the part with ink on it is blended when drawn.
  inked_ = RECT{width, height, 0, 0};
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = rendered_.pixels() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (int x = 0; x < width; ++x) {
      if (row[x] == 0) continue;
      inked_ = RECT{std::min<LONG>(inked_.left, x), std::min<LONG>(inked_.top, y), std::max<LONG>(inked_.right, x + 1),
                    std::max<LONG>(inked_.bottom, y + 1)};
    }
  }
  Gdiplus::Color colour;
  brush.GetColor(&colour);
  renderedText_ = text;
  renderedColour_ = colour.GetValue();
  return true;
}
