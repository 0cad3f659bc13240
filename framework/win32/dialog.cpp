#include "framework/win32/dialog.h"

#include <utility>

#include "platform/win32/unique_handle.h"

HINSTANCE ResourceModule() { return ::GetModuleHandleW(nullptr); }

namespace {

// The dialog manager calls this for the messages our subclassed procedure passes on; the
// object has handled whatever it wanted to already.
INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

// A computer-based-training hook sees the dialog window before its first message, the only
// point at which subclassing catches WM_CREATE. It unhooks itself once it has done that, so
// the modal loop runs without it.
class Dialog::CreationHook {
 public:
  explicit CreationHook(Dialog& dialog) : dialog_(&dialog), outer_(std::exchange(active_, this)) {
    hook_.reset(::SetWindowsHookExW(WH_CBT, &CreationHook::Procedure, nullptr, ::GetCurrentThreadId()));
  }
  CreationHook(const CreationHook&) = delete;
  CreationHook& operator=(const CreationHook&) = delete;
  ~CreationHook() { active_ = outer_; }

 private:
  static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam) {
    CreationHook* self = active_;
    if (code == HCBT_CREATEWND && self && self->hook_) {
      self->dialog_->SubclassWindow(reinterpret_cast<HWND>(wParam));
      self->hook_.reset();
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static thread_local CreationHook* active_;
  Dialog* dialog_;
  CreationHook* outer_;
  UniqueHook hook_;
};

thread_local Dialog::CreationHook* Dialog::CreationHook::active_ = nullptr;

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
  if (modal_) ::EndDialog(hwnd(), result);
  else ::DestroyWindow(hwnd());
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
