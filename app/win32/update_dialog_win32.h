// The tool's only window: template 100 shown as a skinned layered window, with the
// update run behind its Update button and the ways out after it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/exit_code.h"
#include "app/remembered_view.h"
#include "app/run_request.h"
#include "app/status_message.h"
#include "app/win32/busy_guard_win32.h"
#include "app/win32/update_worker_win32.h"
#include "app/window_layout.h"
#include "app/worker_events.h"
#include "common/status_codes.h"
#include "controller/acpi_device.h"
#include "platform/win32/device_io_win32.h"
#include "resources/control_ids.h"
#include "skin/win32/deferred_images_win32.h"
#include "skin/win32/skin_dialog_win32.h"
#include "skin/win32/skin_label_win32.h"
#include "skin/win32/skin_text_control_win32.h"
#include "skin/win32/spinner_frames_win32.h"

// The window's title when data\Update.ini has no "IDS_TITLE" text.
inline constexpr wchar_t kWindowTitle[] = L"Vanto Thunderbolt Firmware Update Tool";

class UpdateDialog : public SkinDialog {
 public:
  // `request` (its language, the downgrade switch) is read by the window and its worker
  // and must outlive the window.
  explicit UpdateDialog(const RunRequest& request, HWND parent = nullptr);

  // Told of each step of an update; set before the window opens.
  void SetWorkerEvents(WorkerEvents* events) { m_pEvents = events; }
  // How the window's run ended, for the exit code: whether an update ran, its status, and
  // whether the user chose to shut down now.
  RunOutcome Outcome() const;

  // For the update run's view of the window (DialogUpdateView).
  // The control of template id `id`; null for an id the window has none of.
  SkinTextControl* ControlById(int id);
  // Moves the keyboard focus to `control` as Tab would, making it the default button.
  void FocusControl(HWND control);
  // Shows the busy indicator's `frame`, decoded once per scale.
  void ShowSpinnerFrame(std::uint32_t frame, double scale);
  // Whether a control can be pressed or take the focus: shown and not greyed.
  static bool Usable(HWND control);

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  void LayoutControls() override;
  void BeforeDraw(SkinControl& control) override { m_deferred.RunFor(&control); }
  bool OnCommand(WORD id, WORD notification) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnCommandFrom(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy();
  LRESULT OnDisplayChange();
  LRESULT OnClose();
  LRESULT OnSysCommand(WPARAM command);
  LRESULT OnQueryEndSession();
  LRESULT OnPowerBroadcast(WPARAM event);
  void OnUpdate();
  void OnShutdownNow();
  void OnShutdownLater();
  // Places one control of the layout at `scale`, with its font, colours, text and pictures.
  void LayOut(const ControlLayout& row, SkinTextControl& control, double scale, float em);
  // The panel of template id `id`: the layout table makes a SkinLabel for every panel row.
  SkinLabel& Panel(int id);
  void DescribeForAssistiveTechnology();
  void DeferSpinnerFrames(double scale);
  void LoadText(const char16_t* key, char16_t* buffer, std::size_t capacity) const;
  TextLookup Lookup() const;

  const RunRequest& m_request;
  // One control per row of kWindowLayout, in its order: a SkinButton for a button row, a
  // SkinLabel for a panel row. Attaching, finding, laying out and releasing walk this list.
  std::vector<std::unique_ptr<SkinTextControl>> m_controls;
  HICON m_hIcon = nullptr;
  // The layout's size and scale; empty until the first layout.
  std::optional<LayoutSize> m_layoutSize;
  double m_scale = 0.5;
  FontFaces m_faces{};
  bool m_rightToLeft = false;
  std::uint32_t m_nSpinnerFrame = kFirstSpinnerFrame;
  // The busy indicator's frames, decoded once per scale; the pictures of the controls the
  // first frame does not show, decoded after the window is on screen.
  SpinnerFrames m_spinnerFrames;
  DeferredImages m_deferred;
  // The ACPI device: opened by the first press of Update that finds it, used by the
  // worker, closed when the window goes (never while the worker runs: the press does not
  // return before the worker ends).
  Win32DeviceIo m_deviceIo;
  AcpiDevice m_acpi{m_deviceIo};
  WorkerJob m_worker{m_request, m_acpi};
  // The outcome of the one run that reached one, written once when it ended.
  StatusCode m_nStatus = 0;
  // Held while the worker runs: the window then ignores every request to close, and the
  // session and the system stay up.
  std::optional<BusyGuard> m_busy;
  WorkerEvents* m_pEvents = nullptr;
  // What the runs and the shut-down buttons changed, shown again after a new layout.
  ControlMemory m_memory;
  bool m_bRan = false;
  bool m_bPowerOffStarted = false;
};
