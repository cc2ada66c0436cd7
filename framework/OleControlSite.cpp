#include "OleControlSite.h"

#include <commctrl.h>
#include <olectl.h>

#include "ModuleInstance.h"
#include "SwallowedException.h"
#include "WindowClasses.h"

namespace {

const wchar_t kSiteProperty[] = L"HaulboxOleControlSite";
const wchar_t kSiteWindowClass[] = L"HaulboxOleControlSiteWindow";
constexpr UINT_PTR kSiteSubclassId = 0x0C5E;
constexpr LONG kHimetricPerInch = 2540;

template <class I>
void ReleaseAndClear(I*& pointer) {
  if (!pointer) return;
  I* held = pointer;
  pointer = nullptr;  // cleared first: Release may call back into the site
  held->Release();
}

// The parent of a child window; null for a top-level window (not its owner).
HWND ParentOfChild(HWND window) {
  return (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) ? GetAncestor(window, GA_PARENT) : nullptr;
}

LONG ScreenPixelsPerInch(int axis) {
  HDC screen = GetDC(nullptr);
  LONG pixels = screen ? GetDeviceCaps(screen, axis) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return pixels > 0 ? pixels : 96;
}

}  // namespace

OleControlSite::OleControlSite() : frame_(*this) {}

OleControlSite::~OleControlSite() { CloseControl(); }

bool OleControlSite::CreateControl(REFCLSID clsid, HWND siteWindow, const std::vector<BYTE>& state) {
  if (control_ || !siteWindow) return false;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              reinterpret_cast<void**>(&control_)))) {
    control_ = nullptr;
    return false;
  }
  if (!SetWindowSubclass(siteWindow, SiteWindowProc, kSiteSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    ReleaseAndClear(control_);
    return false;
  }
  siteWindow_ = siteWindow;
  // The site holds itself while its window is subclassed; Close lets go.
  AddRef();
  SetPropW(siteWindow_, kSiteProperty, this);
  // The control's window must not be painted over by the site window's background.
  SetWindowLongPtrW(siteWindow_, GWL_STYLE, GetWindowLongPtrW(siteWindow_, GWL_STYLE) | WS_CLIPCHILDREN);

  RECT rect = SiteRect();
  bool created = SUCCEEDED(control_->SetClientSite(this)) && LoadState(state) &&
                 SUCCEEDED(control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, siteWindow_, &rect));
  if (created && !inPlaceObject_) {
    control_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlaceObject_));
  }
  if (!created || !inPlaceObject_) {
    Close();
    return false;
  }
  FitControlToSite();
  return true;
}

bool OleControlSite::CreateControlWindow(REFCLSID clsid, HWND parent, DWORD style, const RECT& rect, int id) {
  RegisterPlaceholderControlClass(kSiteWindowClass);
  HWND window = CreateWindowExW(0, kSiteWindowClass, L"", style | WS_CHILD | WS_CLIPCHILDREN, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), nullptr);
  if (!window) return false;
  if (CreateControl(clsid, window)) {
    ownsSiteWindow_ = true;
    return true;
  }
  DestroyWindow(window);
  return false;
}

bool OleControlSite::LoadState(const std::vector<BYTE>& state) {
  IPersistStreamInit* persist = nullptr;
  if (FAILED(control_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
    return true;  // a control without a stream state starts as it is
  }
  HRESULT loaded = E_FAIL;
  if (!state.empty()) {
    IStream* stream = nullptr;
    if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
      ULONG written = 0;
      LARGE_INTEGER start = {};
      if (SUCCEEDED(stream->Write(state.data(), static_cast<ULONG>(state.size()), &written)) &&
          written == state.size() && SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) {
        loaded = persist->Load(stream);
      }
      stream->Release();
    }
  }
  // A state the control refuses leaves it as a new one.
  if (FAILED(loaded)) loaded = persist->InitNew();
  persist->Release();
  return SUCCEEDED(loaded);
}

void OleControlSite::Close() {
  // A nested close (the site window destroyed while the control ends) must
  // not free the site under this one.
  AddRef();
  CloseControl();
  Release();
}

