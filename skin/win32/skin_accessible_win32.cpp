#include "skin/win32/skin_accessible_win32.h"

#include <oleacc.h>

#include <atomic>

#include "platform/win32/com_owners.h"

namespace {

// Not in every SDK's headers: the live-region property of UI Automation, which the
// system's MSAA bridge reads from an annotated window, and its assertive value.
constexpr GUID kLiveSettingProperty = {0xC12BCD8E, 0x2A8E, 0x4950, {0x8A, 0xE7, 0x36, 0x25, 0x11, 0x1D, 0x58, 0xEB}};
constexpr GUID kAccPropServicesInterface = {
    0x6E26E776, 0x04F0, 0x495D, {0x80, 0xE4, 0x33, 0x30, 0x35, 0x2E, 0x31, 0x69}};
constexpr GUID kAccPropServicesClass = {0xB5F8350B, 0x0548, 0x48B1, {0xA6, 0xEE, 0x88, 0xBD, 0x00, 0xB4, 0xA5, 0xE7}};
constexpr long kAssertive = 2;
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT Text(const std::wstring& text, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = ::SysAllocString(text.c_str());
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// The control's object: the system's standard client object of the window for the
// geometry, the parent and navigation, with role, name, state and default action taken
// from the control.
class SkinAccessible final : public IAccessible {
 public:
  SkinAccessible(HWND window, FactsSource facts, ComPtr<IAccessible> standard)
      : window_(window), facts_(facts), standard_(std::move(standard)) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (id == IID_IUnknown || id == IID_IDispatch || id == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // The window it stands for and the (empty) list of children, as the standard object
    // answers them.
    if (id == IID_IOleWindow || id == IID_IEnumVARIANT) return standard_->QueryInterface(id, out);
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: as the standard object.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return standard_->GetIDsOfNames(id, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
    return standard_->Invoke(member, id, locale, flags, parameters, result, exception, argument);
  }

  // IAccessible: what differs from the standard object.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    AccessibleFacts facts{};
    if (!IsSelf(child) || !Read(facts)) return standard_->get_accName(child, name);
    return Text(facts.name, name);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    AccessibleFacts facts{};
    if (!IsSelf(child) || !Read(facts)) return standard_->get_accRole(child, role);
    if (role == nullptr) return E_POINTER;
    role->vt = VT_I4;
    role->lVal = facts.role;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    AccessibleFacts facts{};
    if (!IsSelf(child) || !Read(facts)) return standard_->get_accState(child, state);
    if (state == nullptr) return E_POINTER;
    const bool shown = ::IsWindowVisible(window_) != FALSE, enabled = ::IsWindowEnabled(window_) != FALSE;
    long bits = facts.extraState;
    if (!shown) bits |= STATE_SYSTEM_INVISIBLE;
    if (!enabled) bits |= STATE_SYSTEM_UNAVAILABLE;
    if (facts.focusable && shown && enabled) bits |= STATE_SYSTEM_FOCUSABLE;
    if (::GetFocus() == window_) bits |= STATE_SYSTEM_FOCUSED;
    if (!facts.focusable) bits |= STATE_SYSTEM_READONLY;
    state->vt = VT_I4;
    state->lVal = bits;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    AccessibleFacts facts{};
    if (!IsSelf(child) || !Read(facts)) return standard_->get_accDefaultAction(child, action);
    return Text(facts.pressable ? L"Press" : L"", action);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    AccessibleFacts facts{};
    if (!IsSelf(child) || !Read(facts)) return standard_->accDoDefaultAction(child);
    if (!facts.pressable) return DISP_E_MEMBERNOTFOUND;
    // Only what a person could press: a hidden or greyed button does nothing.
    if (!::IsWindowVisible(window_) || !::IsWindowEnabled(window_)) return E_FAIL;
    const int id = ::GetDlgCtrlID(window_);
    ::PostMessageW(::GetParent(window_), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(window_));
    return S_OK;
  }

  // IAccessible: as the standard object.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return standard_->get_accChildCount(count); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return standard_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return standard_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return standard_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
    return standard_->get_accHelp(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return standard_->get_accKeyboardShortcut(child, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return standard_->get_accFocus(focus); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return standard_->get_accSelection(selection);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long how, VARIANT child) override { return standard_->accSelect(how, child); }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    return standard_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~SkinAccessible() = default;
  // The control's facts now; false once its window is gone.
  bool Read(AccessibleFacts& facts) const { return ::IsWindow(window_) && facts_(window_, facts); }

  HWND window_;
  FactsSource facts_;
  ComPtr<IAccessible> standard_;
  std::atomic<ULONG> references_{1};
};

}  // namespace

LRESULT AnswerGetObject(HWND window, WPARAM flags, FactsSource facts) {
  ComPtr<IAccessible> standard;
  if (FAILED(::CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(standard.put()))) ||
      !standard) {
    return 0;
  }
  ComPtr<IAccessible> object(new SkinAccessible(window, facts, std::move(standard)));
  const LRESULT answer = ::LresultFromObject(__uuidof(IAccessible), flags, object.get());
  return answer < 0 ? 0 : answer;  // a failed HRESULT: let the system answer
}

void MarkAssertiveLiveRegion(HWND window) {
  ComPtr<IAccPropServices> services;
  if (FAILED(::CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, kAccPropServicesInterface,
                                reinterpret_cast<void**>(services.put()))) ||
      !services) {
    return;
  }
  VARIANT value;
  ::VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = kAssertive;
  services->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSettingProperty, value);
}

void AnnounceNameChange(HWND window) { ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF); }

void AnnounceLiveRegion(HWND window) {
  ::NotifyWinEvent(kLiveRegionChanged, window, OBJID_CLIENT, CHILDID_SELF);
  ::NotifyWinEvent(EVENT_SYSTEM_ALERT, window, OBJID_CLIENT, CHILDID_SELF);
}

AccessibleApartment::AccessibleApartment() {
  const HRESULT result = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  entered_ = SUCCEEDED(result);  // S_FALSE too: each success is undone once
}

AccessibleApartment::~AccessibleApartment() {
  if (entered_) ::CoUninitialize();
}
