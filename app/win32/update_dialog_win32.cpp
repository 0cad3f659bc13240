#include "app/win32/update_dialog_win32.h"

#include <oleacc.h>

#include <array>
#include <utility>

#include "app/shutdown_choice.h"
#include "app/update_run.h"
#include "app/win32/shutdown_win32.h"
#include "app/win32/update_preconditions_win32.h"
#include "app/window_layout.h"
#include "platform/win32/gdi_owners.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "skin/win32/localized_text_win32.h"

namespace {

constexpr wchar_t kImageType[] = L"IMG";
// The Close button's accessible name when data\Update.ini has no "IDS_CLOSE" text.
constexpr char16_t kCloseNameFallback[] = u"Close";

bool Usable(HWND control) { return ::IsWindowVisible(control) && ::IsWindowEnabled(control); }

Gdiplus::StringAlignment Alignment(int value) { return static_cast<Gdiplus::StringAlignment>(value); }

}  // namespace

// The window's controls as the update run sees them. A new message, and the caution as it
// appears, are announced to screen readers, except when only shown again after a relayout.
class DialogUpdateView final : public UpdateView {
 public:
  enum class Announce { kChanges, kNothing };
  explicit DialogUpdateView(UpdateDialog& dialog, Announce announce = Announce::kChanges)
      : dialog_(dialog), announce_(announce == Announce::kChanges) {}
  void Show(int id) override {
    SkinControl* control = dialog_.ControlById(id);
    if (control == nullptr) return;
    const bool appears = !control->visible();
    control->ShowWindow(SW_SHOWNORMAL);
    if (announce_ && appears && id == kIdCaution) AnnounceLiveRegion(control->hwnd());
  }
  void Hide(int id) override {
    if (SkinControl* control = dialog_.ControlById(id)) control->ShowWindow(SW_HIDE);
  }
  void Enable(int id) override { Able(id, TRUE); }
  void Disable(int id) override { Able(id, FALSE); }
  void SetMessage(const char16_t* text) override {
    ::SetWindowTextW(dialog_.m_lblMessage.hwnd(), AsWide(text));
    if (announce_) AnnounceLiveRegion(dialog_.m_lblMessage.hwnd());
  }
  void Focus(int id) override {
    SkinControl* control = dialog_.ControlById(id);
    if (control != nullptr && Usable(control->hwnd())) dialog_.FocusControl(control->hwnd());
  }
  // A kept frame: the tick decodes nothing once the frames of this scale are in.
  void SetSpinnerImage(std::uint32_t frame, double scale) override {
    dialog_.m_deferred.RunFor(&dialog_.m_lblSpinner);  // its late first frame must not follow this one
    dialog_.m_lblSpinner.SetSharedImage(dialog_.m_spinnerFrames.Frame(frame, scale));
  }
  void Compose() override { dialog_.Compose(); }

 private:
  void Able(int id, BOOL enabled) {
    if (SkinControl* control = dialog_.ControlById(id)) ::EnableWindow(control->hwnd(), enabled);
  }
  UpdateDialog& dialog_;
  bool announce_;
};

namespace {

// Input and close requests still queued when the worker ends were made while the window
// refused them: one message a tick can leave a backlog, and handled after the run they
// would close the window the moment it shows the outcome.
void DropQueuedRequests() {
  constexpr std::pair<UINT, UINT> kRanges[] = {
      {WM_KEYFIRST, WM_KEYLAST}, {WM_MOUSEFIRST, WM_MOUSELAST}, {WM_CLOSE, WM_CLOSE}, {WM_COMMAND, WM_SYSCOMMAND}};
  MSG message;
  for (const auto& [first, last] : kRanges) {
    while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE)) {
    }
  }
}

// The system as the update run reaches it: the ACPI device, the power source, the worker
// thread and the window's message queue.
class Win32UpdateRunPlatform final : public UpdateRunPlatform {
 public:
  Win32UpdateRunPlatform(WorkerJob& job, HWND window, std::optional<BusyGuard>& busy)
      : job_(job), checks_(job.acpi), window_(window), busy_(busy) {}

