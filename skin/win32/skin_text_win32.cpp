#include "skin/win32/skin_text_win32.h"

#include <string>

#include "platform/win32/unique.h"

namespace {

struct FontFamilyTraits {
  using Handle = Gdiplus::GpFontFamily*;
  static Handle Empty() { return nullptr; }
  static void Free(Handle h) { Gdiplus::DllExports::GdipDeleteFontFamily(h); }
};

// The name of GDI+'s generic sans-serif family. The C++ wrapper's own accessor keeps a
// process-wide object that is never freed, so the flat API is used and its family freed.
std::wstring GenericSansSerifName() {
  Unique<FontFamilyTraits> family;
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

void SkinText::SetAlignment(Gdiplus::StringAlignment alignment, Gdiplus::StringAlignment lineAlignment) {
  format_.SetAlignment(alignment);
  format_.SetLineAlignment(lineAlignment);
}

void SkinText::SetFont(const wchar_t* family, float emSize, int style, int unit) {
  font_.reset();
  font_ = CreateSkinFont(family, emSize, style, unit);
}

void SkinText::DrawWindowText(Gdiplus::Graphics& graphics, HWND window, const Gdiplus::Brush& brush,
                              const Gdiplus::RectF& layout) const {
  int length = ::GetWindowTextLengthW(window);
  if (length <= 0 || !font_) return;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  length = ::GetWindowTextW(window, text.data(), length + 1);
  if (length <= 0) return;
  graphics.DrawString(text.c_str(), length, font_.get(), layout, &format_, &brush);
}
