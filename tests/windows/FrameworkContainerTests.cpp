// The control container: a dialog whose template names OLE controls gets
// them created in their items (with the state the template holds), sized
// with them and closed with the dialog; a control nobody provides leaves its
// item blank without a word; the site answers what a control asks of it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <olectl.h>

#include <memory>
#include <string>

#include "Application.h"
#include "ComServer.h"
#include "Dialog.h"
#include "FrameworkTestDialogs.h"
#include "OccManager.h"
#include "OleControl.h"
#include "TextConversion.h"
#include "WindowClasses.h"

namespace {

const wchar_t kTestControlClass[] = L"" TEST_OLE_CONTROL_CLASS;
const wchar_t kUnknownControlClass[] = L"" TEST_UNKNOWN_OLE_CONTROL_CLASS;

CLSID ClassId(const wchar_t* text) {
  CLSID clsid = {};
  CLSIDFromString(text, &clsid);
  return clsid;
}

// What the test control saw, and how many are alive.
struct ControlLog {
  int alive = 0;
  int initNew = 0;
  std::string loaded;
  std::string keysOffered;     // key-down keys offered as accelerators
  std::string keysDispatched;  // key-down keys the control's window received
};
ControlLog g_controls;

class TestControl : public OleControl {
public:
  explicit TestControl(IUnknown* outer) : OleControl(outer, ClassId(kTestControlClass)) { ++g_controls.alive; }
  ~TestControl() override { --g_controls.alive; }

  using OleControl::Load;
  STDMETHODIMP Load(LPSTREAM stream) override {
    char bytes[64] = {};
    ULONG read = 0;
    stream->Read(bytes, sizeof bytes, &read);
    g_controls.loaded.assign(bytes, read);
    return S_OK;
  }
  STDMETHODIMP InitNew() override {
    ++g_controls.initNew;
    return S_OK;
  }
  // Uses up Q; every other key goes on to its window.
  STDMETHODIMP TranslateAccelerator(LPMSG message) override {
    if (message->message != WM_KEYDOWN) return S_FALSE;
    g_controls.keysOffered += static_cast<char>(message->wParam);
    return message->wParam == 'Q' ? S_OK : S_FALSE;
  }

protected:
  void* OwnInterface(REFIID) override { return nullptr; }
  void OnDraw(HDC dc, const RECT& bounds) override {
    FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  }
};

// A site with one interface more (IPersist stands in for any), counting
// sites alive.
int g_sitesAlive = 0;

class ExtendedSite : public OleControlSite, public IPersist {
public:
  ExtendedSite() { ++g_sitesAlive; }
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return OleControlSite::QueryInterface(iid, out); }
  STDMETHODIMP_(ULONG) AddRef() override { return OleControlSite::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return OleControlSite::Release(); }
  STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }

protected:
  ~ExtendedSite() override { --g_sitesAlive; }
  void* ExtraInterface(REFIID iid) override { return iid == IID_IPersist ? static_cast<IPersist*>(this) : nullptr; }
};

std::string GuidText(REFIID iid) {
  wchar_t text[40] = L"";
  StringFromGUID2(iid, text, 40);
  return Narrow(text);
}

class ExtendedOccManager : public OccManager {
public:
  OleControlSite* CreateSite() override { return new ExtendedSite; }
};

// The modeless test dialog, with the items found.
class OleControlsDialog : public Dialog {
public:
  OleControlsDialog() : Dialog(IDD_TEST_OLE_CONTROLS) {}
  HWND ControlItem() const { return Item(IDC_TEST_OLE_CONTROL); }
  HWND UnknownItem() const { return Item(IDC_TEST_UNKNOWN_OLE_CONTROL); }
};

SIZE ClientSize(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

BOOL CALLBACK CountVisibleWindow(HWND window, LPARAM counter) {
  if (IsWindowVisible(window)) ++*reinterpret_cast<DWORD*>(counter);
  return TRUE;
}

DWORD CountThreadWindows() {
  DWORD count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountVisibleWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

class ControlContainer : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    RegisterPlaceholderControlClass(kTestControlClass);
    RegisterPlaceholderControlClass(kUnknownControlClass);
  }

  void SetUp() override {
    ASSERT_TRUE(app_.InitializeOle());
    auto* factory = new ClassFactory<TestControl>;
    ASSERT_EQ(S_OK, CoRegisterClassObject(ClassId(kTestControlClass), factory, CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &registration_));
    factory->Release();
    g_controls = ControlLog();
  }

  void TearDown() override { CoRevokeClassObject(registration_); }

  Application app_;
  DWORD registration_ = 0;
};

