#include "app/win32/update_dialog_win32.h"

#include <oleacc.h>

#include <array>

#include "app/shutdown_choice.h"
#include "app/update_run.h"
#include "app/win32/dialog_update_view_win32.h"
#include "app/win32/shutdown_win32.h"
#include "app/win32/update_run_platform_win32.h"
#include "platform/win32/gdi_owners.h"
#include "platform/win32/wide.h"
#include "skin/win32/localized_text_win32.h"
#include "skin/win32/skin_button_win32.h"

namespace {

constexpr wchar_t kImageType[] = L"IMG";
// The Close button's accessible name when data\Update.ini has no "IDS_CLOSE" text.
constexpr char16_t kCloseNameFallback[] = u"Close";

std::unique_ptr<SkinTextControl> MakeControl(ControlKind kind) {
  if (kind == ControlKind::kButton) return std::make_unique<SkinButton>();
  return std::make_unique<SkinLabel>();
}

// The real system and window behind the shut-down buttons.
class WindowSession final : public SessionControl {
 public:
  explicit WindowSession(HWND window) : window_(window) {}
  std::uint32_t RequestPowerOff() override { return ::RequestPowerOff(); }
  void PostClose() override { ::PostMessageW(window_, WM_CLOSE, 0, 0); }

 private:
  HWND window_;
};

}  // namespace

bool UpdateDialog::Usable(HWND control) { return ::IsWindowVisible(control) && ::IsWindowEnabled(control); }

UpdateDialog::UpdateDialog(const RunRequest& request, HWND parent)
    : SkinDialog(IDD_UPDATE, parent),
      m_request(request),
      m_spinnerFrames(kFirstSpinnerFrame, kLastSpinnerFrame, kImageType, ResourceModule()) {
  for (const ControlLayout& row : kWindowLayout) m_controls.push_back(MakeControl(row.kind));
  m_hIcon = LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDI_TOOL));
}

void UpdateDialog::DoDataExchange() {
  for (std::size_t i = 0; i < m_controls.size(); ++i) AttachControl(kWindowLayout[i].id, *m_controls[i]);
}

