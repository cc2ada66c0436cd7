// The control in a container as a browser hosts it: a top-level window with
// a site (client site, in-place site, in-place frame) creates the control
// from the DLL's class object, activates it in place, lets it paint and
// reads the pixels back; draws it through IViewObject; persists it; quick
// activation, class information and aggregation. No registration needed.
#include <gtest/gtest.h>

#include <ocidl.h>
#include <olectl.h>
#include <objsafe.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "Dib32.h"
#include "WebControlTestSupport.h"

namespace {

const DWORD kMiscStatus = 0x20191;
const wchar_t kContainerClass[] = L"HaulboxTestContainer";
const COLORREF kContainerColour = RGB(0, 128, 128);

using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

template <class F>
F Export(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Dispatches the thread's messages until none has come for 100 ms (at most
// two seconds).
void FlushEvents() {
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= 2000) return;
    DWORD wait = std::min<DWORD>(100, 2000 - elapsed);
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT) == WAIT_TIMEOUT) return;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

std::string RectText(const RECT& r) {
  return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
         std::to_string(r.bottom) + "}";
}

// A reference-counted test object; the count is readable for leak checks.
class Counted {
public:
  ULONG Refs() const { return static_cast<ULONG>(refs_); }

protected:
  virtual ~Counted() = default;
  ULONG DoAddRef() { return InterlockedIncrement(&refs_); }
  ULONG DoRelease() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
  }

private:
  LONG refs_ = 1;
};

// The container's site for one control, recording what the control asks of
// it. Its frame is itself; it has no separate document window.
class TestSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame, public Counted {
public:
  TestSite(HWND window, const RECT& position) : window_(window), position_(position) {}

  std::vector<std::string> calls;
  bool refuseInPlace = false;
  IOleInPlaceActiveObject* activeObject = nullptr;

  int Count(const std::string& call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }
  // Position of the first `call` in the record, or -1.
  int Index(const std::string& call) const {
    auto found = std::find(calls.begin(), calls.end(), call);
    return found == calls.end() ? -1 : static_cast<int>(found - calls.begin());
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
      *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
      *out = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
      *out = static_cast<IOleInPlaceFrame*>(this);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return DoAddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return DoRelease(); }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return Record("SaveObject", S_OK); }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    *moniker = nullptr;
    return Record("GetMoniker", E_NOTIMPL);
  }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return Record("GetContainer", E_NOINTERFACE);
  }
  STDMETHODIMP ShowObject() override { return Record("ShowObject", S_OK); }
  STDMETHODIMP OnShowWindow(BOOL) override { return Record("OnShowWindow", S_OK); }
  STDMETHODIMP RequestNewObjectLayout() override { return Record("RequestNewObjectLayout", E_NOTIMPL); }

  // IOleWindow
  STDMETHODIMP GetWindow(HWND* window) override {
    *window = window_;
    return Record("GetWindow", S_OK);
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return Record("ContextSensitiveHelp", E_NOTIMPL); }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override { return Record("CanInPlaceActivate", refuseInPlace ? S_FALSE : S_OK); }
  STDMETHODIMP OnInPlaceActivate() override { return Record("OnInPlaceActivate", S_OK); }
  STDMETHODIMP OnUIActivate() override { return Record("OnUIActivate", S_OK); }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    *frame = this;
    AddRef();
    *document = nullptr;
    *position = position_;
    GetClientRect(window_, clip);
    info->fMDIApp = FALSE;
    info->hwndFrame = window_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return Record("GetWindowContext", S_OK);
  }
  STDMETHODIMP Scroll(SIZE) override { return Record("Scroll", E_NOTIMPL); }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return Record("OnUIDeactivate", S_OK); }
  STDMETHODIMP OnInPlaceDeactivate() override { return Record("OnInPlaceDeactivate", S_OK); }
  STDMETHODIMP DiscardUndoState() override { return Record("DiscardUndoState", S_OK); }
  STDMETHODIMP DeactivateAndUndo() override { return Record("DeactivateAndUndo", S_OK); }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return Record("OnPosRectChange", S_OK); }

  // IOleInPlaceUIWindow
  STDMETHODIMP GetBorder(LPRECT border) override {
    GetClientRect(window_, border);
    return Record("GetBorder", S_OK);
  }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return Record("RequestBorderSpace", S_OK); }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return Record("SetBorderSpace", S_OK); }
  // Holds the active object as a frame does, to route keys to it.
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
    if (object) object->AddRef();
    if (activeObject) activeObject->Release();
    activeObject = object;
    return Record(object ? "SetActiveObject(object)" : "SetActiveObject(null)", S_OK);
  }

  // IOleInPlaceFrame
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return Record("InsertMenus", E_NOTIMPL); }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return Record("SetMenu", S_OK); }
  STDMETHODIMP RemoveMenus(HMENU) override { return Record("RemoveMenus", E_NOTIMPL); }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return Record("SetStatusText", S_OK); }
  STDMETHODIMP EnableModeless(BOOL) override { return Record("EnableModeless", S_OK); }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return Record("TranslateAccelerator", S_FALSE); }

private:
  ~TestSite() override {
    if (activeObject) activeObject->Release();
  }
  HRESULT Record(const char* call, HRESULT result) {
    calls.push_back(call);
    return result;
  }

  HWND window_;
  RECT position_;
};

