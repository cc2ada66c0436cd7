#pragma once
// OleControl: the interfaces a container needs to create, site, activate in
// place, draw, persist and describe an ActiveX control, without ATL. Each
// method does the least a container expects; what a control adds is its
// drawing (OnDraw) and its own interfaces (OwnInterface, e.g. its dispatch
// interface).
//
// A control derives from its own interface and from OleControl, answers
// IUnknown through OleControl and is created by ClassFactory<T>, which sees
// NonDelegatingUnknown() and so lets the control be aggregated:
//   class CThing : public IThing, public OleControl {
//   public:
//     explicit CThing(IUnknown* outer) : OleControl(outer, CLSID_Thing) {}
//     STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return OleControl::QueryInterface(iid, out); }
//     (AddRef and Release the same way)
//   protected:
//     void* OwnInterface(REFIID iid) override;   // IThing, IDispatch
//     void OnDraw(HDC dc, const RECT& bounds) override;
//   };
//
// In place the control is a child window (WS_CHILD | WS_VISIBLE |
// WS_CLIPSIBLINGS | WS_CLIPCHILDREN) of the site's window, placed where the
// site's rectangles say; it paints with OnDraw. A stream, or a storage's
// stream "Contents", holds the extent (two 32-bit HIMETRIC values, width then
// height); a property bag holds nothing. No data formats, no property pages,
// no events, no mnemonics.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

class OleControl : public IOleObject,
                   public IOleInPlaceObject,
                   public IOleInPlaceActiveObject,
                   public IOleControl,
                   public IViewObjectEx,
                   public IPersistStreamInit,
                   public IPersistStorage,
                   public IPersistPropertyBag,
                   public IQuickActivate,
                   public IDataObject,
                   public IProvideClassInfo2,
                   public ISpecifyPropertyPages {
public:
  // Recompose on resize, can't link inside, inside-out, activate when
  // visible, set client site first: the registry's MiscStatus\1.
  static constexpr DWORD kMiscStatus = 0x20191;
  // The extent of a new control, HIMETRIC (2 inches square).
  static constexpr LONG kDefaultExtent = 5080;

  OleControl(const OleControl&) = delete;
  OleControl& operator=(const OleControl&) = delete;

  // The inner IUnknown, which never delegates: the aggregating object's hold
  // on the control, and the control's identity when it is not aggregated.
  // The object starts with one reference on it.
  IUnknown* NonDelegatingUnknown() { return &inner_; }

  // IUnknown of every interface: delegates to the controlling unknown.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR containerApp, LPCOLESTR containerObject) override;
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite, LONG index, HWND parent,
                      LPCRECT position) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override;
  STDMETHODIMP IsUpToDate() override;
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* userType) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP Unadvise(DWORD connection) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

  // IOleWindow (of IOleInPlaceObject and IOleInPlaceActiveObject)
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;

  // IOleInPlaceObject
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override;

  // IOleInPlaceActiveObject
  STDMETHODIMP TranslateAccelerator(LPMSG message) override;
  STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
  STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
  STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
  STDMETHODIMP EnableModeless(BOOL enable) override;

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG* message) override;
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;

  // IViewObject, IViewObject2, IViewObjectEx
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target, HDC targetInfo, HDC dc,
                    LPCRECTL bounds, LPCRECTL metafileBounds, BOOL(STDMETHODCALLTYPE* proceed)(ULONG_PTR),
                    ULONG_PTR proceedArgument) override;
  STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target, HDC targetInfo,
                           LOGPALETTE** colors) override;
  STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
  STDMETHODIMP Unfreeze(DWORD freeze) override;
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target, LPSIZEL size) override;
  STDMETHODIMP GetRect(DWORD aspect, LPRECTL rect) override;
  STDMETHODIMP GetViewStatus(DWORD* status) override;
  STDMETHODIMP QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG closeHint,
                             DWORD* hitResult) override;
  STDMETHODIMP QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG closeHint,
                            DWORD* hitResult) override;
  STDMETHODIMP GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target, HDC targetInfo,
                                DVEXTENTINFO* extentInfo, LPSIZEL size) override;

  // IPersist, IPersistStreamInit, IPersistStorage, IPersistPropertyBag
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(LPSTREAM stream) override;
  STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew(IStorage* storage) override;
  STDMETHODIMP Load(IStorage* storage) override;
  STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
  STDMETHODIMP SaveCompleted(IStorage* storage) override;
  STDMETHODIMP HandsOffStorage() override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

  // IQuickActivate
  STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  STDMETHODIMP SetContentExtent(LPSIZEL size) override;
  STDMETHODIMP GetContentExtent(LPSIZEL size) override;

  // IDataObject
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP QueryGetData(FORMATETC* format) override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) override;
  STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
  STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP DUnadvise(DWORD connection) override;
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA** advises) override;

  // IProvideClassInfo, IProvideClassInfo2: the coclass `clsid` of the
  // module's type library; there is no default source interface.
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

  // ISpecifyPropertyPages
  STDMETHODIMP GetPages(CAUUID* pages) override;

protected:
  // `outer`: the aggregating object's controlling unknown, or null.
  OleControl(IUnknown* outer, REFCLSID clsid);
  // Destroys the window if the container left it; calls no container.
  virtual ~OleControl();

  // The derived class's own interfaces for `iid` (not AddRef'ed), or null.
  virtual void* OwnInterface(REFIID iid) = 0;
  // Paints the whole control into `bounds` of `dc`: its window's client area
  // or the rectangle of a container's IViewObject::Draw. `dc`'s state need
  // not be restored.
  virtual void OnDraw(HDC dc, const RECT& bounds) = 0;

private:
  class InnerUnknown : public IUnknown {
  public:
    explicit InnerUnknown(OleControl* owner) : owner_(owner) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

  private:
    OleControl* owner_;
    LONG refs_ = 1;
  };

  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HWND window);

  HRESULT InPlaceActivate(LONG verb);
  HRESULT UIActivate();
  HRESULT CreateControlWindow(HWND parent, const RECT& position);
  void DestroyControlWindow();
  void ReleaseInPlaceParts();
  void NotifyViewChange();
  // Creates the IOleObject advise holder on first use.
  HRESULT AdviseHolder();

  InnerUnknown inner_;
  IUnknown* outer_;
  CLSID clsid_;

  IOleClientSite* clientSite_ = nullptr;
  IOleInPlaceSite* inPlaceSite_ = nullptr;
  IOleInPlaceFrame* frame_ = nullptr;
  IOleInPlaceUIWindow* document_ = nullptr;
  IOleAdviseHolder* oleAdvise_ = nullptr;
  IAdviseSink* viewSink_ = nullptr;
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;

  HWND window_ = nullptr;
  bool uiActive_ = false;
  SIZEL extent_ = {kDefaultExtent, kDefaultExtent};
  bool dirty_ = false;
};
