#include "framework/dialog.h"

#include <utility>

#include "framework/owners.h"

HINSTANCE ResourceModule() { return ::GetModuleHandleW(nullptr); }

namespace {

// The dialog manager calls this for the messages our subclassed procedure passes on; the
// object has handled whatever it wanted to already.
INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

// A computer-based-training hook sees the dialog window before its first message, the only
// point at which subclassing catches WM_CREATE. It is removed as soon as it has done that.
class Dialog::CreationHook {
 public:
  explicit CreationHook(Dialog& dialog) : outer_(std::exchange(pending_, &dialog)) {
    hook_.reset(::SetWindowsHookExW(WH_CBT, &CreationHook::Procedure, nullptr, ::GetCurrentThreadId()));
    outerHook_ = std::exchange(activeHook_, hook_.get());
  }
  CreationHook(const CreationHook&) = delete;
  CreationHook& operator=(const CreationHook&) = delete;
  ~CreationHook() {
    pending_ = outer_;
    activeHook_ = outerHook_;
  }

 private:
  static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && pending_) {
      Dialog* dialog = std::exchange(pending_, nullptr);
      dialog->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(activeHook_, code, wParam, lParam);
  }

  static thread_local Dialog* pending_;
  static thread_local HHOOK activeHook_;
  Dialog* outer_;
  HHOOK outerHook_ = nullptr;
  UniqueHook hook_;
};

thread_local Dialog* Dialog::CreationHook::pending_ = nullptr;
thread_local HHOOK Dialog::CreationHook::activeHook_ = nullptr;

INT_PTR Dialog::DoModal() {
  modal_ = true;
  CreationHook hook(*this);
  return ::DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), parent_, PassiveDialogProc, 0);
}

bool Dialog::Create() {
  modal_ = false;
  HWND window = nullptr;
  {
    CreationHook hook(*this);
    window = ::CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), parent_, PassiveDialogProc, 0);
  }
  return window != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
  if (modal_)
    ::EndDialog(hwnd(), result);
  else
    ::DestroyWindow(hwnd());
}

BOOL Dialog::OnInitDialog() {
  DoDataExchange();
  return TRUE;
}

bool Dialog::AttachControl(int id, Window& control) { return control.SubclassWindow(::GetDlgItem(hwnd(), id)); }

bool Dialog::OnCommand(WORD id, WORD notification) {
  if (notification != BN_CLICKED) return false;
  if (id == IDOK) {
    OnOK();
    return true;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

LRESULT Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? 0 : Default();
    default: return Default();
  }
}