// A container's view sink: counts view changes; any other call is a failure.
class TestViewSink final : public IAdviseSinkEx, public Counted {
public:
  int viewChanges = 0;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IAdviseSink && iid != IID_IAdviseSinkEx) return E_NOINTERFACE;
    *out = static_cast<IAdviseSinkEx*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return DoAddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return DoRelease(); }
  void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override { ADD_FAILURE() << "OnDataChange"; }
  void STDMETHODCALLTYPE OnViewChange(DWORD aspect, LONG) override {
    EXPECT_EQ(static_cast<DWORD>(DVASPECT_CONTENT), aspect);
    ++viewChanges;
  }
  void STDMETHODCALLTYPE OnRename(IMoniker*) override { ADD_FAILURE() << "OnRename"; }
  void STDMETHODCALLTYPE OnSave() override { ADD_FAILURE() << "OnSave"; }
  void STDMETHODCALLTYPE OnClose() override { ADD_FAILURE() << "OnClose"; }
  void STDMETHODCALLTYPE OnViewStatusChange(DWORD) override { ADD_FAILURE() << "OnViewStatusChange"; }

private:
  ~TestViewSink() override = default;
};

// A property bag the control must not touch: it has no properties.
class UntouchablePropertyBag final : public IPropertyBag, public Counted {
public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IPropertyBag) return E_NOINTERFACE;
    *out = static_cast<IPropertyBag*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return DoAddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return DoRelease(); }
  STDMETHODIMP Read(LPCOLESTR name, VARIANT*, IErrorLog*) override {
    ADD_FAILURE() << "property read: " << testing::PrintToString(std::wstring(name));
    return E_INVALIDARG;
  }
  STDMETHODIMP Write(LPCOLESTR name, VARIANT*) override {
    ADD_FAILURE() << "property written: " << testing::PrintToString(std::wstring(name));
    return E_FAIL;
  }

private:
  ~UntouchablePropertyBag() override = default;
};

// An object that aggregates the control: answers IUnknown itself and
// everything else through the control's inner unknown.
class TestOuter final : public IUnknown, public Counted {
public:
  IUnknown* inner = nullptr;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown) {
      *out = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    if (!inner) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return inner->QueryInterface(iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return DoAddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return DoRelease(); }

private:
  ~TestOuter() override {
    if (inner) inner->Release();
  }
};

// The pixels of a device context's rectangle, read through a 32-bit DIB.
class Pixels {
public:
  Pixels(HDC source, int width, int height) : width_(width), height_(height), bits_(width * height) {
    BITMAPINFO info = harness::TopDownDib32(width, height);
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD* words = static_cast<const DWORD*>(bits);
    for (int i = 0; i < width * height; ++i)
      bits_[i] = RGB((words[i] >> 16) & 0xff, (words[i] >> 8) & 0xff, words[i] & 0xff);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
  }

  COLORREF At(int x, int y) const { return bits_[y * width_ + x]; }
  int Width() const { return width_; }
  int Height() const { return height_; }

private:
  int width_;
  int height_;
  std::vector<COLORREF> bits_;
};