void OleControlSite::CloseControl() {
  IOleObject* control = control_;
  control_ = nullptr;
  if (control) {
    if (inPlaceObject_) inPlaceObject_->InPlaceDeactivate();
    control->Close(OLECLOSE_NOSAVE);
    control->SetClientSite(nullptr);
  }
  SetActiveObject(nullptr);
  ReleaseAndClear(inPlaceObject_);
  if (control) control->Release();
  inPlaceActive_ = false;

  HWND window = siteWindow_;
  if (!window) return;
  siteWindow_ = nullptr;
  RemoveWindowSubclass(window, SiteWindowProc, kSiteSubclassId);
  RemovePropW(window, kSiteProperty);
  if (ownsSiteWindow_ && IsWindow(window)) DestroyWindow(window);
  ownsSiteWindow_ = false;
  Release();  // the window's hold, taken in CreateControl
}

OleControlSite* OleControlSite::FromWindow(HWND siteWindow) {
  return siteWindow ? static_cast<OleControlSite*>(GetPropW(siteWindow, kSiteProperty)) : nullptr;
}

bool OleControlSite::TranslateControlAccelerator(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  for (HWND window = message.hwnd; window; window = ParentOfChild(window)) {
    OleControlSite* site = FromWindow(window);
    if (!site) continue;
    IOleInPlaceActiveObject* active = site->activeObject_;
    if (!active) return false;
    active->AddRef();  // the control may deactivate itself meanwhile
    bool used = active->TranslateAccelerator(&message) == S_OK;
    active->Release();
    return used;
  }
  return false;
}

HRESULT OleControlSite::QueryControl(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return control_ ? control_->QueryInterface(iid, out) : E_NOINTERFACE;
}

RECT OleControlSite::SiteRect() const {
  RECT rect = {};
  if (siteWindow_) GetClientRect(siteWindow_, &rect);
  return rect;
}

void OleControlSite::FitControlToSite() {
  if (!inPlaceObject_) return;
  RECT rect = SiteRect();
  inPlaceObject_->SetObjectRects(&rect, &rect);
}

void OleControlSite::ActivateForInput() {
  // Focus reaching the site window (a click or Tab) goes on to the control.
  if (!control_) return;
  RECT rect = SiteRect();
  control_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, this, 0, siteWindow_, &rect);
}

void OleControlSite::SetActiveObject(IOleInPlaceActiveObject* object) {
  if (object) object->AddRef();
  ReleaseAndClear(activeObject_);
  activeObject_ = object;
}

LRESULT CALLBACK OleControlSite::SiteWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR, DWORD_PTR site) {
  try {
    auto* self = reinterpret_cast<OleControlSite*>(site);
    if (message == WM_SIZE) {
      self->FitControlToSite();
    } else if (message == WM_SETFOCUS) {
      self->ActivateForInput();
    } else if (message == WM_DESTROY) {
      // The control's windows are children of this one and go with it.
      self->ownsSiteWindow_ = false;
      self->Close();
    }
  } catch (const std::exception& failure) {
    TraceSwallowedException(L"control site window", message, failure.what());
  } catch (...) {
    TraceSwallowedException(L"control site window", message, nullptr);
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

// IUnknown

STDMETHODIMP OleControlSite::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
    *out = static_cast<IOleClientSite*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
    *out = static_cast<IOleInPlaceSite*>(this);
  } else if (iid == IID_IOleControlSite) {
    *out = static_cast<IOleControlSite*>(this);
  } else if (iid == IID_IDispatch) {
    *out = static_cast<IDispatch*>(this);
  } else {
    try {
      *out = ExtraInterface(iid);
    } catch (...) {
      TraceSwallowedException(L"control site interface", 0, nullptr);
      *out = nullptr;
    }
  }
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) OleControlSite::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) OleControlSite::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

// IOleClientSite

STDMETHODIMP OleControlSite::SaveObject() { return S_OK; }

STDMETHODIMP OleControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP OleControlSite::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP OleControlSite::ShowObject() { return S_OK; }
STDMETHODIMP OleControlSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP OleControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

// IOleWindow, IOleInPlaceSite

STDMETHODIMP OleControlSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = siteWindow_;
  return siteWindow_ ? S_OK : E_FAIL;
}

STDMETHODIMP OleControlSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP OleControlSite::CanInPlaceActivate() { return siteWindow_ ? S_OK : S_FALSE; }

STDMETHODIMP OleControlSite::OnInPlaceActivate() {
  inPlaceActive_ = true;
  if (!inPlaceObject_ && control_) {
    control_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlaceObject_));
  }
  return S_OK;
}

