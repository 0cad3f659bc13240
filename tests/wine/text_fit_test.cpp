// Every text of every language in Update.ini fits its control: laid out with the face, em
// size, rectangle and string format the window's layout picks, at both scales and at 96
// and 144 dpi, measured with GDI+, and drawn with glyphs the face holds.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/status_message.h"
#include "app/window_layout.h"
#include "platform/win32/gdi_owners.h"
#include "platform/win32/profile_strings_win32.h"
#include "skin/localized_text.h"
#include "skin/win32/gdiplus_win32.h"
#include "skin/win32/skin_text_win32.h"

namespace {

// The file under test: the shipped one, or the one TBTFW_FIT_INI names (a copy with one
// text made too long shows that the test fails).
std::u16string IniPath() {
  const wchar_t* other = _wgetenv(L"TBTFW_FIT_INI");
  std::wstring path = (other != nullptr && *other != L'\0') ? other : TBTFW_SHIPPED_INI;
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;  // a Unix path, on the drive of the root
  return {path.begin(), path.end()};
}

const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// Each language section with the first language id that names it in section "Language".
std::map<std::wstring, std::uint16_t> LanguageSections(const std::u16string& ini) {
  std::vector<wchar_t> entries(65536);
  ::GetPrivateProfileSectionW(L"Language", entries.data(), static_cast<DWORD>(entries.size()), Wide(ini));
  std::map<std::wstring, std::uint16_t> sections;
  for (const wchar_t* entry = entries.data(); *entry != L'\0'; entry += std::wcslen(entry) + 1) {
    const wchar_t* equals = std::wcschr(entry, L'=');
    if (equals == nullptr) continue;
    const auto id = static_cast<std::uint16_t>(std::wcstoul(entry, nullptr, 16));
    sections.emplace(equals + 1, id);  // the first id wins
  }
  return sections;
}

// A text as the window shows it in `control`.
struct Shown {
  const ControlLayout* control;
  std::u16string text;
  std::u16string what;  // key or status, for the failure message
};

const ControlLayout& Control(int id) {
  for (const ControlLayout& c : kWindowLayout) {
    if (c.id == id) return c;
  }
  return kWindowLayout[0];
}

// The texts the layout puts in its controls, then the messages an update run shows.
std::vector<Shown> TextsShown(ProfileStrings& profile, const std::u16string& ini, std::uint16_t language) {
  std::vector<Shown> shown;
  std::array<char16_t, kTextCapacity> text{};
  for (const ControlLayout& c : kWindowLayout) {
    if (c.textKey == nullptr) continue;
    LoadLocalizedTextFrom(profile, ini, language, c.textKey, text.data(), text.size());
    shown.push_back({&c, text.data(), c.textKey});
  }
  LoadLocalizedTextFrom(profile, ini, language, u"IDS_FIND_NO_HVK", text.data(), text.size());
  shown.push_back({&Control(kIdMessage), text.data(), u"IDS_FIND_NO_HVK"});
  const TextLookup lookup = [&](const char16_t* key, char16_t* buffer, std::size_t capacity) {
    LoadLocalizedTextFrom(profile, ini, language, key, buffer, capacity);
  };
  for (StatusCode status : {kSuccess, TBFW_E_NO_PROVIDER, TBFW_E_DOWNGRADE, TBFW_E_FIELD_MISMATCH}) {
    FormatStatusMessage(status, lookup, text.data(), text.size());
    shown.push_back({&Control(kIdMessage), text.data(), StatusMessageKey(status)});
  }
  return shown;
}

// The faces a text in `language` can be drawn with: on a system of its own language and
// on systems of every other face row whose faces hold its script.
std::set<std::pair<std::u16string, int>> FacesFor(const ControlLayout& c, std::uint16_t language) {
  std::set<std::pair<std::u16string, int>> faces;
  for (std::uint16_t system : {language, std::uint16_t{0x0409}, std::uint16_t{0x0404}, std::uint16_t{0x0411},
                               std::uint16_t{0x0412}, std::uint16_t{0x0401}}) {
    const FontFaces f = ChooseTextFaces(system, language);
    if (c.face == TextFace::kButton) faces.emplace(f.buttonFace, f.buttonStyle);
    else faces.emplace(f.panelFace, f.panelStyle);
  }
  return faces;
}

// The characters of `text` that `face` has no glyph for.
std::u16string Missing(const std::u16string& face, int style, const std::u16string& text) {
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  UniqueGdiObject font(::CreateFontW(-32, 0, 0, 0, style == Gdiplus::FontStyleBold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                     FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH, Wide(face)));
  if (!dc || !font) return u"(no font)";
  Selection selected(dc.get(), font.get());
  std::vector<WORD> glyphs(text.size());
  ::GetGlyphIndicesW(dc.get(), Wide(text), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  std::u16string missing;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (glyphs[i] == 0xFFFF) missing += text[i];
  }
  return missing;
}

TEST(TextFit, EveryTextFitsItsControlInEveryLanguage) {
  const std::u16string ini = IniPath();
  const auto sections = LanguageSections(ini);
  ASSERT_GE(sections.size(), 16u) << "languages in " << std::string(ini.begin(), ini.end());
  Win32ProfileStrings profile;
  for (const auto& [section, language] : sections) {
    const std::string name(section.begin(), section.end());
    const bool rightToLeft = ReadsRightToLeft(language);
    for (const Shown& s : TextsShown(profile, ini, language)) {
      const std::string what = name + " " + std::string(s.what.begin(), s.what.end());
      ASSERT_FALSE(s.text.empty()) << what << ": no text";
      // The lookup cuts a longer text without a word.
      std::array<char16_t, 1024> whole{};
      if (s.what.rfind(u"IDS_", 0) == 0) {
        profile.Read(ini, std::u16string(section.begin(), section.end()).c_str(), s.what.c_str(), whole.data(),
                     whole.size());
        EXPECT_LT(std::u16string(whole.data()).size(), kTextCapacity) << what << ": cut by the lookup";
      }
      const ControlLayout& c = *s.control;
      for (const auto& [face, style] : FacesFor(c, language)) {
        EXPECT_EQ(Missing(face, style, s.text), u"") << what << " in " << std::string(face.begin(), face.end());
        for (double scale : {0.5, 1.0}) {
          for (int dpi : {96, 144}) {
            Gdiplus::Bitmap surface(1, 1, PixelFormat32bppPARGB);
            surface.SetResolution(static_cast<Gdiplus::REAL>(dpi), static_cast<Gdiplus::REAL>(dpi));
            Gdiplus::Graphics graphics(&surface);
            graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);  // as the window draws
            const auto font =
                CreateSkinFont(Wide(face), FontEmSize(scale, dpi) * c.textScale, style, Gdiplus::UnitPixel);
            ASSERT_NE(font, nullptr);
            const float width = static_cast<float>(static_cast<int>(c.width * scale));
            const float height = static_cast<float>(static_cast<int>(c.height * scale));
            Gdiplus::StringFormat format;
            const Gdiplus::StringAlignment alignment = StringAlignmentOf(c.alignment);
            format.SetAlignment(alignment);
            format.SetLineAlignment(StringAlignmentOf(c.lineAlignment));
            INT flags = rightToLeft ? Gdiplus::StringFormatFlagsDirectionRightToLeft : 0;
            if (c.kind == ControlKind::kButton) flags |= Gdiplus::StringFormatFlagsNoWrap;
            format.SetFormatFlags(flags);
            // Panels: unbounded height, so the box holds every line the text needs at the
            // panel's width. Buttons: unbounded width too, or the box is cut to the button.
            const float unbounded = 100000.0f;
            const Gdiplus::RectF room(0.0f, 0.0f, c.kind == ControlKind::kButton ? unbounded : width, unbounded);
            Gdiplus::RectF box;
            ASSERT_EQ(
                graphics.MeasureString(Wide(s.text), static_cast<INT>(s.text.size()), font.get(), room, &format, &box),
                Gdiplus::Ok);
            const float line = font->GetHeight(&graphics);
            const std::string where = what + " in " + std::string(face.begin(), face.end()) + " at scale " +
                                      std::to_string(scale) + ", " + std::to_string(dpi) + " dpi";
            if (c.kind == ControlKind::kButton) {
              EXPECT_LE(box.Width, width) << where << ": caption wider than its button";
              EXPECT_LE(box.Height, height) << where << ": caption taller than its button";
            } else {
              const int needs = static_cast<int>(std::lround(box.Height / line));
              const int holds = static_cast<int>(height / line);
              EXPECT_LE(needs, holds) << where << ": needs " << needs << " lines, the panel holds " << holds;
            }
          }
        }
      }
    }
  }
}

}  // namespace