std::string ColourText(COLORREF c) {
  char text[16];
  snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

bool IsDark(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 300; }

// What the control paints within `bounds` of `image`: a black frame on the
// edge, white inside, and its name in dark pixels centred on the middle and
// standing on the horizontal centre line. `outside`, when given, is the
// colour that must remain around the bounds.
void ExpectControlPicture(const Pixels& image, const RECT& bounds, const COLORREF* outside, int line) {
  SCOPED_TRACE(testing::Message() << "picture checked at line " << line << ", bounds " << RectText(bounds));
  const int midX = (bounds.left + bounds.right) / 2;
  const int midY = (bounds.top + bounds.bottom) / 2;
  const POINT frame[] = {{bounds.left, bounds.top + 4},      {bounds.left, midY + 20},
                         {bounds.right - 1, bounds.top + 4}, {bounds.right - 1, midY + 20},
                         {bounds.left + 4, bounds.top},      {bounds.right - 5, bounds.top},
                         {bounds.left + 4, bounds.bottom - 1}, {bounds.right - 5, bounds.bottom - 1}};
  for (POINT p : frame)
    EXPECT_EQ(RGB(0, 0, 0), image.At(p.x, p.y)) << "frame at " << p.x << "," << p.y << ": "
                                                << ColourText(image.At(p.x, p.y));
  const POINT inside[] = {{bounds.left + 3, bounds.top + 3},
                          {bounds.right - 4, bounds.top + 3},
                          {bounds.left + 3, bounds.bottom - 4},
                          {bounds.right - 4, bounds.bottom - 4},
                          {bounds.left + 3, midY}};
  for (POINT p : inside)
    EXPECT_EQ(RGB(255, 255, 255), image.At(p.x, p.y)) << "background at " << p.x << "," << p.y << ": "
                                                      << ColourText(image.At(p.x, p.y));
  if (outside) {
    const POINT around[] = {{bounds.left - 2, midY}, {bounds.right + 1, midY}, {midX, bounds.top - 2},
                            {midX, bounds.bottom + 1}};
    for (POINT p : around)
      EXPECT_EQ(*outside, image.At(p.x, p.y)) << "outside at " << p.x << "," << p.y << ": "
                                              << ColourText(image.At(p.x, p.y));
  }

  // The text: every dark pixel clear of the frame.
  RECT text = {bounds.right, bounds.bottom, bounds.left, bounds.top};
  int dark = 0;
  for (int y = bounds.top + 2; y < bounds.bottom - 2; ++y)
    for (int x = bounds.left + 2; x < bounds.right - 2; ++x)
      if (IsDark(image.At(x, y))) {
        ++dark;
        text.left = std::min<LONG>(text.left, x);
        text.right = std::max<LONG>(text.right, x + 1);
        text.top = std::min<LONG>(text.top, y);
        text.bottom = std::max<LONG>(text.bottom, y + 1);
      }
  ASSERT_GT(dark, 40) << "too few text pixels";
  SCOPED_TRACE("text pixels within " + RectText(text));
  EXPECT_GT(text.right - text.left, 60) << "the text is wider than that";
  EXPECT_LE(std::abs((text.left + text.right) / 2 - midX), 3) << "centred on x " << midX;
  // Centred on the base line: the letters stand above it, only the
  // underscore reaches below.
  EXPECT_LE(text.top, midY - 6) << "centre line y " << midY;
  EXPECT_GT(text.top, midY - 30) << "centre line y " << midY;
  EXPECT_LE(text.bottom, midY + 4) << "centre line y " << midY;
}

LRESULT CALLBACK ContainerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

class OleInit {
public:
  OleInit() : hr_(OleInitialize(nullptr)) {}
  ~OleInit() {
    if (SUCCEEDED(hr_)) OleUninitialize();
  }
  OleInit(const OleInit&) = delete;
  OleInit& operator=(const OleInit&) = delete;

private:
  HRESULT hr_;
};

class ContainerTest : public testing::Test {
protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryW(ControlDllPath().c_str());
    ASSERT_NE(nullptr, module_) << GetLastError();
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ContainerProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = CreateSolidBrush(kContainerColour);
    windowClass.lpszClassName = kContainerClass;
    ASSERT_NE(0, RegisterClassExW(&windowClass)) << GetLastError();
    // One container for all tests: destroying a mapped top-level window
    // costs Wine about two seconds without a window manager. Placed away
    // from the screen's corner, where other programs' windows open.
    container_ = CreateWindowExW(0, kContainerClass, L"Web_CTL container", WS_POPUP | WS_VISIBLE, 480, 360, 400,
                                 260, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, container_) << GetLastError();
  }
  static void TearDownTestSuite() {
    if (container_) DestroyWindow(container_);
    container_ = nullptr;
    UnregisterClassW(kContainerClass, GetModuleHandleW(nullptr));
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(nullptr, module_);
    canUnloadNow_ = Export<CanUnloadNow>(module_, "DllCanUnloadNow");
    auto getClassObject = Export<GetClassObject>(module_, "DllGetClassObject");
    ASSERT_EQ(S_OK, getClassObject(kClsidWeb_CTL, IID_IClassFactory, reinterpret_cast<void**>(&factory_)));
    ASSERT_NE(nullptr, container_);
    site_ = new TestSite(container_, kPosition);
    ASSERT_EQ(S_OK, factory_->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&object_)));
  }

  void TearDown() override {
    if (object_) {
      EXPECT_EQ(S_OK, object_->Close(OLECLOSE_NOSAVE));
      EXPECT_EQ(S_OK, object_->SetClientSite(nullptr));
      EXPECT_EQ(0u, object_->Release()) << "references left on the control";
    }
    if (site_) {
      EXPECT_EQ(1u, site_->Refs()) << "references left on the site";
      EXPECT_EQ(nullptr, site_->activeObject);
      site_->Release();
    }
    if (factory_) factory_->Release();
    FlushEvents();
    EXPECT_EQ(nullptr, GetWindow(container_, GW_CHILD)) << "a control window left in the container";
    while (HWND child = GetWindow(container_, GW_CHILD)) DestroyWindow(child);
    if (canUnloadNow_) {
      EXPECT_EQ(S_OK, canUnloadNow_()) << "objects left alive in the module";
    }
  }

  template <class I>
  I* Query(IUnknown* object, REFIID iid) {
    I* result = nullptr;
    HRESULT hr = object->QueryInterface(iid, reinterpret_cast<void**>(&result));
    EXPECT_EQ(S_OK, hr) << std::hex << hr << " for " << GuidText(iid);
    return result;
  }

  IOleObject* NewControl() {
    IOleObject* object = nullptr;
    EXPECT_EQ(S_OK, factory_->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&object)));
    return object;
  }

  HRESULT Activate(LONG verb) {
    RECT position = kPosition;
    return object_->DoVerb(verb, nullptr, site_, 0, container_, &position);
  }

  HWND ControlWindow() {
    IOleInPlaceObject* inPlace = Query<IOleInPlaceObject>(object_, IID_IOleInPlaceObject);
    HWND window = nullptr;
    if (inPlace) {
      inPlace->GetWindow(&window);
      inPlace->Release();
    }
    return window;
  }

  // The control window's rectangle in the container's client coordinates.
  RECT PlaceInContainer(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, container_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  static constexpr RECT kPosition = {20, 30, 320, 130};
  static HMODULE module_;
  static HWND container_;
  OleInit ole_;
  CanUnloadNow canUnloadNow_ = nullptr;
  IClassFactory* factory_ = nullptr;
  TestSite* site_ = nullptr;
  IOleObject* object_ = nullptr;
};

