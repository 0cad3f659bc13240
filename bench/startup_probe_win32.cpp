// Where the tool's start-up time goes inside the process, step by step, under the same
// system (Wine) the whole-tool bench runs on: loading and starting GDI+, and decoding the
// pictures from the tool's own resources at full scale, those its first frame shows apart
// from those decoded after it is on screen. Wall time of each step, median of RUNS.
// Usage: startup_probe TOOL_EXE [RUNS]; prints Markdown rows.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "skin/win32/gdiplus_session_win32.h"
#include "skin/win32/skin_image_win32.h"
#include "skin/win32/skin_text_win32.h"

namespace {

double Now() {
  LARGE_INTEGER count{}, frequency{};
  ::QueryPerformanceCounter(&count);
  ::QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Time(const std::function<void()>& step) {
  const double start = Now();
  step();
  return Now() - start;
}

// Decodes every picture in `ids` from `module` at full scale; the time of all of them.
double DecodeAll(std::initializer_list<UINT> ids, HMODULE module) {
  return Time([&] {
    for (UINT id : ids) (void)LoadSkinImage(id, L"IMG", module, 1.0);
  });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fputs("usage: startup_probe TOOL_EXE [RUNS]\n", stderr);
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, static_cast<int>(std::wcstol(argv[2], nullptr, 10))) : 9;
  const UniqueLibrary tool(
      ::LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!tool) {
    std::fputs("startup_probe: cannot read the tool's resources\n", stderr);
    return 1;
  }
  // Once per process, as in the tool: the first load and start-up of GDI+ and what it loads.
  const double load = Time([] { (void)::LoadLibraryW(L"gdiplus.dll"); });
  std::unique_ptr<GdiplusSession> session;
  const double start = Time([&] { session = std::make_unique<GdiplusSession>(); });
  const double firstDecode = DecodeAll({129}, tool.get());

  const double firstFont = Time([] { (void)CreateSkinFont(L"Segoe WP", 32.0f, 0, Gdiplus::UnitPixel); });

  std::vector<double> background, firstFrame, late, premultiply, font, text, illustration;
  for (int r = 0; r < runs; ++r) {
    background.push_back(DecodeAll({129}, tool.get()));
    // Close's four looks, the prompt icon, the illustration, Update's four looks.
    firstFrame.push_back(DecodeAll({130, 131, 132, 133, 134, 135, 137, 138, 139, 140}, tool.get()));
    // The caution icon, Exit's four looks, the spinner's eight frames, the shut-down buttons'.
    late.push_back(DecodeAll(
        {136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147, 148, 150, 152, 153, 151, 152, 153}, tool.get()));
    const auto image = LoadSkinImage(129, L"IMG", tool.get(), 1.0);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image->Width()) * image->Height());
    premultiply.push_back(Time([&] { (void)image->CopyPremultiplied(pixels.data()); }));
    std::unique_ptr<Gdiplus::Font> face;
    font.push_back(Time([&] { face = CreateSkinFont(L"Segoe WP", 32.0f, 0, Gdiplus::UnitPixel); }));
    Gdiplus::Bitmap panel(1400, 180, PixelFormat32bppPARGB);
    text.push_back(Time([&] {
      Gdiplus::Graphics graphics(&panel);
      graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
      Gdiplus::SolidBrush ink(Gdiplus::Color(0xFF020202));
      graphics.DrawString(L"Connect the charger, then press Update to install the new firmware.", -1, face.get(),
                          Gdiplus::RectF(0.0f, 0.0f, 1400.0f, 180.0f), nullptr, &ink);
      graphics.Flush(Gdiplus::FlushIntentionSync);
    }));
    const auto picture = LoadSkinImage(135, L"IMG", tool.get(), 1.0);
    Gdiplus::Bitmap frame(1560, 1240, PixelFormat32bppPARGB);
    illustration.push_back(Time([&] {
      Gdiplus::Graphics graphics(&frame);
      picture->Draw(graphics, Gdiplus::RectF(56.0f, 498.0f, 1448.0f, 568.0f));
      graphics.Flush(Gdiplus::FlushIntentionSync);
    }));
  }
  std::printf("| loading gdiplus.dll and what it loads | %.1f ms | once |\n", load);
  std::printf("| GdiplusStartup | %.1f ms | once |\n", start);
  std::printf("| the first decode (background, 1560 x 1240) | %.1f ms | once |\n", firstDecode);
  std::printf("| decoding the background again | %.1f ms | median of %d |\n", Median(background), runs);
  std::printf("| reading the background's pixels, premultiplied | %.1f ms | median of %d |\n", Median(premultiply),
              runs);
  std::printf("| decoding the other pictures of the first frame (10) | %.1f ms | median of %d |\n", Median(firstFrame),
              runs);
  std::printf("| the first font (\"Segoe WP\", 32 px) | %.1f ms | once |\n", firstFont);
  std::printf("| a font again | %.1f ms | median of %d |\n", Median(font), runs);
  std::printf("| drawing the prompt's text into a 1400 x 180 panel | %.1f ms | median of %d |\n", Median(text), runs);
  std::printf("| drawing the illustration (1448 x 568) into the frame | %.1f ms | median of %d |\n",
              Median(illustration), runs);
  std::printf("| decoding the pictures shown later (19), now after the window is shown | %.1f ms | median of %d |\n",
              Median(late), runs);
  return 0;
}