BOOL UpdateDialog::OnInitDialog() {
  SkinDialog::OnInitDialog();
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  // The title the taskbar, Alt+Tab and screen readers say, in the run's language.
  std::array<char16_t, kTextCapacity> title{};
  LoadText(u"IDS_TITLE", title.data(), title.size());
  ::SetWindowTextW(hwnd(), title[0] != u'\0' ? AsWide(title.data()) : kWindowTitle);
  DescribeForAssistiveTechnology();
  // Tab follows the reading order, which is the order of the children.
  HWND after = HWND_TOP;
  for (int id : ButtonsInReadingOrder()) {
    if (SkinControl* control = ControlById(id)) {
      ::SetWindowPos(control->hwnd(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      after = control->hwnd();
    }
  }
  m_deferred.StartWhenIdle(hwnd());
  // The focus starts on the primary action.
  if (SkinTextControl* update = ControlById(kIdUpdate)) FocusControl(update->hwnd());
  return FALSE;  // the focus is set
}

void UpdateDialog::FocusControl(HWND control) {
  ::SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// Roles and names beyond the buttons' captions and the panels' texts. The pictures only
// repeat what the texts say: graphics without a name, which screen readers pass over.
void UpdateDialog::DescribeForAssistiveTechnology() {
  std::array<char16_t, kMessageCapacity> text{};
  LoadText(u"IDS_CLOSE", text.data(), text.size());
  if (SkinTextControl* close = ControlById(kIdClose))
    close->SetAccessible(ROLE_SYSTEM_PUSHBUTTON, AsWide(text[0] != u'\0' ? text.data() : kCloseNameFallback));
  LoadBusyReason(Lookup(), text.data());
  Panel(kIdSpinner).SetAccessible(ROLE_SYSTEM_ANIMATION, AsWide(text.data()));
  for (int picture : {kIdPromptIcon, kIdIllustration, kIdCautionIcon})
    Panel(picture).SetAccessible(ROLE_SYSTEM_GRAPHIC, L"");
  MarkAssertiveLiveRegion(Panel(kIdMessage).hwnd());
  MarkAssertiveLiveRegion(Panel(kIdCaution).hwnd());
}

SkinTextControl* UpdateDialog::ControlById(int id) {
  for (std::size_t i = 0; i < m_controls.size(); ++i) {
    if (kWindowLayout[i].id == id) return m_controls[i].get();
  }
  return nullptr;
}

// Every panel row's control is a SkinLabel (MakeControl); the ids asked for are the
// table's own panels, so the lookup cannot miss.
SkinLabel& UpdateDialog::Panel(int id) { return static_cast<SkinLabel&>(*ControlById(id)); }

void UpdateDialog::ShowSpinnerFrame(std::uint32_t frame, double scale) {
  SkinLabel& spinner = Panel(kIdSpinner);
  m_deferred.RunFor(&spinner);  // its late first frame must not follow this one
  spinner.SetSharedImage(m_spinnerFrames.Frame(frame, scale));
}

void UpdateDialog::LoadText(const char16_t* key, char16_t* buffer, std::size_t capacity) const {
  LoadLocalizedText(m_request.language, key, buffer, capacity);
}

TextLookup UpdateDialog::Lookup() const {
  return [this](const char16_t* key, char16_t* buffer, std::size_t capacity) { LoadText(key, buffer, capacity); };
}

void UpdateDialog::LayoutControls() {
  RECT desktop{};
  ::GetClientRect(::GetDesktopWindow(), &desktop);
  const LayoutMode wanted = ChooseLayoutMode(desktop.right - desktop.left, desktop.bottom - desktop.top);
  if (m_layoutSize == wanted.size) return;
  m_layoutSize = wanted.size;
  m_scale = wanted.scale;
  m_faces = ChooseTextFaces(GetUserDefaultUILanguage(), m_request.language);
  m_rightToLeft = ReadsRightToLeft(m_request.language);
  // Loads still waiting are for the old scale.
  m_deferred.Clear();
  SetBackground(kBackgroundImage, kImageType, ResourceModule(), m_scale);

  const float em = FontEmSize(m_scale, ::GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY));
  for (std::size_t i = 0; i < m_controls.size(); ++i) {
    SkinTextControl& control = *m_controls[i];
    LayOut(kWindowLayout[i], control, m_scale, em);
    if (kWindowLayout[i].startsHidden) control.ShowWindow(SW_HIDE);
    AddControl(&control);
  }
}

void UpdateDialog::LayOut(const ControlLayout& c, SkinTextControl& control, double scale, float em) {
  if (c.textColour != 0) control.SetTextColor(c.textColour);
  if (c.hoverTextColour != 0 || c.pressedTextColour != 0)
    control.SetStateTextColors(c.hoverTextColour, c.pressedTextColour);
  if (c.alignment != TextAlignment::kNotSet)
    control.SetAlignment(StringAlignmentOf(c.alignment), StringAlignmentOf(c.lineAlignment));
  if (c.face != TextFace::kNone) {
    const bool button = c.face == TextFace::kButton;
    control.SetRightToLeft(m_rightToLeft);
    control.SetFont(AsWide(button ? m_faces.buttonFace : m_faces.panelFace), em * c.textScale,
                    button ? m_faces.buttonStyle : m_faces.panelStyle, Gdiplus::UnitPixel);
  }
  if (c.textKey != nullptr) {
    std::array<char16_t, kTextCapacity> text{};
    LoadText(c.textKey, text.data(), text.size());
    ::SetWindowTextW(control.hwnd(), AsWide(text.data()));
  }
  ::SetWindowPos(control.hwnd(), nullptr, static_cast<int>(c.x * scale), static_cast<int>(c.y * scale),
                 static_cast<int>(c.width * scale), static_cast<int>(c.height * scale), SWP_NOZORDER | SWP_NOACTIVATE);
  if (c.id == kIdSpinner) {
    DeferSpinnerFrames(scale);
    return;
  }
  const auto load = [&control, images = c.images, scale] {
    control.LoadImages(images, kImageType, ResourceModule(), scale);
  };
  if (c.startsHidden) m_deferred.Add(&control, load);
  else load();
}

// The first frame the window shows has no spinner: its frames are decoded after it, the
// one it shows first tied to it, should it be drawn before they are.
void UpdateDialog::DeferSpinnerFrames(double scale) {
  SkinLabel& spinner = Panel(kIdSpinner);
  m_deferred.Add(&spinner,
                 [this, &spinner, scale] { spinner.SetSharedImage(m_spinnerFrames.Frame(m_nSpinnerFrame, scale)); });
  for (std::uint32_t frame = kFirstSpinnerFrame; frame <= kLastSpinnerFrame; ++frame)
    m_deferred.Add(nullptr, [this, scale] { m_spinnerFrames.DecodeNext(scale); });
}

bool UpdateDialog::OnCommand(WORD id, WORD notification) {
  // While the worker runs no command may end the window or start another run: a posted
  // command, or IDCANCEL from WM_CLOSE, needs no enabled button to get here.
  if (m_busy) return true;
  if (notification == BN_CLICKED) {
    switch (id) {
      case kIdUpdate: OnUpdate(); return true;
      case kIdShutdownNow: OnShutdownNow(); return true;
      case kIdShutdownLater: OnShutdownLater(); return true;
      default: break;
    }
  }
  return SkinDialog::OnCommand(id, notification);
}

LRESULT UpdateDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: return OnCommandFrom(wParam, lParam);
    case WM_DESTROY: return OnDestroy();
    case WM_DISPLAYCHANGE: return OnDisplayChange();
    case WM_CLOSE: return OnClose();
    case WM_SYSCOMMAND: return OnSysCommand(wParam);
    case WM_QUERYENDSESSION: return OnQueryEndSession();
    case WM_POWERBROADCAST: return OnPowerBroadcast(wParam);
    default: return SkinDialog::HandleMessage(message, wParam, lParam);
  }
}