HMODULE ContainerTest::module_ = nullptr;
HWND ContainerTest::container_ = nullptr;

TEST_F(ContainerTest, InPlaceActivationMakesAChildWindowWhereTheSiteSays) {
  // The control's misc status asks for the client site first.
  RECT position = kPosition;
  EXPECT_EQ(E_UNEXPECTED, object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, container_, &position));
  EXPECT_EQ(nullptr, ControlWindow());

  ASSERT_EQ(S_OK, object_->SetClientSite(site_));
  ASSERT_EQ(S_OK, Activate(OLEIVERB_INPLACEACTIVATE));
  EXPECT_EQ(1, site_->Count("CanInPlaceActivate"));
  EXPECT_EQ(1, site_->Count("OnInPlaceActivate"));
  EXPECT_LT(site_->Index("CanInPlaceActivate"), site_->Index("OnInPlaceActivate"));
  EXPECT_EQ(1, site_->Count("GetWindowContext"));
  EXPECT_EQ(0, site_->Count("OnUIActivate")) << "in-place activation is not UI activation";

  HWND window = ControlWindow();
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(container_, GetParent(window));
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const LONG wanted = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  EXPECT_EQ(wanted, style & wanted) << std::hex << style;
  EXPECT_EQ(0, style & (WS_POPUP | WS_BORDER | WS_CAPTION)) << std::hex << style;
  EXPECT_EQ(RectText(kPosition), RectText(PlaceInContainer(window)));

  IOleInPlaceObject* inPlace = Query<IOleInPlaceObject>(object_, IID_IOleInPlaceObject);
  ASSERT_NE(nullptr, inPlace);
  const RECT moved = {40, 50, 240, 150};
  RECT clip;
  GetClientRect(container_, &clip);
  EXPECT_EQ(S_OK, inPlace->SetObjectRects(&moved, &clip));
  EXPECT_EQ(RectText(moved), RectText(PlaceInContainer(window)));

  // Hidden and shown again by verb; a second activation keeps the window.
  EXPECT_EQ(S_OK, Activate(OLEIVERB_HIDE));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(S_OK, Activate(OLEIVERB_SHOW));
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(window, ControlWindow());
  EXPECT_EQ(1, site_->Count("OnInPlaceActivate"));

  EXPECT_EQ(S_OK, inPlace->InPlaceDeactivate());
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(1, site_->Count("OnInPlaceDeactivate"));
  HWND none = reinterpret_cast<HWND>(1);
  EXPECT_EQ(E_FAIL, inPlace->GetWindow(&none));
  EXPECT_EQ(nullptr, none);

  // Activated again after a deactivation.
  ASSERT_EQ(S_OK, Activate(OLEIVERB_INPLACEACTIVATE));
  EXPECT_EQ(2, site_->Count("OnInPlaceActivate"));
  EXPECT_NE(nullptr, ControlWindow());
  inPlace->Release();
}

// A container that destroys its window without deactivating the control
// first takes the control's window with it.
TEST_F(ContainerTest, WindowDestroyedWithoutDeactivationIsNotHandedOutAgain) {
  ASSERT_EQ(S_OK, object_->SetClientSite(site_));
  ASSERT_EQ(S_OK, Activate(OLEIVERB_INPLACEACTIVATE));
  HWND window = ControlWindow();
  ASSERT_NE(nullptr, window);
  DestroyWindow(window);
  EXPECT_EQ(nullptr, ControlWindow());
  IOleInPlaceObject* inPlace = Query<IOleInPlaceObject>(object_, IID_IOleInPlaceObject);
  ASSERT_NE(nullptr, inPlace);
  EXPECT_EQ(S_OK, inPlace->InPlaceDeactivate());
  ASSERT_EQ(S_OK, Activate(OLEIVERB_INPLACEACTIVATE));
  HWND again = ControlWindow();
  EXPECT_TRUE(again && IsWindow(again));
  inPlace->Release();
}

TEST_F(ContainerTest, SiteThatRefusesInPlaceGetsNoWindow) {
  site_->refuseInPlace = true;
  ASSERT_EQ(S_OK, object_->SetClientSite(site_));
  EXPECT_TRUE(FAILED(Activate(OLEIVERB_INPLACEACTIVATE)));
  EXPECT_EQ(0, site_->Count("OnInPlaceActivate"));
  EXPECT_EQ(0, site_->Count("GetWindowContext"));
  EXPECT_EQ(nullptr, ControlWindow());
}