  bool EnsureAcpiDevice() override { return checks_.EnsureAcpiDevice(); }
  SystemError AcpiFailure() const override { return checks_.AcpiFailure(); }
  // Why no worker thread could be made; empty when one was.
  SystemError ThreadFailure() const { return threadFailure_; }
  PowerSource QueryPowerSource() override { return checks_.QueryPowerSource(); }
  bool StartWorker(const char16_t* busyReason) override {
    // Busy before the thread exists, so the worker's first request already finds the
    // system held awake.
    busy_.emplace(window_, AsWide(busyReason));
    DWORD id = 0;
    thread_.reset(CreateThread(nullptr, 0, UpdateWorker, &job_, 0, &id));
    if (!thread_) {
      threadFailure_ = {"CreateThread", GetLastError()};
      busy_.reset();
    }
    return static_cast<bool>(thread_);
  }
  WorkerWait WaitForWorker() override {
    switch (WaitForSingleObject(thread_.get(), 100)) {
      case WAIT_TIMEOUT: return WorkerWait::kRunning;
      case WAIT_OBJECT_0: return WorkerWait::kEnded;
      default: return WorkerWait::kWaitFailed;
    }
  }
  bool WaitForWorkerEnd() override { return WaitForSingleObject(thread_.get(), INFINITE) == WAIT_OBJECT_0; }
  void PumpOneMessage() override {
    MSG message;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  StatusCode CloseWorker() override {
    thread_.reset();
    DropQueuedRequests();
    busy_.reset();
    return job_.status;
  }

 private:
  WorkerJob& job_;
  SystemPreconditions checks_;
  SystemError threadFailure_;
  HWND window_;
  std::optional<BusyGuard>& busy_;
  // Closing the handle does not stop the thread: a worker whose end was never seen keeps
  // the window busy after the run has returned.
  UniqueKernelHandle thread_;
};

}  // namespace

UpdateDialog::UpdateDialog(const RunRequest& request, HWND parent)
    : SkinDialog(kWindowTemplate, parent),
      m_spinnerFrames(kFirstSpinnerFrame, kLastSpinnerFrame, kImageType, ResourceModule()),
      m_request(request) {
  m_hIcon = LoadIconW(ResourceModule(), MAKEINTRESOURCEW(kWindowIcon));
}

void UpdateDialog::DoDataExchange() {
  for (const ControlRow& row : kControls) AttachControl(row.id, Member(row));
}

BOOL UpdateDialog::OnInitDialog() {
  SkinDialog::OnInitDialog();
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  ::SetWindowTextW(hwnd(), kWindowTitle);
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
  FocusControl(m_btnUpdate.hwnd());
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
  m_btnClose.SetAccessible(ROLE_SYSTEM_PUSHBUTTON, AsWide(text[0] != u'\0' ? text.data() : kCloseNameFallback));
  LoadBusyReason(Lookup(), text.data());
  m_lblSpinner.SetAccessible(ROLE_SYSTEM_ANIMATION, AsWide(text.data()));
  for (SkinLabel* picture : {&m_lblPromptIcon, &m_lblIllustration, &m_lblCautionIcon}) {
    picture->SetAccessible(ROLE_SYSTEM_GRAPHIC, L"");
  }
  MarkAssertiveLiveRegion(m_lblMessage.hwnd());
  MarkAssertiveLiveRegion(m_lblCaution.hwnd());
}

// In the order the template's controls are attached.
const UpdateDialog::ControlRow UpdateDialog::kControls[11] = {
    {kIdClose, &UpdateDialog::m_btnClose, nullptr},
    {kIdExit, &UpdateDialog::m_btnExit, nullptr},
    {kIdPromptIcon, nullptr, &UpdateDialog::m_lblPromptIcon},
    {kIdIllustration, nullptr, &UpdateDialog::m_lblIllustration},
    {kIdCautionIcon, nullptr, &UpdateDialog::m_lblCautionIcon},
    {kIdUpdate, &UpdateDialog::m_btnUpdate, nullptr},
    {kIdMessage, nullptr, &UpdateDialog::m_lblMessage},
    {kIdCaution, nullptr, &UpdateDialog::m_lblCaution},
    {kIdSpinner, nullptr, &UpdateDialog::m_lblSpinner},
    {kIdShutdownNow, &UpdateDialog::m_btnShutdownNow, nullptr},
    {kIdShutdownLater, &UpdateDialog::m_btnShutdownLater, nullptr},
};

SkinControl& UpdateDialog::Member(const ControlRow& row) {
  if (row.button != nullptr) return this->*row.button;
  return this->*row.label;
}

SkinControl* UpdateDialog::ControlById(int id) {
  for (const ControlRow& row : kControls) {
    if (row.id == id) return &Member(row);
  }
  return nullptr;
}

void UpdateDialog::LoadText(const char16_t* key, char16_t* buffer, std::size_t capacity) const {
  LoadLocalizedText(m_request.language, key, buffer, capacity);
}