TEST_F(ControlContainer, ControlIsCreatedInItsItemWithTheTemplatesStateFollowsItsSizeAndEndsWithTheDialog) {
  app_.SetOccManager(std::make_unique<ExtendedOccManager>());
  {
    OleControlsDialog dialog;
    ASSERT_TRUE(dialog.Create());
    HWND item = dialog.ControlItem();
    ASSERT_NE(nullptr, item);
    OleControlSite* site = OleControlSite::FromWindow(item);
    ASSERT_NE(nullptr, site) << "the item is the control's site window";
    EXPECT_TRUE(site->HasControl());
    EXPECT_TRUE(site->IsInPlaceActive());
    EXPECT_EQ(1, g_controls.alive);
    EXPECT_EQ("HAULBX", g_controls.loaded) << "the template's state is loaded";
    EXPECT_EQ(0, g_controls.initNew);

    HWND control = GetWindow(item, GW_CHILD);
    ASSERT_NE(nullptr, control) << "the control's window lives in the item";
    EXPECT_EQ(ClientSize(item).cx, ClientSize(control).cx);
    EXPECT_EQ(ClientSize(item).cy, ClientSize(control).cy);

    SetWindowPos(item, nullptr, 0, 0, 123, 45, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(123, ClientSize(control).cx) << "the control follows its site";
    EXPECT_EQ(45, ClientSize(control).cy);
    EXPECT_EQ(1, g_sitesAlive);
  }
  EXPECT_EQ(0, g_controls.alive) << "the dialog's end closes and releases the control";
  EXPECT_EQ(0, g_sitesAlive) << "and its site";
}

TEST_F(ControlContainer, ModalDialogClosesItsControlsToo) {
  app_.SetOccManager(std::make_unique<ExtendedOccManager>());
  class EndingDialog : public OleControlsDialog {
  protected:
    BOOL OnInitDialog() override {
      hadControl = OleControlSite::FromWindow(ControlItem()) != nullptr;
      EndDialog(IDOK);
      return TRUE;
    }

  public:
    bool hadControl = false;
  } dialog;
  ASSERT_EQ(IDOK, dialog.DoModal());
  EXPECT_TRUE(dialog.hadControl) << "the controls exist by the time OnInitDialog runs";
  EXPECT_EQ(0, g_controls.alive);
  EXPECT_EQ(0, g_sitesAlive);
}

LRESULT CALLBACK RecordKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_KEYDOWN) g_controls.keysDispatched += static_cast<char>(wParam);
  return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(ControlContainer, ModalLoopOffersKeysToTheActiveControlFirst) {
  app_.SetOccManager(std::make_unique<ExtendedOccManager>());
  class TypingDialog : public OleControlsDialog {
  protected:
    BOOL OnInitDialog() override {
      HWND item = ControlItem();
      OleControlSite* site = OleControlSite::FromWindow(item);
      if (!site) {
        EndDialog(IDABORT);
        return TRUE;
      }
      SetFocus(item);  // as Tab or a click would: the control becomes active for input
      activeAfterFocus = site->ActiveObject() != nullptr;
      HWND controlWindow = GetWindow(item, GW_CHILD);
      SetWindowSubclass(controlWindow, RecordKeys, 1, 0);
      for (char key : std::string("QAQB")) PostMessageW(controlWindow, WM_KEYDOWN, key, 0);
      PostMessageW(Hwnd(), WM_COMMAND, IDOK, 0);
      return FALSE;
    }

  public:
    bool activeAfterFocus = false;
  } dialog;
  ASSERT_EQ(IDOK, dialog.DoModal());
  EXPECT_TRUE(dialog.activeAfterFocus) << "focus on the site activates the control";
  EXPECT_EQ("QAQB", g_controls.keysOffered) << "each key went to the control's accelerators first";
  EXPECT_EQ("AB", g_controls.keysDispatched) << "the keys it used up never reached its window";
}