TEST_F(ContainerTest, UiActivationTellsTheFrameAndDeactivationUndoesIt) {
  ASSERT_EQ(S_OK, object_->SetClientSite(site_));
  ASSERT_EQ(S_OK, Activate(OLEIVERB_UIACTIVATE));
  EXPECT_EQ(1, site_->Count("OnInPlaceActivate"));
  EXPECT_EQ(1, site_->Count("OnUIActivate"));
  EXPECT_EQ(1, site_->Count("SetActiveObject(object)"));
  ASSERT_NE(nullptr, site_->activeObject);
  // The active object is the control itself.
  IUnknown* fromFrame = Query<IUnknown>(site_->activeObject, IID_IUnknown);
  IUnknown* fromControl = Query<IUnknown>(object_, IID_IUnknown);
  EXPECT_EQ(fromControl, fromFrame);
  fromFrame->Release();
  fromControl->Release();
  HWND window = ControlWindow();
  EXPECT_EQ(window, GetFocus());
  EXPECT_EQ(S_FALSE, site_->activeObject->TranslateAccelerator(nullptr));

  IOleInPlaceObject* inPlace = Query<IOleInPlaceObject>(object_, IID_IOleInPlaceObject);
  ASSERT_NE(nullptr, inPlace);
  EXPECT_EQ(S_OK, inPlace->UIDeactivate());
  EXPECT_EQ(1, site_->Count("OnUIDeactivate"));
  EXPECT_EQ(1, site_->Count("SetActiveObject(null)"));
  EXPECT_EQ(nullptr, site_->activeObject);
  EXPECT_TRUE(IsWindow(window)) << "still in place after UI deactivation";
  inPlace->Release();

  // Close from UI-active: both deactivations, the window goes.
  ASSERT_EQ(S_OK, Activate(OLEIVERB_PRIMARY));
  EXPECT_EQ(2, site_->Count("OnUIActivate"));
  window = ControlWindow();
  EXPECT_EQ(S_OK, object_->Close(OLECLOSE_NOSAVE));
  EXPECT_EQ(2, site_->Count("OnUIDeactivate"));
  EXPECT_EQ(1, site_->Count("OnInPlaceDeactivate"));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(nullptr, site_->activeObject);
  EXPECT_EQ(0, site_->Count("SaveObject")) << "closed without saving";
}

TEST_F(ContainerTest, WindowPaintsFrameAndCentredName) {
  ASSERT_EQ(S_OK, object_->SetClientSite(site_));
  ASSERT_EQ(S_OK, Activate(OLEIVERB_INPLACEACTIVATE));
  HWND window = ControlWindow();
  ASSERT_NE(nullptr, window);
  RedrawWindow(container_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  FlushEvents();

  RECT client;
  GetClientRect(container_, &client);
  HDC dc = GetDC(container_);
  Pixels image(dc, client.right, client.bottom);
  ReleaseDC(container_, dc);
  ExpectControlPicture(image, kPosition, &kContainerColour, __LINE__);

  // For a screenshot of the container: keeps it on the screen a while.
  if (const char* hold = std::getenv("HAULBOX_CONTAINER_HOLD_MS")) {
    const DWORD until = GetTickCount() + std::min<DWORD>(std::strtoul(hold, nullptr, 10), 60000);
    while (static_cast<LONG>(until - GetTickCount()) > 0) FlushEvents();
  }
}

TEST_F(ContainerTest, ViewObjectDrawsIntoAMemoryDc) {
  IViewObject2* view = Query<IViewObject2>(object_, IID_IViewObject2);
  ASSERT_NE(nullptr, view);
  const COLORREF grey = RGB(128, 128, 128);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 260, 170);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all = {0, 0, 260, 170};
  HBRUSH brush = CreateSolidBrush(grey);
  FillRect(memory, &all, brush);
  DeleteObject(brush);

  const RECTL bounds = {10, 20, 250, 150};
  EXPECT_EQ(S_OK, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr, nullptr, 0));
  Pixels image(memory, 260, 170);
  const RECT rect = {bounds.left, bounds.top, bounds.right, bounds.bottom};
  ExpectControlPicture(image, rect, &grey, __LINE__);

  EXPECT_EQ(E_INVALIDARG, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr,
                                     nullptr, 0));
  EXPECT_EQ(DV_E_DVASPECT, view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr,
                                      nullptr, 0));
  SIZEL extent = {};
  EXPECT_EQ(S_OK, view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent));
  EXPECT_GT(extent.cx, 0);
  EXPECT_GT(extent.cy, 0);

  IViewObjectEx* viewEx = Query<IViewObjectEx>(object_, IID_IViewObjectEx);
  ASSERT_NE(nullptr, viewEx);
  DWORD status = 0;
  EXPECT_EQ(S_OK, viewEx->GetViewStatus(&status));
  EXPECT_EQ(static_cast<DWORD>(VIEWSTATUS_OPAQUE), status & VIEWSTATUS_OPAQUE) << "it fills its bounds";
  DWORD hit = 0;
  EXPECT_EQ(S_OK, viewEx->QueryHitPoint(DVASPECT_CONTENT, &rect, POINT{100, 100}, 0, &hit));
  EXPECT_EQ(static_cast<DWORD>(HITRESULT_HIT), hit);
  EXPECT_EQ(S_OK, viewEx->QueryHitPoint(DVASPECT_CONTENT, &rect, POINT{5, 5}, 0, &hit));
  EXPECT_EQ(static_cast<DWORD>(HITRESULT_OUTSIDE), hit);
  viewEx->Release();

  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  view->Release();
}

