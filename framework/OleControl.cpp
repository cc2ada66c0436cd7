#include "OleControl.h"

#include "ComServer.h"
#include "ModuleInstance.h"
#include "SwallowedException.h"

#include <cstddef>
#include <exception>
#include <mutex>
#include <new>

namespace {

const wchar_t kWindowClass[] = L"Haulbox_OleControl";
const DWORD kWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
const DWORD kViewStatus = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
const wchar_t kContentsStream[] = L"Contents";

// The window class lives as long as a control window does: a DLL's classes
// are not unregistered when it unloads, and a class left behind would point
// into the unloaded module. Recursive because creating or destroying a
// window may call into the container, which may create or close a control.
std::recursive_mutex g_windowClassLock;

// Holds the object alive while it calls out to a container that may drop
// its last reference.
class KeepAlive {
public:
  explicit KeepAlive(IUnknown* object) : object_(object) { object_->AddRef(); }
  ~KeepAlive() { object_->Release(); }
  KeepAlive(const KeepAlive&) = delete;
  KeepAlive& operator=(const KeepAlive&) = delete;

private:
  IUnknown* object_;
};

template <class I>
void ReleaseAndClear(I*& pointer) {
  if (pointer) {
    I* old = pointer;
    pointer = nullptr;
    old->Release();
  }
}

template <class I>
void Replace(I*& pointer, I* value) {
  if (value) value->AddRef();
  ReleaseAndClear(pointer);
  pointer = value;
}

// The enumerator of a data object with no formats.
class EmptyFormatEnumerator final : public ComObject<IEnumFORMATETC, IID_IEnumFORMATETC> {
public:
  STDMETHODIMP Next(ULONG count, FORMATETC*, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    return count == 0 ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override { return count == 0 ? S_OK : S_FALSE; }
  STDMETHODIMP Reset() override { return S_OK; }
  STDMETHODIMP Clone(IEnumFORMATETC** copy) override {
    if (!copy) return E_POINTER;
    *copy = new (std::nothrow) EmptyFormatEnumerator;
    return *copy ? S_OK : E_OUTOFMEMORY;
  }

private:
  ~EmptyFormatEnumerator() override = default;  // only Release deletes it
};

}  // namespace

// IUnknown

STDMETHODIMP OleControl::InnerUnknown::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  OleControl* c = owner_;
  if (iid == IID_IUnknown)
    *out = this;
  else if (void* own = c->OwnInterface(iid))
    *out = own;
  else if (iid == IID_IOleObject)
    *out = static_cast<IOleObject*>(c);
  else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
    *out = static_cast<IOleInPlaceObject*>(c);
  else if (iid == IID_IOleInPlaceActiveObject)
    *out = static_cast<IOleInPlaceActiveObject*>(c);
  else if (iid == IID_IOleControl)
    *out = static_cast<IOleControl*>(c);
  else if (iid == IID_IViewObject || iid == IID_IViewObject2 || iid == IID_IViewObjectEx)
    *out = static_cast<IViewObjectEx*>(c);
  else if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
    *out = static_cast<IPersistStreamInit*>(c);
  else if (iid == IID_IPersistStorage)
    *out = static_cast<IPersistStorage*>(c);
  else if (iid == IID_IPersistPropertyBag)
    *out = static_cast<IPersistPropertyBag*>(c);
  else if (iid == IID_IQuickActivate)
    *out = static_cast<IQuickActivate*>(c);
  else if (iid == IID_IDataObject)
    *out = static_cast<IDataObject*>(c);
  else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
    *out = static_cast<IProvideClassInfo2*>(c);
  else if (iid == IID_ISpecifyPropertyPages)
    *out = static_cast<ISpecifyPropertyPages*>(c);
  if (!*out) return E_NOINTERFACE;
  // Every interface but this one counts on the controlling unknown.
  static_cast<IUnknown*>(*out)->AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) OleControl::InnerUnknown::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) OleControl::InnerUnknown::Release() {
  LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete owner_;
  return left;
}

