#pragma once
// The site of one OLE control hosted in a window of ours, the site window: a
// dialog item standing in the control's place, or a window the site makes.
// The site is the control's client site, in-place site and control site, and
// answers its ambient properties through IDispatch; the top-level window
// serves as the in-place frame. The control is activated in place inside the
// site window, fills it and follows its size.
//
// A program adds interfaces to its sites by deriving and overriding
// ExtraInterface (a browser control, for instance, looks for its document
// host interfaces on its client site); its OccManager makes its sites.
//
// A COM object: made with one reference (the creator's), freed at the last
// Release. Close ends the control; the site window's destruction closes it
// too. Focus given to the site window activates the control for input.
// Everything runs on the site window's thread, in a single-threaded
// apartment (OleInitialize).
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <vector>

class OleControlSite : public IOleClientSite,
                       public IOleInPlaceSite,
                       public IOleControlSite,
                       public IDispatch {
public:
  OleControlSite();
  OleControlSite(const OleControlSite&) = delete;
  OleControlSite& operator=(const OleControlSite&) = delete;

  // Creates control `clsid` inside `siteWindow`, loads `state` (a persisted
  // stream; initialises the control new when empty or refused) and activates
  // it in place. False when the control cannot be created or activated: the
  // site window then stays as it was and the site holds no control.
  bool CreateControl(REFCLSID clsid, HWND siteWindow, const std::vector<BYTE>& state = {});
  // Makes a child window of `parent` (blank, with `style`, `rect` in the
  // parent's client coordinates and dialog item `id`) and creates the control
  // in it. On failure the window is destroyed again.
  bool CreateControlWindow(REFCLSID clsid, HWND parent, DWORD style, const RECT& rect, int id);
  // Deactivates and closes the control and lets it go. Safe to repeat.
  void Close();

  // The site whose control lives in `siteWindow`, or null.
  static OleControlSite* FromWindow(HWND siteWindow);
  // Offers a keyboard message for a window inside a site to the control that
  // is active there (IOleInPlaceActiveObject::TranslateAccelerator), as the
  // container's message loop must. True when the control used it up.
  static bool TranslateControlAccelerator(MSG& message);
  HWND SiteWindow() const { return siteWindow_; }
  bool HasControl() const { return control_ != nullptr; }
  bool IsInPlaceActive() const { return inPlaceActive_; }
  // Asks the control for an interface; E_NOINTERFACE when there is no control.
  HRESULT QueryControl(REFIID iid, void** out);
  // The object the control named with IOleInPlaceFrame::SetActiveObject, or null.
  IOleInPlaceActiveObject* ActiveObject() const { return activeObject_; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IOleClientSite
  STDMETHODIMP SaveObject() override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  STDMETHODIMP GetContainer(IOleContainer** container) override;
  STDMETHODIMP ShowObject() override;
  STDMETHODIMP OnShowWindow(BOOL show) override;
  STDMETHODIMP RequestNewObjectLayout() override;

  // IOleWindow, IOleInPlaceSite
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
  STDMETHODIMP CanInPlaceActivate() override;
  STDMETHODIMP OnInPlaceActivate() override;
  STDMETHODIMP OnUIActivate() override;
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) override;
  STDMETHODIMP Scroll(SIZE extent) override;
  STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
  STDMETHODIMP OnInPlaceDeactivate() override;
  STDMETHODIMP DiscardUndoState() override;
  STDMETHODIMP DeactivateAndUndo() override;
  STDMETHODIMP OnPosRectChange(LPCRECT position) override;

  // IOleControlSite
  STDMETHODIMP OnControlInfoChanged() override;
  STDMETHODIMP LockInPlaceActive(BOOL lock) override;
  STDMETHODIMP GetExtendedControl(IDispatch** extended) override;
  STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
  STDMETHODIMP TranslateAccelerator(MSG* message, DWORD modifiers) override;
  STDMETHODIMP OnFocus(BOOL gotFocus) override;
  STDMETHODIMP ShowPropertyFrame() override;

  // IDispatch: the ambient properties (property gets only).
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                      VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

protected:
  virtual ~OleControlSite();
  // An interface a derived site adds (not AddRef'ed), or null.
  virtual void* ExtraInterface(REFIID) { return nullptr; }
  // Fills `value` with ambient property `id`; false when the site has none.
  // User mode is on, the user interface live, no hatching and no grab handles.
  virtual bool AmbientProperty(DISPID id, VARIANT* value);

private:
  // The top-level window as the control's in-place frame: no menus, no
  // border space, no accelerators. Lives inside the site and counts on it.
  class Frame final : public IOleInPlaceFrame {
  public:
    explicit Frame(OleControlSite& site) : site_(site) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return site_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return site_.Release(); }
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  private:
    OleControlSite& site_;
  };

  static LRESULT CALLBACK SiteWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR subclassId, DWORD_PTR site);
  bool LoadState(const std::vector<BYTE>& state);
  void CloseControl();
  void ActivateForInput();
  void FitControlToSite();
  void SetActiveObject(IOleInPlaceActiveObject* object);
  void ReleaseControl();
  RECT SiteRect() const;

  LONG references_ = 1;
  Frame frame_;
  HWND siteWindow_ = nullptr;
  bool ownsSiteWindow_ = false;
  IOleObject* control_ = nullptr;
  IOleInPlaceObject* inPlaceObject_ = nullptr;
  IOleInPlaceActiveObject* activeObject_ = nullptr;
  bool inPlaceActive_ = false;
};