TEST_F(ContainerTest, StreamRoundTripKeepsTheExtent) {
  IPersistStreamInit* persist = Query<IPersistStreamInit>(object_, IID_IPersistStreamInit);
  ASSERT_NE(nullptr, persist);
  CLSID clsid = {};
  EXPECT_EQ(S_OK, persist->GetClassID(&clsid));
  EXPECT_EQ(GuidText(kClsidWeb_CTL), GuidText(clsid));
  EXPECT_EQ(S_OK, persist->InitNew());
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  SIZEL extent = {1234, 567};
  EXPECT_EQ(S_OK, object_->SetExtent(DVASPECT_CONTENT, &extent));
  EXPECT_EQ(S_OK, persist->IsDirty());

  IStream* stream = nullptr;
  ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
  EXPECT_EQ(S_OK, persist->Save(stream, TRUE));
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  ULARGE_INTEGER written = {};
  ULARGE_INTEGER most = {};
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &written);
  EXPECT_EQ(S_OK, persist->GetSizeMax(&most));
  EXPECT_GT(written.QuadPart, 0u);
  EXPECT_LE(written.QuadPart, most.QuadPart);
  persist->Release();

  IOleObject* copy = NewControl();
  ASSERT_NE(nullptr, copy);
  IPersistStreamInit* loader = Query<IPersistStreamInit>(copy, IID_IPersistStreamInit);
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(S_OK, loader->Load(stream));
  SIZEL loaded = {};
  EXPECT_EQ(S_OK, copy->GetExtent(DVASPECT_CONTENT, &loaded));
  EXPECT_EQ(1234, loaded.cx);
  EXPECT_EQ(567, loaded.cy);
  EXPECT_EQ(S_FALSE, loader->IsDirty());

  // A stream cut short is refused and changes nothing.
  ULARGE_INTEGER half;
  half.QuadPart = written.QuadPart / 2;
  stream->SetSize(half);
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
  SIZEL other = {999, 888};
  copy->SetExtent(DVASPECT_CONTENT, &other);
  EXPECT_TRUE(FAILED(loader->Load(stream)));
  EXPECT_EQ(S_OK, copy->GetExtent(DVASPECT_CONTENT, &loaded));
  EXPECT_EQ(999, loaded.cx);
  loader->Release();
  EXPECT_EQ(0u, copy->Release());
  stream->Release();
}

TEST_F(ContainerTest, StorageRoundTripKeepsTheExtent) {
  IStorage* storage = nullptr;
  ASSERT_EQ(S_OK, StgCreateDocfile(nullptr,
                                   STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
                                   &storage));
  IPersistStorage* persist = Query<IPersistStorage>(object_, IID_IPersistStorage);
  ASSERT_NE(nullptr, persist);
  EXPECT_EQ(S_OK, persist->InitNew(storage));
  SIZEL extent = {4321, 765};
  EXPECT_EQ(S_OK, object_->SetExtent(DVASPECT_CONTENT, &extent));
  EXPECT_EQ(S_OK, persist->IsDirty());
  EXPECT_EQ(S_OK, persist->Save(storage, TRUE));
  EXPECT_EQ(S_OK, persist->SaveCompleted(nullptr));
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  EXPECT_EQ(S_OK, persist->HandsOffStorage());
  persist->Release();

  IOleObject* copy = NewControl();
  ASSERT_NE(nullptr, copy);
  IPersistStorage* loader = Query<IPersistStorage>(copy, IID_IPersistStorage);
  EXPECT_EQ(S_OK, loader->Load(storage));
  SIZEL loaded = {};
  EXPECT_EQ(S_OK, copy->GetExtent(DVASPECT_CONTENT, &loaded));
  EXPECT_EQ(4321, loaded.cx);
  EXPECT_EQ(765, loaded.cy);

  // A storage the control never saved into.
  IStorage* empty = nullptr;
  ASSERT_EQ(S_OK, StgCreateDocfile(nullptr,
                                   STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
                                   &empty));
  EXPECT_TRUE(FAILED(loader->Load(empty)));
  empty->Release();
  loader->Release();
  EXPECT_EQ(0u, copy->Release());
  storage->Release();
}

TEST_F(ContainerTest, PropertyBagLoadsAndSavesNothing) {
  IPersistPropertyBag* persist = Query<IPersistPropertyBag>(object_, IID_IPersistPropertyBag);
  ASSERT_NE(nullptr, persist);
  CLSID clsid = {};
  EXPECT_EQ(S_OK, persist->GetClassID(&clsid));
  EXPECT_EQ(GuidText(kClsidWeb_CTL), GuidText(clsid));
  auto* bag = new UntouchablePropertyBag;
  EXPECT_EQ(S_OK, persist->InitNew());
  EXPECT_EQ(S_OK, persist->Load(bag, nullptr));
  EXPECT_EQ(S_OK, persist->Save(bag, TRUE, TRUE));
  EXPECT_EQ(E_POINTER, persist->Load(nullptr, nullptr));
  EXPECT_EQ(1u, bag->Refs());
  bag->Release();
  persist->Release();
}