OleControl::OleControl(IUnknown* outer, REFCLSID clsid)
    : inner_(this), outer_(outer ? outer : &inner_), clsid_(clsid) {}

OleControl::~OleControl() {
  DestroyControlWindow();
  ReleaseInPlaceParts();
  ReleaseAndClear(inPlaceSite_);
  ReleaseAndClear(clientSite_);
  ReleaseAndClear(oleAdvise_);
  ReleaseAndClear(viewSink_);
}

STDMETHODIMP OleControl::QueryInterface(REFIID iid, void** out) { return outer_->QueryInterface(iid, out); }

STDMETHODIMP_(ULONG) OleControl::AddRef() { return outer_->AddRef(); }

STDMETHODIMP_(ULONG) OleControl::Release() { return outer_->Release(); }

// The window

HRESULT OleControl::CreateControlWindow(HWND parent, const RECT& position) {
  std::lock_guard<std::recursive_mutex> lock(g_windowClassLock);
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    return HRESULT_FROM_WIN32(GetLastError());
  window_ = CreateWindowExW(0, kWindowClass, L"", kWindowStyle, position.left, position.top,
                            position.right - position.left, position.bottom - position.top, parent, nullptr,
                            ModuleInstance(), this);
  if (!window_) {
    DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
  }
  return S_OK;
}

void OleControl::DestroyControlWindow() {
  if (!window_) return;
  std::lock_guard<std::recursive_mutex> lock(g_windowClassLock);
  HWND window = window_;
  window_ = nullptr;
  DestroyWindow(window);
  // Fails, as it should, while another control's window exists.
  UnregisterClassW(kWindowClass, ModuleInstance());
}

LRESULT CALLBACK OleControl::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* control = reinterpret_cast<OleControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
      case WM_PAINT:
        if (!control) break;
        control->Paint(window);
        return 0;
      case WM_ERASEBKGND:
        // OnDraw covers the whole client area.
        return 1;
      case WM_NCDESTROY:
        // Destroyed with its parent, without deactivation: a later
        // activation must create a new window.
        if (control && control->window_ == window) control->window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    }
  } catch (const std::exception& error) {
    TraceSwallowedException(L"control window procedure", message, error.what());
  } catch (...) {
    TraceSwallowedException(L"control window procedure", message, nullptr);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void OleControl::Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (!dc) return;
  RECT client;
  GetClientRect(window, &client);
  int saved = SaveDC(dc);
  OnDraw(dc, client);
  RestoreDC(dc, saved);
  EndPaint(window, &paint);
}

// Activation

HRESULT OleControl::InPlaceActivate(LONG verb) {
  if (!clientSite_) return E_UNEXPECTED;
  if (!inPlaceSite_) {
    IOleInPlaceSite* site = nullptr;
    HRESULT hr = clientSite_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&site));
    if (FAILED(hr)) return hr;
    hr = site->CanInPlaceActivate();
    if (hr == S_OK) hr = site->OnInPlaceActivate();
    if (hr != S_OK) {
      site->Release();
      // S_FALSE: the container does not want the control in place.
      return FAILED(hr) ? hr : E_FAIL;
    }
    inPlaceSite_ = site;
  }
  if (!window_) {
    HWND parent = nullptr;
    HRESULT hr = inPlaceSite_->GetWindow(&parent);
    if (FAILED(hr)) return hr;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    RECT position = {};
    RECT clip = {};
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof frameInfo;
    hr = inPlaceSite_->GetWindowContext(&frame, &document, &position, &clip, &frameInfo);
    if (FAILED(hr)) return hr;
    ReleaseInPlaceParts();
    frame_ = frame;
    document_ = document;
    hr = CreateControlWindow(parent, position);
    if (FAILED(hr)) return hr;
  } else {
    ShowWindow(window_, SW_SHOWNA);
  }
  if (verb == OLEIVERB_PRIMARY || verb == OLEIVERB_UIACTIVATE) return UIActivate();
  return S_OK;
}

