// The tool's only window: template 100 shown as a skinned layered window, with the
// update run behind its Update button and the ways out after it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "app/exit_code.h"
#include "app/remembered_view.h"
#include "app/run_request.h"
#include "app/win32/busy_guard_win32.h"
#include "app/win32/update_worker_win32.h"
#include "app/window_layout.h"
#include "app/worker_events.h"
#include "common/status_codes.h"
#include "controller/acpi_device.h"
#include "platform/win32/device_io_win32.h"
#include "platform/win32/service_manager_win32.h"
#include "platform/win32/worker_platform_win32.h"
#include "skin/win32/deferred_images_win32.h"
#include "skin/win32/skin_button_win32.h"
#include "skin/win32/skin_dialog_win32.h"
#include "skin/win32/skin_label_win32.h"
#include "skin/win32/spinner_frames_win32.h"

inline constexpr wchar_t kWindowTitle[] = L"Vanto Thunderbolt Firmware Update Tool";
inline constexpr UINT kWindowTemplate = 100;
inline constexpr UINT kWindowIcon = 128;

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

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  void LayoutControls() override;
  void BeforeDraw(SkinControl& control) override { m_deferred.RunFor(&control); }
  bool OnCommand(WORD id, WORD notification) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class DialogUpdateView;
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
  SkinControl* ControlById(int id);
  // Moves the keyboard focus to `control` as Tab would, making it the default button.
  void FocusControl(HWND control);
  void DescribeForAssistiveTechnology();
  void DeferSpinnerFrames(double scale);
  void LoadText(const char16_t* key, char16_t* buffer, std::size_t capacity) const;
  TextLookup Lookup() const;

  // One row per control of the template: its id and the member behind it, a button or a
  // panel. Attaching, finding (and so laying out, with the layout table's row of the same
  // id) and releasing all walk this one table.
  struct ControlRow {
    int id;
    SkinButton UpdateDialog::*button;
    SkinLabel UpdateDialog::*label;
  };
  static const ControlRow kControls[11];
  SkinControl& Member(const ControlRow& row);

  SkinButton m_btnExit, m_btnClose, m_btnUpdate, m_btnShutdownNow, m_btnShutdownLater;
  SkinLabel m_lblPromptIcon, m_lblIllustration, m_lblCautionIcon, m_lblMessage, m_lblCaution, m_lblSpinner;
  HICON m_hIcon = nullptr;
  std::int32_t m_nLayoutMode = -1;
  std::uint32_t m_nSpinnerFrame = kFirstSpinnerFrame;
  // The busy indicator's frames, decoded once per scale; the pictures of the controls the
  // first frame does not show, decoded after the window is on screen.
  SpinnerFrames m_spinnerFrames;
  DeferredImages m_deferred;
  const RunRequest& m_request;
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