TEST_F(ContainerTest, QuickActivationSitesTheControlAndAnswersItsStatus) {
  IQuickActivate* quick = Query<IQuickActivate>(object_, IID_IQuickActivate);
  ASSERT_NE(nullptr, quick);
  auto* sink = new TestViewSink;
  QACONTAINER container = {};
  container.cbSize = sizeof container;
  container.pClientSite = site_;
  container.pAdviseSink = sink;
  QACONTROL control = {};
  control.cbSize = sizeof control;
  ASSERT_EQ(S_OK, quick->QuickActivate(&container, &control));
  EXPECT_EQ(kMiscStatus, control.dwMiscStatus);
  EXPECT_EQ(static_cast<DWORD>(VIEWSTATUS_OPAQUE), control.dwViewStatus & VIEWSTATUS_OPAQUE);
  EXPECT_EQ(0u, control.dwEventCookie) << "no events";

  IOleClientSite* site = nullptr;
  EXPECT_EQ(S_OK, object_->GetClientSite(&site));
  EXPECT_EQ(static_cast<IOleClientSite*>(site_), site);
  if (site) site->Release();
  IViewObject* view = Query<IViewObject>(object_, IID_IViewObject);
  IAdviseSink* advised = nullptr;
  EXPECT_EQ(S_OK, view->GetAdvise(nullptr, nullptr, &advised));
  EXPECT_EQ(static_cast<IAdviseSink*>(sink), advised);
  if (advised) advised->Release();

  // A new extent is a view change.
  SIZEL extent = {3000, 1000};
  EXPECT_EQ(S_OK, quick->SetContentExtent(&extent));
  EXPECT_EQ(1, sink->viewChanges);
  SIZEL read = {};
  EXPECT_EQ(S_OK, quick->GetContentExtent(&read));
  EXPECT_EQ(3000, read.cx);
  EXPECT_EQ(S_OK, object_->GetExtent(DVASPECT_CONTENT, &read));
  EXPECT_EQ(1000, read.cy);

  // Sited this way, it activates in place as a browser then asks.
  ASSERT_EQ(S_OK, Activate(OLEIVERB_INPLACEACTIVATE));
  EXPECT_NE(nullptr, ControlWindow());

  control.cbSize = sizeof control - 1;
  EXPECT_EQ(E_INVALIDARG, quick->QuickActivate(&container, &control));
  EXPECT_EQ(S_OK, view->SetAdvise(DVASPECT_CONTENT, 0, nullptr));
  view->Release();
  quick->Release();
  EXPECT_EQ(1u, sink->Refs());
  sink->Release();
}

TEST_F(ContainerTest, DescribesItselfAsTheWeb_CTLCoclass) {
  IProvideClassInfo2* classInfo = Query<IProvideClassInfo2>(object_, IID_IProvideClassInfo2);
  ASSERT_NE(nullptr, classInfo);
  ITypeInfo* info = nullptr;
  ASSERT_EQ(S_OK, classInfo->GetClassInfo(&info));
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
  EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
  EXPECT_EQ(GuidText(kClsidWeb_CTL), GuidText(attributes->guid));
  info->ReleaseTypeAttr(attributes);
  BSTR name = nullptr;
  ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr));
  EXPECT_EQ(std::wstring(L"Web_CTL"), std::wstring(name));
  SysFreeString(name);
  info->Release();
  GUID source = kClsidWeb_CTL;
  EXPECT_EQ(E_FAIL, classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source)) << "no event source";
  EXPECT_EQ(GuidText(GUID_NULL), GuidText(source));
  EXPECT_EQ(E_INVALIDARG, classInfo->GetGUID(99, &source));
  classInfo->Release();

  DWORD status = 0;
  EXPECT_EQ(S_OK, object_->GetMiscStatus(DVASPECT_CONTENT, &status));
  EXPECT_EQ(kMiscStatus, status) << std::hex << status;
  EXPECT_EQ(S_OK, object_->GetMiscStatus(DVASPECT_ICON, &status));
  EXPECT_EQ(0u, status) << std::hex << status;
  CLSID clsid = {};
  EXPECT_EQ(S_OK, object_->GetUserClassID(&clsid));
  EXPECT_EQ(GuidText(kClsidWeb_CTL), GuidText(clsid));

  ISpecifyPropertyPages* pages = Query<ISpecifyPropertyPages>(object_, IID_ISpecifyPropertyPages);
  ASSERT_NE(nullptr, pages);
  CAUUID list = {5, reinterpret_cast<GUID*>(8)};
  EXPECT_EQ(S_OK, pages->GetPages(&list));
  EXPECT_EQ(0u, list.cElems);
  EXPECT_EQ(nullptr, list.pElems);
  pages->Release();

  IOleControl* control = Query<IOleControl>(object_, IID_IOleControl);
  ASSERT_NE(nullptr, control);
  EXPECT_EQ(S_OK, control->OnAmbientPropertyChange(DISPID_UNKNOWN));
  EXPECT_EQ(S_OK, control->FreezeEvents(TRUE));
  EXPECT_EQ(S_OK, control->FreezeEvents(FALSE));
  control->Release();
}

TEST_F(ContainerTest, DataObjectHasNoFormats) {
  IDataObject* data = Query<IDataObject>(object_, IID_IDataObject);
  ASSERT_NE(nullptr, data);
  FORMATETC text = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  EXPECT_EQ(DV_E_FORMATETC, data->QueryGetData(&text));
  STGMEDIUM medium = {};
  EXPECT_EQ(DV_E_FORMATETC, data->GetData(&text, &medium));
  IEnumFORMATETC* formats = nullptr;
  ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
  ASSERT_NE(nullptr, formats);
  FORMATETC got[2];
  ULONG fetched = 7;
  EXPECT_EQ(S_FALSE, formats->Next(2, got, &fetched));
  EXPECT_EQ(0u, fetched);
  IEnumFORMATETC* copy = nullptr;
  EXPECT_EQ(S_OK, formats->Clone(&copy));
  ASSERT_NE(nullptr, copy);
  EXPECT_EQ(S_FALSE, copy->Next(1, got, nullptr));
  copy->Release();
  formats->Release();
  DWORD connection = 0;
  EXPECT_EQ(OLE_E_ADVISENOTSUPPORTED, data->DAdvise(&text, 0, nullptr, &connection));
  data->Release();
}