HRESULT OleControl::UIActivate() {
  if (uiActive_) return S_OK;
  uiActive_ = true;
  inPlaceSite_->OnUIActivate();
  IOleInPlaceActiveObject* active = this;
  if (frame_) frame_->SetActiveObject(active, nullptr);
  if (document_) document_->SetActiveObject(active, nullptr);
  if (frame_) frame_->SetBorderSpace(nullptr);
  if (document_) document_->SetBorderSpace(nullptr);
  if (window_) SetFocus(window_);
  return S_OK;
}

void OleControl::ReleaseInPlaceParts() {
  ReleaseAndClear(frame_);
  ReleaseAndClear(document_);
}

void OleControl::NotifyViewChange() {
  if (viewSink_ && (viewAspects_ & DVASPECT_CONTENT)) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
  if (window_) InvalidateRect(window_, nullptr, TRUE);
}

// IOleObject

STDMETHODIMP OleControl::SetClientSite(IOleClientSite* site) {
  Replace(clientSite_, site);
  return S_OK;
}

STDMETHODIMP OleControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = clientSite_;
  if (clientSite_) clientSite_->AddRef();
  return S_OK;
}

STDMETHODIMP OleControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP OleControl::Close(DWORD saveOption) {
  KeepAlive alive(outer_);
  InPlaceDeactivate();
  if (dirty_ && clientSite_ && (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE))
    clientSite_->SaveObject();
  if (oleAdvise_) oleAdvise_->SendOnClose();
  return S_OK;
}

STDMETHODIMP OleControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP OleControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP OleControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP OleControl::GetClipboardData(DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP OleControl::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) {
  KeepAlive alive(outer_);
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      return InPlaceActivate(verb);
    case OLEIVERB_HIDE:
      UIDeactivate();
      if (window_) ShowWindow(window_, SW_HIDE);
      return S_OK;
    case OLEIVERB_DISCARDUNDOSTATE:
      return S_OK;
    default:
      if (verb > 0) {
        // A verb the control does not list acts as the primary verb.
        HRESULT hr = InPlaceActivate(OLEIVERB_PRIMARY);
        return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
      }
      return E_NOTIMPL;
  }
}

STDMETHODIMP OleControl::EnumVerbs(IEnumOLEVERB** verbs) { return OleRegEnumVerbs(clsid_, verbs); }

STDMETHODIMP OleControl::Update() { return S_OK; }

STDMETHODIMP OleControl::IsUpToDate() { return S_OK; }

STDMETHODIMP OleControl::GetUserClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

STDMETHODIMP OleControl::GetUserType(DWORD form, LPOLESTR* userType) {
  return OleRegGetUserType(clsid_, form, userType);
}

STDMETHODIMP OleControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  if (size->cx != extent_.cx || size->cy != extent_.cy) {
    extent_ = *size;
    dirty_ = true;
    NotifyViewChange();
  }
  return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

HRESULT OleControl::AdviseHolder() {
  return oleAdvise_ ? S_OK : CreateOleAdviseHolder(&oleAdvise_);
}

STDMETHODIMP OleControl::Advise(IAdviseSink* sink, DWORD* connection) {
  HRESULT hr = AdviseHolder();
  return FAILED(hr) ? hr : oleAdvise_->Advise(sink, connection);
}