TEST_F(ControlContainer, ControlNobodyProvidesLeavesItsItemBlankAndSaysNothing) {
  app_.SetOccManager(std::make_unique<ExtendedOccManager>());
  OleControlsDialog dialog;
  ASSERT_TRUE(dialog.Create());
  HWND unknown = dialog.UnknownItem();
  ASSERT_NE(nullptr, unknown) << "the dialog opened";
  EXPECT_EQ(nullptr, OleControlSite::FromWindow(unknown));
  EXPECT_EQ(nullptr, GetWindow(unknown, GW_CHILD));
  EXPECT_EQ(1, g_sitesAlive) << "the failed site is gone, the other one stays";
  ShowWindow(dialog.Hwnd(), SW_SHOW);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  EXPECT_EQ(1u, CountThreadWindows()) << "no message box beside the dialog";
}

TEST_F(ControlContainer, WithoutAManagerTheItemsStayPlaceholders) {
  OleControlsDialog dialog;
  ASSERT_TRUE(dialog.Create());
  EXPECT_EQ(nullptr, OleControlSite::FromWindow(dialog.ControlItem()));
  EXPECT_EQ(0, g_controls.alive);
}

TEST_F(ControlContainer, SiteAnswersTheContainerInterfacesAndTheAmbientProperties) {
  app_.SetOccManager(std::make_unique<ExtendedOccManager>());
  OleControlsDialog dialog;
  ASSERT_TRUE(dialog.Create());
  OleControlSite* site = OleControlSite::FromWindow(dialog.ControlItem());
  ASSERT_NE(nullptr, site);

  IUnknown* identity = nullptr;
  ASSERT_EQ(S_OK, site->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
  const IID answered[] = {IID_IOleClientSite, IID_IOleWindow, IID_IOleInPlaceSite, IID_IOleControlSite,
                          IID_IDispatch, IID_IPersist};
  for (const IID& iid : answered) {
    IUnknown* face = nullptr;
    ASSERT_EQ(S_OK, site->QueryInterface(iid, reinterpret_cast<void**>(&face))) << GuidText(iid);
    IUnknown* back = nullptr;
    face->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back));
    EXPECT_EQ(identity, back) << "one identity: " << GuidText(iid);
    back->Release();
    face->Release();
  }
  identity->Release();
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, site->QueryInterface(IID_IStream, &none));
  EXPECT_EQ(nullptr, none);

  IOleInPlaceFrame* frame = nullptr;
  IOleInPlaceUIWindow* document = nullptr;
  RECT position, clip;
  OLEINPLACEFRAMEINFO frameInfo = {};
  frameInfo.cb = sizeof frameInfo;
  ASSERT_EQ(S_OK, site->GetWindowContext(&frame, &document, &position, &clip, &frameInfo));
  ASSERT_NE(nullptr, frame);
  HWND frameWindow = nullptr;
  EXPECT_EQ(S_OK, frame->GetWindow(&frameWindow));
  EXPECT_EQ(dialog.Hwnd(), frameWindow) << "the top-level window is the frame";
  EXPECT_EQ(dialog.Hwnd(), frameInfo.hwndFrame);
  EXPECT_EQ(ClientSize(dialog.ControlItem()).cx, position.right - position.left);
  EXPECT_EQ(INPLACE_E_NOTOOLSPACE, frame->RequestBorderSpace(&position));
  frame->Release();
  if (document) document->Release();

  DISPPARAMS noArguments = {};
  VARIANT value;
  VariantInit(&value);
  EXPECT_EQ(S_OK, site->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, &noArguments,
                               &value, nullptr, nullptr));
  EXPECT_EQ(VT_BOOL, V_VT(&value));
  EXPECT_EQ(VARIANT_TRUE, V_BOOL(&value)) << "the control runs in user mode";
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, site->Invoke(DISPID_AMBIENT_BACKCOLOR, IID_NULL, 0, DISPATCH_PROPERTYGET,
                                                &noArguments, &value, nullptr, nullptr));
}

TEST_F(ControlContainer, DialogStateIsReadPerItemAndMissingStateIsEmpty) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  std::vector<BYTE> state = DialogControlState(module, IDD_TEST_OLE_CONTROLS, IDC_TEST_OLE_CONTROL);
  EXPECT_EQ("HAULBX", std::string(state.begin(), state.end()));
  EXPECT_TRUE(DialogControlState(module, IDD_TEST_OLE_CONTROLS, IDC_TEST_UNKNOWN_OLE_CONTROL).empty());
  EXPECT_TRUE(DialogControlState(module, IDD_TEST_TABLE, IDC_TEST_OLE_CONTROL).empty());
}

}  // namespace