// A command that names a hidden or greyed button as its sender comes from no press: the
// dialog manager sends Enter to the default button (Exit, IDOK) and Escape to Close
// whether or not they can be pressed, and Exit is hidden most of the time.
LRESULT UpdateDialog::OnCommandFrom(WPARAM wParam, LPARAM lParam) {
  const auto sender = reinterpret_cast<HWND>(lParam);
  if (sender != nullptr && ::GetParent(sender) == hwnd() && !Usable(sender)) return 0;
  return SkinDialog::HandleMessage(WM_COMMAND, wParam, lParam);
}

LRESULT UpdateDialog::OnDestroy() {
  m_acpi.CloseAcpiDevice();
  m_deferred.Clear();
  for (const std::unique_ptr<SkinTextControl>& control : m_controls) control->ReleaseResources();
  m_spinnerFrames.Clear();
  ReleaseSkin();
  return Default();
}

// A new layout starts from the template's ready state; the state the runs left (an
// outcome's message and buttons, the caution) is then shown again at the new scale.
// The focus stays where it was.
LRESULT UpdateDialog::OnDisplayChange() {
  const HWND focus = ::GetFocus();
  ::ShowWindow(hwnd(), SW_HIDE);
  LayoutControls();
  DialogUpdateView view(*this, DialogUpdateView::Announce::kNothing);
  m_memory.Replay(view);
  ::ShowWindow(hwnd(), SW_SHOW);
  m_deferred.StartWhenIdle(hwnd());
  if (focus != nullptr && ::GetParent(focus) == hwnd() && Usable(focus)) FocusControl(focus);
  return 1;
}

// The close requests that do not pass through a button: WM_CLOSE (as from the taskbar or
// another program), Alt+F4 and the system menu's Close. While the worker runs the window
// stays, so the user reads the outcome and gets the choice that follows it.
LRESULT UpdateDialog::OnClose() { return m_busy ? 0 : Default(); }

LRESULT UpdateDialog::OnSysCommand(WPARAM command) {
  if (m_busy && (command & 0xFFF0) == SC_CLOSE) return 0;
  return Default();
}

// Ending the session mid-update would cut the controller's write and leave it powered.
LRESULT UpdateDialog::OnQueryEndSession() { return m_busy ? FALSE : Default(); }

// A suspend that comes anyway (the system's own, at a critical battery, say) cannot be
// refused; the log tells of it, for whoever reads why a write failed.
LRESULT UpdateDialog::OnPowerBroadcast(WPARAM event) {
  if (event == PBT_APMSUSPEND && m_pEvents != nullptr) {
    m_pEvents->OnNote(m_busy ? "the system is suspending (PBT_APMSUSPEND) during the update"
                             : "the system is suspending (PBT_APMSUSPEND)");
  }
  return TRUE;
}

void UpdateDialog::OnUpdate() {
  m_worker.events = m_pEvents;
  DialogUpdateView dialogView(*this);
  RememberingView view(dialogView, m_memory);
  Win32UpdateRunPlatform platform(m_worker, hwnd(), m_busy);
  UpdateRunState state{m_nSpinnerFrame, m_scale, Lookup()};
  if (const std::optional<StatusCode> status = RunUpdate(view, platform, state)) {
    m_nStatus = *status;
    m_bRan = true;
    // The log's status line says what failed; these say why, where the system told.
    if (m_pEvents != nullptr) {
      if (m_nStatus == TBFW_E_NO_ACPI_DEVICE) m_pEvents->OnSystemError("ACPI device", platform.AcpiFailure());
      m_pEvents->OnSystemError("worker thread", platform.ThreadFailure());
    }
  }
}

RunOutcome UpdateDialog::Outcome() const {
  RunOutcome outcome;
  outcome.mode = RunMode::kWindow;
  outcome.end = m_bRan ? RunEnd::kFinished : RunEnd::kNotRun;
  outcome.status = m_nStatus;
  outcome.powerOffStarted = m_bPowerOffStarted;
  return outcome;
}

void UpdateDialog::OnShutdownNow() {
  WindowSession session(hwnd());
  DialogUpdateView dialogView(*this);
  RememberingView view(dialogView, m_memory);
  const std::uint32_t refused = ShutDownNow(session, view, Lookup());
  m_bPowerOffStarted = refused == 0;
  if (refused != 0 && m_pEvents != nullptr) m_pEvents->OnStep("power-off refused", refused);
}

void UpdateDialog::OnShutdownLater() {
  WindowSession session(hwnd());
  ShutDownLater(session);
}