STDMETHODIMP OleControl::Unadvise(DWORD connection) {
  return oleAdvise_ ? oleAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

STDMETHODIMP OleControl::EnumAdvise(IEnumSTATDATA** advises) {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  HRESULT hr = AdviseHolder();
  return FAILED(hr) ? hr : oleAdvise_->EnumAdvise(advises);
}

STDMETHODIMP OleControl::GetMiscStatus(DWORD aspect, DWORD* status) {
  if (!status) return E_POINTER;
  *status = aspect == DVASPECT_CONTENT ? kMiscStatus : 0;
  return S_OK;
}

STDMETHODIMP OleControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject

STDMETHODIMP OleControl::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP OleControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP OleControl::InPlaceDeactivate() {
  if (!inPlaceSite_) return S_OK;
  KeepAlive alive(outer_);
  UIDeactivate();
  DestroyControlWindow();
  ReleaseInPlaceParts();
  IOleInPlaceSite* site = inPlaceSite_;
  inPlaceSite_ = nullptr;
  site->OnInPlaceDeactivate();
  site->Release();
  return S_OK;
}

STDMETHODIMP OleControl::UIDeactivate() {
  if (!uiActive_) return S_OK;
  KeepAlive alive(outer_);
  uiActive_ = false;
  if (document_) document_->SetActiveObject(nullptr, nullptr);
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

STDMETHODIMP OleControl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  if (window_)
    MoveWindow(window_, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
  return S_OK;
}

STDMETHODIMP OleControl::ReactivateAndUndo() { return E_NOTIMPL; }

STDMETHODIMP OleControl::TranslateAccelerator(LPMSG) { return S_FALSE; }

STDMETHODIMP OleControl::OnFrameWindowActivate(BOOL) { return S_OK; }

STDMETHODIMP OleControl::OnDocWindowActivate(BOOL) { return S_OK; }

STDMETHODIMP OleControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }

STDMETHODIMP OleControl::EnableModeless(BOOL) { return S_OK; }

// IOleControl

STDMETHODIMP OleControl::GetControlInfo(CONTROLINFO*) { return E_NOTIMPL; }

STDMETHODIMP OleControl::OnMnemonic(MSG*) { return E_NOTIMPL; }

STDMETHODIMP OleControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

STDMETHODIMP OleControl::FreezeEvents(BOOL) { return S_OK; }

// IViewObject, IViewObject2, IViewObjectEx

STDMETHODIMP OleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                              BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  // Without bounds only a windowless control draws; this one has a window.
  if (!dc || !bounds) return E_INVALIDARG;
  return GuardedComCall(L"OleControl::Draw", [this, dc, bounds] {
    RECT rect = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    int saved = SaveDC(dc);
    OnDraw(dc, rect);
    RestoreDC(dc, saved);
    return S_OK;
  });
}

STDMETHODIMP OleControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
  if (!colors) return E_POINTER;
  *colors = nullptr;
  return S_FALSE;
}

STDMETHODIMP OleControl::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }

STDMETHODIMP OleControl::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP OleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  Replace(viewSink_, sink);
  viewAspects_ = aspects;
  viewFlags_ = flags;
  return S_OK;
}

STDMETHODIMP OleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewFlags_;
  if (sink) {
    *sink = viewSink_;
    if (viewSink_) viewSink_->AddRef();
  }
  return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

STDMETHODIMP OleControl::GetRect(DWORD, LPRECTL) { return E_NOTIMPL; }

STDMETHODIMP OleControl::GetViewStatus(DWORD* status) {
  if (!status) return E_POINTER;
  *status = kViewStatus;
  return S_OK;
}

STDMETHODIMP OleControl::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG, DWORD* hitResult) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds || !hitResult) return E_POINTER;
  *hitResult = PtInRect(bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

STDMETHODIMP OleControl::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG, DWORD* hitResult) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds || !location || !hitResult) return E_POINTER;
  RECT overlap;
  *hitResult = IntersectRect(&overlap, bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

STDMETHODIMP OleControl::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) {
  return E_NOTIMPL;
}

// Persistence

STDMETHODIMP OleControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

STDMETHODIMP OleControl::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

STDMETHODIMP OleControl::InitNew() { return S_OK; }

STDMETHODIMP OleControl::Load(LPSTREAM stream) {
  if (!stream) return E_POINTER;
  LONG extent[2] = {};
  ULONG read = 0;
  HRESULT hr = stream->Read(extent, sizeof extent, &read);
  if (FAILED(hr)) return hr;
  if (read != sizeof extent) return E_FAIL;
  extent_.cx = extent[0];
  extent_.cy = extent[1];
  dirty_ = false;
  NotifyViewChange();
  return S_OK;
}