TextLookup UpdateDialog::Lookup() const {
  return [this](const char16_t* key, char16_t* buffer, std::size_t capacity) { LoadText(key, buffer, capacity); };
}

void UpdateDialog::LayoutControls() {
  const int dpi = ::GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY);
  const FontFaces faces = ChooseTextFaces(GetUserDefaultUILanguage(), m_request.language);
  const bool rightToLeft = ReadsRightToLeft(m_request.language);

  RECT desktop{};
  ::GetClientRect(::GetDesktopWindow(), &desktop);
  const LayoutMode wanted = ChooseLayoutMode(desktop.right - desktop.left, desktop.bottom - desktop.top);
  if (m_nLayoutMode == wanted.mode) return;
  m_nLayoutMode = wanted.mode;
  const double scale = wanted.scale;
  // Loads still waiting are for the old scale.
  m_deferred.Clear();
  SetBackground(kBackgroundImage, kImageType, ResourceModule(), scale);

  const float em = FontEmSize(scale, dpi);
  std::array<char16_t, kTextCapacity> text{};
  for (const ControlLayout& c : kWindowLayout) {
    SkinControl* control = ControlById(c.id);
    if (control == nullptr) continue;
    const auto place = [&] {
      ::SetWindowPos(control->hwnd(), nullptr, static_cast<int>(c.x * scale), static_cast<int>(c.y * scale),
                     static_cast<int>(c.width * scale), static_cast<int>(c.height * scale),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const auto setText = [&] {
      if (c.textKey == nullptr) return;
      LoadText(c.textKey, text.data(), text.size());
      ::SetWindowTextW(control->hwnd(), AsWide(text.data()));
    };
    const char16_t* face = c.face == TextFace::kButton ? faces.buttonFace : faces.panelFace;
    const int style = c.face == TextFace::kButton ? faces.buttonStyle : faces.panelStyle;
    if (c.kind == ControlKind::kButton) {
      auto* button = static_cast<SkinButton*>(control);
      if (c.textColour != 0) button->SetTextColor(c.textColour);
      if (c.hoverTextColour != 0) button->SetHoverTextColor(c.hoverTextColour);
      if (c.pressedTextColour != 0) button->SetPressedTextColor(c.pressedTextColour);
      if (c.alignment >= 0) button->SetAlignment(Alignment(c.alignment), Alignment(c.lineAlignment));
      if (c.face != TextFace::kNone) button->SetRightToLeft(rightToLeft);
      if (c.face != TextFace::kNone) button->SetFont(AsWide(face), em, style, Gdiplus::UnitPixel);
      setText();
      place();
      const auto load = [button, &c, scale] {
        button->SetImages(c.images[0], c.images[1], c.images[2], c.images[3], kImageType, ResourceModule(), scale);
      };
      if (c.startsHidden) m_deferred.Add(button, load);
      else load();
    } else {
      auto* panel = static_cast<SkinLabel*>(control);
      if (c.textColour != 0) panel->SetTextColor(c.textColour);
      if (c.alignment >= 0) panel->SetAlignment(Alignment(c.alignment), Alignment(c.lineAlignment));
      if (c.face != TextFace::kNone) panel->SetRightToLeft(rightToLeft);
      if (c.face != TextFace::kNone) panel->SetFont(AsWide(face), em, style, Gdiplus::UnitPixel);
      place();
      setText();
      const auto load = [panel, &c, scale] { panel->SetImage(c.images[0], kImageType, ResourceModule(), scale); };
      if (c.id == kIdSpinner) DeferSpinnerFrames(scale);
      else if (c.images[0] != 0 && c.startsHidden) m_deferred.Add(panel, load);
      else if (c.images[0] != 0) load();
    }
    if (c.startsHidden) control->ShowWindow(SW_HIDE);
    AddControl(control);
  }
}

// The first frame the window shows has no spinner: its frames are decoded after it, the
// one it shows first tied to it, should it be drawn before they are.
void UpdateDialog::DeferSpinnerFrames(double scale) {
  m_deferred.Add(&m_lblSpinner,
                 [this, scale] { m_lblSpinner.SetSharedImage(m_spinnerFrames.Frame(m_nSpinnerFrame, scale)); });
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
  for (const ControlRow& row : kControls) {
    if (row.button != nullptr) (this->*row.button).ReleaseResources();
    if (row.label != nullptr) (this->*row.label).ReleaseResources();
  }
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
  UpdateRunState state{m_nSpinnerFrame, m_nLayoutMode, Lookup()};
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

namespace {

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