TEST_F(ContainerTest, AnswersOnlyItsInterfaces) {
  const IID* answered[] = {&IID_IUnknown,         &IID_IDispatch,         &kIidIWeb_CTL,
                           &IID_IOleObject,       &IID_IOleWindow,        &IID_IOleInPlaceObject,
                           &IID_IOleInPlaceActiveObject, &IID_IOleControl, &IID_IViewObject,
                           &IID_IViewObject2,     &IID_IViewObjectEx,     &IID_IPersist,
                           &IID_IPersistStreamInit, &IID_IPersistStorage, &IID_IPersistPropertyBag,
                           &IID_IQuickActivate,   &IID_IDataObject,       &IID_IProvideClassInfo,
                           &IID_IProvideClassInfo2, &IID_ISpecifyPropertyPages};
  IUnknown* identity = Query<IUnknown>(object_, IID_IUnknown);
  for (const IID* iid : answered) {
    IUnknown* unknown = Query<IUnknown>(object_, *iid);
    if (!unknown) continue;
    IUnknown* back = Query<IUnknown>(unknown, IID_IUnknown);
    EXPECT_EQ(identity, back) << "one identity through " << GuidText(*iid);
    back->Release();
    unknown->Release();
  }
  identity->Release();
  // Safe for scripting through the registry categories only; windowed only.
  for (const IID* iid : {&IID_IObjectSafety, &IID_IOleInPlaceObjectWindowless, &IID_IPersistStream,
                         &IID_IConnectionPointContainer}) {
    IUnknown* unknown = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(E_NOINTERFACE, object_->QueryInterface(*iid, reinterpret_cast<void**>(&unknown))) << GuidText(*iid);
    EXPECT_EQ(nullptr, unknown);
  }
}

TEST_F(ContainerTest, AggregatedControlDelegatesToItsOuterObject) {
  EXPECT_EQ(0u, object_->Release());
  object_ = nullptr;
  auto* outer = new TestOuter;
  IUnknown* inner = nullptr;
  IOleObject* refused = reinterpret_cast<IOleObject*>(1);
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory_->CreateInstance(outer, IID_IOleObject, reinterpret_cast<void**>(&refused)));
  EXPECT_EQ(nullptr, refused);
  ASSERT_EQ(S_OK, factory_->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
  ASSERT_NE(nullptr, inner);
  EXPECT_EQ(1u, outer->Refs()) << "the inner object holds no reference on its outer";
  outer->inner = inner;

  // The inner unknown does not delegate.
  IUnknown* self = Query<IUnknown>(inner, IID_IUnknown);
  EXPECT_EQ(inner, self);
  self->Release();

  IOleObject* object = Query<IOleObject>(outer, IID_IOleObject);
  ASSERT_NE(nullptr, object);
  EXPECT_EQ(2u, outer->Refs()) << "the control's interfaces count on the outer object";
  IUnknown* identity = Query<IUnknown>(object, IID_IUnknown);
  EXPECT_EQ(static_cast<IUnknown*>(outer), identity);
  identity->Release();

  // The dispatch interface and the in-place machinery work through it.
  IDispatch* dispatch = Query<IDispatch>(object, IID_IDispatch);
  ASSERT_NE(nullptr, dispatch);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"ActiveXCheck")};
  DISPID id = 0;
  EXPECT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, names, 1, 0x409, &id));
  EXPECT_EQ(4, id);
  dispatch->Release();
  ASSERT_EQ(S_OK, object->SetClientSite(site_));
  RECT position = kPosition;
  ASSERT_EQ(S_OK, object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site_, 0, container_, &position));
  EXPECT_EQ(1, site_->Count("SetActiveObject(object)"));
  EXPECT_EQ(S_OK, object->Close(OLECLOSE_NOSAVE));
  EXPECT_EQ(S_OK, object->SetClientSite(nullptr));
  EXPECT_EQ(2u, outer->Refs());
  object->Release();

  factory_->Release();
  factory_ = nullptr;
  EXPECT_EQ(S_FALSE, canUnloadNow_());
  EXPECT_EQ(0u, outer->Release());
  EXPECT_EQ(S_OK, canUnloadNow_());
}

TEST_F(ContainerTest, ReleasedWithoutCloseLeavesNoWindowNorWindowClass) {
  ASSERT_EQ(S_OK, object_->SetClientSite(site_));
  ASSERT_EQ(S_OK, Activate(OLEIVERB_INPLACEACTIVATE));
  HWND window = ControlWindow();
  ASSERT_TRUE(IsWindow(window));
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  // A container that drops the control without closing it.
  EXPECT_EQ(0u, object_->Release());
  object_ = nullptr;
  EXPECT_FALSE(IsWindow(window));
  // The module's window class goes with its last window: it must not outlive
  // the DLL.
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  EXPECT_FALSE(GetClassInfoExW(module_, className, &windowClass)) << testing::PrintToString(std::wstring(className));
}

}  // namespace
