// A skinned window built from template 100 and the real artwork, for looking at: the
// screenshot test starts it, photographs the screen and tells it to close.
//   skin_showcase.exe READY-FILE QUIT-FILE
// It writes its window rectangle ("left top right bottom") to READY-FILE once the first
// frame is on screen, and closes when QUIT-FILE appears (checked every 100 ms) or after
// 60 seconds.
#include <windows.h>

#include <cstdio>
#include <string>

#include "skin/skin_geometry.h"
#include "skin/win32/gdiplus_session_win32.h"
#include "skin/win32/skin_button_win32.h"
#include "skin/win32/skin_dialog_win32.h"
#include "skin/win32/skin_label_win32.h"

namespace {

constexpr UINT_PTR kTick = 1;
constexpr int kMaxTicks = 600;

class ShowcaseDialog : public SkinDialog {
 public:
  ShowcaseDialog(std::string ready, std::string quit)
      : SkinDialog(100, nullptr), ready_(std::move(ready)), quit_(std::move(quit)) {}

 protected:
  void DoDataExchange() override {
    AttachControl(2, close_);
    AttachControl(1, exit_);
    AttachControl(149, promptIcon_);
    AttachControl(1001, illustration_);
    AttachControl(1002, cautionIcon_);
    AttachControl(1003, update_);
    AttachControl(1004, message_);
    AttachControl(1005, caution_);
    AttachControl(1006, spinner_);
  }

  BOOL OnInitDialog() override {
    SkinDialog::OnInitDialog();
    ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetTimer(hwnd(), kTick, 100, nullptr);
    return TRUE;
  }

  void LayoutControls() override {
    RECT desktop{};
    ::GetClientRect(::GetDesktopWindow(), &desktop);
    scale_ = desktop.right > 1920 || desktop.bottom > 1080 ? 1.0 : 0.5;
    SetBackground(129, L"IMG", ResourceModule(), scale_);
    const float em = static_cast<float>(ScaleLength(24, scale_)) * 96.0f / 72.0f;

    Place(close_, 1448, 38, 76, 76);
    close_.SetImages(130, 133, 132, 131, L"IMG", ResourceModule(), scale_);
    AddControl(&close_);
    Place(promptIcon_, 60, 300, 30, 30);
    promptIcon_.SetImage(134, L"IMG", ResourceModule(), scale_);
    AddControl(&promptIcon_);
    Place(illustration_, 56, 498, 1448, 568);
    illustration_.SetImage(135, L"IMG", ResourceModule(), scale_);
    AddControl(&illustration_);
    Place(cautionIcon_, 70, 1120, 48, 43);
    cautionIcon_.SetImage(136, L"IMG", ResourceModule(), scale_);
    AddControl(&cautionIcon_);
    for (SkinButton* button : {&update_, &exit_}) {
      button->SetTextColor(0xFFFFFFFF);
      button->SetFont(L"Segoe WP N Semibold", em, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
      ::SetWindowTextW(button->hwnd(), button == &update_ ? L"Update" : L"Exit");
      Place(*button, 1136, 1109, 368, 76);
      button->SetImages(137, 140, 139, 138, L"IMG", ResourceModule(), scale_);
    }
    AddControl(&update_);
    exit_.ShowWindow(SW_HIDE);
    AddControl(&exit_);
    Text(message_, 0xFF020202, 100, 297, 1400, 180, em,
         L"Connect the AC adapter and press Update to install the new firmware of the "
         L"Thunderbolt controller. Do not turn the computer off while the update runs.");
    Text(caution_, 0xFFA40000, 130, 1124, 1000, 100, em, L"The AC adapter must stay connected.");
    Place(spinner_, 712, 658, 132, 132);
    spinner_.SetImage(141, L"IMG", ResourceModule(), scale_);
    spinner_.ShowWindow(SW_HIDE);
    AddControl(&spinner_);
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_TIMER: return OnTick();
      case WM_DESTROY: return OnDestroy();
      default: return SkinDialog::HandleMessage(message, wParam, lParam);
    }
  }

 private:
  void Place(const Window& control, int x, int y, int width, int height) const {
    ::SetWindowPos(control.hwnd(), nullptr, ScaleLength(x, scale_), ScaleLength(y, scale_),
                   ScaleLength(width, scale_), ScaleLength(height, scale_), SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void Text(SkinLabel& label, Gdiplus::ARGB colour, int x, int y, int width, int height, float em,
            const wchar_t* text) {
    label.SetTextColor(colour);
    label.SetAlignment(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentNear);
    label.SetFont(L"Segoe WP", em, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    Place(label, x, y, width, height);
    ::SetWindowTextW(label.hwnd(), text);
    AddControl(&label);
  }

  LRESULT OnTick() {
    if (++ticks_ == 1) {
      RECT r{};
      ::GetWindowRect(hwnd(), &r);
      if (FILE* ready = std::fopen(ready_.c_str(), "w")) {
        std::fprintf(ready, "%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        std::fclose(ready);
      }
    }
    if (::GetFileAttributesA(quit_.c_str()) != INVALID_FILE_ATTRIBUTES || ticks_ > kMaxTicks) EndDialog(IDOK);
    return 0;
  }

  LRESULT OnDestroy() {
    ::KillTimer(hwnd(), kTick);
    for (SkinButton* button : {&close_, &exit_, &update_}) button->ReleaseResources();
    for (SkinLabel* label : {&promptIcon_, &illustration_, &cautionIcon_, &message_, &caution_, &spinner_})
      label->ReleaseResources();
    ReleaseSkin();
    return Default();
  }

  std::string ready_, quit_;
  double scale_ = 1.0;
  int ticks_ = 0;
  SkinButton close_, exit_, update_;
  SkinLabel promptIcon_, illustration_, cautionIcon_, message_, caution_, spinner_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  GdiplusSession gdiplus;
  if (!gdiplus) return 1;
  ShowcaseDialog dialog(argv[1], argv[2]);
  return dialog.DoModal() == IDOK ? 0 : 1;
}