STDMETHODIMP OleControl::Save(LPSTREAM stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  const LONG extent[2] = {extent_.cx, extent_.cy};
  ULONG written = 0;
  HRESULT hr = stream->Write(extent, sizeof extent, &written);
  if (FAILED(hr)) return hr;
  if (written != sizeof extent) return STG_E_WRITEFAULT;
  if (clearDirty) dirty_ = false;
  return S_OK;
}

STDMETHODIMP OleControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 2 * sizeof(LONG);
  return S_OK;
}

STDMETHODIMP OleControl::InitNew(IStorage* storage) { return storage ? S_OK : E_POINTER; }

STDMETHODIMP OleControl::Load(IStorage* storage) {
  if (!storage) return E_POINTER;
  IStream* stream = nullptr;
  HRESULT hr = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
  if (FAILED(hr)) return hr;
  hr = Load(stream);
  stream->Release();
  return hr;
}

STDMETHODIMP OleControl::Save(IStorage* storage, BOOL sameAsLoad) {
  if (!storage) return E_POINTER;
  IStream* stream = nullptr;
  HRESULT hr = storage->CreateStream(kContentsStream, STGM_WRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0,
                                     &stream);
  if (FAILED(hr)) return hr;
  hr = Save(stream, sameAsLoad);
  stream->Release();
  return hr;
}

STDMETHODIMP OleControl::SaveCompleted(IStorage*) { return S_OK; }

STDMETHODIMP OleControl::HandsOffStorage() { return S_OK; }

STDMETHODIMP OleControl::Load(IPropertyBag* bag, IErrorLog*) { return bag ? S_OK : E_POINTER; }

STDMETHODIMP OleControl::Save(IPropertyBag* bag, BOOL, BOOL) { return bag ? S_OK : E_POINTER; }

// IQuickActivate

STDMETHODIMP OleControl::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (!container || !control) return E_POINTER;
  // Older containers pass a shorter QACONTAINER; the site and sink are in all.
  if (container->cbSize < offsetof(QACONTAINER, pPropertyNotifySink) || control->cbSize < sizeof(QACONTROL))
    return E_INVALIDARG;
  SetClientSite(container->pClientSite);
  if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  control->dwMiscStatus = kMiscStatus;
  control->dwViewStatus = kViewStatus;
  control->dwEventCookie = 0;
  control->dwPropNotifyCookie = 0;
  control->dwPointerActivationPolicy = 0;
  return S_OK;
}

STDMETHODIMP OleControl::SetContentExtent(LPSIZEL size) { return SetExtent(DVASPECT_CONTENT, size); }

STDMETHODIMP OleControl::GetContentExtent(LPSIZEL size) { return GetExtent(DVASPECT_CONTENT, size); }

// IDataObject: no formats.

STDMETHODIMP OleControl::GetData(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }

STDMETHODIMP OleControl::GetDataHere(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }

STDMETHODIMP OleControl::QueryGetData(FORMATETC*) { return DV_E_FORMATETC; }

STDMETHODIMP OleControl::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical) {
  if (canonical) canonical->ptd = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP OleControl::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

STDMETHODIMP OleControl::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
  if (!formats) return E_POINTER;
  *formats = nullptr;
  if (direction != DATADIR_GET && direction != DATADIR_SET) return E_INVALIDARG;
  *formats = new (std::nothrow) EmptyFormatEnumerator;
  return *formats ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP OleControl::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }

STDMETHODIMP OleControl::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

STDMETHODIMP OleControl::EnumDAdvise(IEnumSTATDATA** advises) {
  if (advises) *advises = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

// IProvideClassInfo, IProvideClassInfo2

STDMETHODIMP OleControl::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return GuardedComCall(L"OleControl::GetClassInfo", [this, info] { return LoadModuleTypeInfo(clsid_, info); });
}

STDMETHODIMP OleControl::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  *guid = GUID_NULL;
  return kind == GUIDKIND_DEFAULT_SOURCE_DISP_IID ? E_FAIL : E_INVALIDARG;
}

// ISpecifyPropertyPages

STDMETHODIMP OleControl::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  pages->pElems = nullptr;
  return S_OK;
}