STDMETHODIMP OleControlSite::OnUIActivate() { return S_OK; }

STDMETHODIMP OleControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                              LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) {
  if (!frame || !document || !position || !clip || !frameInfo) return E_POINTER;
  *frame = &frame_;
  frame_.AddRef();
  *document = nullptr;  // the frame is the document window too
  *position = SiteRect();
  *clip = *position;
  frameInfo->fMDIApp = FALSE;
  frameInfo->hwndFrame = siteWindow_ ? GetAncestor(siteWindow_, GA_ROOT) : nullptr;
  frameInfo->haccel = nullptr;
  frameInfo->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP OleControlSite::Scroll(SIZE) { return E_NOTIMPL; }
STDMETHODIMP OleControlSite::OnUIDeactivate(BOOL) { return S_OK; }

STDMETHODIMP OleControlSite::OnInPlaceDeactivate() {
  inPlaceActive_ = false;
  return S_OK;
}

STDMETHODIMP OleControlSite::DiscardUndoState() { return S_OK; }
STDMETHODIMP OleControlSite::DeactivateAndUndo() {
  return inPlaceObject_ ? inPlaceObject_->UIDeactivate() : S_OK;
}

STDMETHODIMP OleControlSite::OnPosRectChange(LPCRECT) {
  // The control stays where the site window is.
  FitControlToSite();
  return S_OK;
}

// IOleControlSite

STDMETHODIMP OleControlSite::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP OleControlSite::LockInPlaceActive(BOOL) { return S_OK; }

STDMETHODIMP OleControlSite::GetExtendedControl(IDispatch** extended) {
  if (extended) *extended = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP OleControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
  if (!himetric || !container) return E_POINTER;
  const LONG perInchX = ScreenPixelsPerInch(LOGPIXELSX);
  const LONG perInchY = ScreenPixelsPerInch(LOGPIXELSY);
  if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
    container->x = static_cast<float>(MulDiv(himetric->x, perInchX, kHimetricPerInch));
    container->y = static_cast<float>(MulDiv(himetric->y, perInchY, kHimetricPerInch));
  } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
    himetric->x = MulDiv(static_cast<int>(container->x), kHimetricPerInch, perInchX);
    himetric->y = MulDiv(static_cast<int>(container->y), kHimetricPerInch, perInchY);
  } else {
    return E_INVALIDARG;
  }
  return S_OK;
}

STDMETHODIMP OleControlSite::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }
STDMETHODIMP OleControlSite::OnFocus(BOOL) { return S_OK; }
STDMETHODIMP OleControlSite::ShowPropertyFrame() { return E_NOTIMPL; }

// IDispatch

STDMETHODIMP OleControlSite::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP OleControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP OleControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
  for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP OleControlSite::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                    EXCEPINFO*, UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  VARIANT value;
  VariantInit(&value);
  try {
    if (!AmbientProperty(member, &value)) return DISP_E_MEMBERNOTFOUND;
  } catch (...) {
    TraceSwallowedException(L"control site ambient property", 0, nullptr);
    VariantClear(&value);
    return DISP_E_EXCEPTION;
  }
  if (result) {
    *result = value;
  } else {
    VariantClear(&value);
  }
  return S_OK;
}

bool OleControlSite::AmbientProperty(DISPID id, VARIANT* value) {
  V_VT(value) = VT_BOOL;
  switch (id) {
    case DISPID_AMBIENT_USERMODE: V_BOOL(value) = VARIANT_TRUE; return true;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_SHOWGRABHANDLES: V_BOOL(value) = VARIANT_FALSE; return true;
    default: V_VT(value) = VT_EMPTY; return false;
  }
}

// Frame

STDMETHODIMP OleControlSite::Frame::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceUIWindow ||
      iid == IID_IOleInPlaceFrame) {
    *out = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP OleControlSite::Frame::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = site_.siteWindow_ ? GetAncestor(site_.siteWindow_, GA_ROOT) : nullptr;
  return *window ? S_OK : E_FAIL;
}

STDMETHODIMP OleControlSite::Frame::SetBorderSpace(LPCBORDERWIDTHS widths) {
  // No tool space: only "none wanted" is accepted.
  const bool none = !widths || (!widths->left && !widths->top && !widths->right && !widths->bottom);
  return none ? S_OK : INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP OleControlSite::Frame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  site_.SetActiveObject(object);
  return S_OK;
}
