// The control as a page's script uses it: created by ProgID, called by name
// through IDispatch.
#include <gtest/gtest.h>

#include <objsafe.h>

#include <vector>

#include "WebControlTestSupport.h"

namespace {

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

EntryPoint Export(HMODULE module, const char* name) {
  return reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

class ScriptingTest : public testing::Test {
protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryW(ControlDllPath().c_str());
    ASSERT_NE(nullptr, module_) << GetLastError();
    HRESULT hr = Export(module_, "DllRegisterServer")();
    ASSERT_EQ(S_OK, hr) << std::hex << hr;
  }
  static void TearDownTestSuite() {
    if (!module_) return;
    Export(module_, "DllUnregisterServer")();
    FreeLibrary(module_);
    module_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(nullptr, module_);
    CLSID clsid = {};
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"Haulbox_Active.Web_CTL", &clsid));
    ASSERT_EQ(GuidText(kClsidWeb_CTL), GuidText(clsid));
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&control_));
    ASSERT_EQ(S_OK, hr) << std::hex << hr;
  }
  void TearDown() override {
    if (control_) control_->Release();
  }

  DISPID Id(const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(S_OK, control_->GetIDsOfNames(IID_NULL, names, 1, 0x409, &id)) << testing::PrintToString(name);
    return id;
  }

  // Calls the method by name with `arguments` in call order; the result.
  VARIANT Call(const wchar_t* name, std::vector<VARIANT> arguments) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = control_->Invoke(Id(name), IID_NULL, 0x409, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    EXPECT_EQ(S_OK, hr) << std::hex << hr << " calling " << testing::PrintToString(name);
    return result;
  }

  static VARIANT Bstr(BSTR text) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = text;
    return value;
  }

  static HMODULE module_;
  ComThread com_;
  IDispatch* control_ = nullptr;
};

HMODULE ScriptingTest::module_ = nullptr;

TEST_F(ScriptingTest, ActiveXCheckAnswersOne) {
  VARIANT result = Call(L"ActiveXCheck", {});
  EXPECT_EQ(VT_I2, result.vt);
  EXPECT_EQ(1, result.iVal);
}

TEST_F(ScriptingTest, ActiveXSetupCheckAnswersOneForAnyIconName) {
  BSTR icon = SysAllocString(L"icon.ico");
  BSTR empty = SysAllocString(L"");
  for (BSTR argument : {icon, empty, static_cast<BSTR>(nullptr)}) {
    VARIANT result = Call(L"ActiveXSetupCheck", {Bstr(argument)});
    EXPECT_EQ(VT_I2, result.vt) << (argument ? "non-null" : "null") << " argument";
    EXPECT_EQ(1, result.iVal) << (argument ? "non-null" : "null") << " argument";
  }
  // A script's null.
  VARIANT null;
  VariantInit(&null);
  null.vt = VT_NULL;
  VARIANT result = Call(L"ActiveXSetupCheck", {null});
  EXPECT_EQ(VT_I2, result.vt);
  EXPECT_EQ(1, result.iVal);
  SysFreeString(icon);
  SysFreeString(empty);
}

TEST_F(ScriptingTest, NamesMapToTheirDispids) {
  const wchar_t* const names[] = {L"CtlDOWNLOADnow",      L"CtlUPLOADnow",  L"OpenFileSelectBox",
                                  L"ActiveXCheck",        L"ActiveXSetupCheck", L"OpenFolderSelectBox",
                                  L"CtlINSTALLnow",       L"CtlINSTALLnow_vista", L"CtlDOWNLOADnow_vista",
                                  L"CtlUPLOADnow_vista"};
  for (DISPID i = 0; i < 10; ++i) EXPECT_EQ(i + 1, Id(names[i])) << testing::PrintToString(names[i]);
  // Names are matched regardless of case, as scripts expect.
  EXPECT_EQ(4, Id(L"activexcheck"));

  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMethod")};
  DISPID id = 0;
  EXPECT_EQ(DISP_E_UNKNOWNNAME, control_->GetIDsOfNames(IID_NULL, unknown, 1, 0x409, &id));
}

TEST_F(ScriptingTest, ParameterNamesAsTheTypeLibrarySpellsThem) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"CtlUPLOADnow_vista"), const_cast<LPOLESTR>(L"Data_file_siz")};
  DISPID ids[2] = {};
  EXPECT_EQ(S_OK, control_->GetIDsOfNames(IID_NULL, names, 2, 0x409, ids));
  EXPECT_EQ(10, ids[0]);
  EXPECT_EQ(3, ids[1]);
  names[1] = const_cast<LPOLESTR>(L"Data_file_size");
  EXPECT_EQ(DISP_E_UNKNOWNNAME, control_->GetIDsOfNames(IID_NULL, names, 2, 0x409, ids));
}

TEST_F(ScriptingTest, TypeInfoIsTheDispatchInterface) {
  UINT count = 0;
  EXPECT_EQ(S_OK, control_->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
  ITypeInfo* info = nullptr;
  ASSERT_EQ(S_OK, control_->GetTypeInfo(0, 0x409, &info));
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
  EXPECT_EQ(GuidText(kIidIWeb_CTL), GuidText(attributes->guid));
  info->ReleaseTypeAttr(attributes);
  info->Release();
  EXPECT_EQ(DISP_E_BADINDEX, control_->GetTypeInfo(1, 0x409, &info));
}

TEST_F(ScriptingTest, AnswersItsOwnInterfacesAndNotObjectSafety) {
  IUnknown* unknown = nullptr;
  ASSERT_EQ(S_OK, control_->QueryInterface(kIidIWeb_CTL, reinterpret_cast<void**>(&unknown)));
  unknown->Release();
  // Safe for scripting through the registry categories only.
  EXPECT_EQ(E_NOINTERFACE, control_->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&unknown)));
  EXPECT_EQ(nullptr, unknown);
}

TEST_F(ScriptingTest, ModuleCanUnloadOnlyWithoutLiveObjects) {
  EntryPoint canUnload = Export(module_, "DllCanUnloadNow");
  EXPECT_EQ(S_FALSE, canUnload());
  control_->Release();
  control_ = nullptr;
  EXPECT_EQ(S_OK, canUnload());

  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, CoGetClassObject(kClsidWeb_CTL, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                   reinterpret_cast<void**>(&factory)));
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  factory->Release();
  EXPECT_EQ(S_FALSE, canUnload());
  ASSERT_EQ(S_OK, CoGetClassObject(kClsidWeb_CTL, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                   reinterpret_cast<void**>(&factory)));
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  factory->Release();
  EXPECT_EQ(S_OK, canUnload());
}

TEST_F(ScriptingTest, ArgumentCountWithoutArgumentsIsRefused) {
  DISPPARAMS params = {nullptr, nullptr, 2, 0};
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(E_INVALIDARG, control_->Invoke(5, IID_NULL, 0x409, DISPATCH_METHOD, &params, &result, nullptr, nullptr));
}

// What the page's last release left while a call still ran: the module's
// answer to DllCanUnloadNow at that moment.
HRESULT g_unloadDuringCall = E_FAIL;
IDispatch* g_releasedDuringCall = nullptr;

// Message boxes (a dialog with the box's text static), not the update dialog.
BOOL CALLBACK AnswerBoxOfThisThread(HWND window, LPARAM) {
  wchar_t className[16] = L"";
  GetClassNameW(window, className, 16);
  if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window) || !GetDlgItem(window, 0xFFFF)) return TRUE;
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

// Runs in the modal loops inside the call: the page drops the control once,
// and every box the call shows is answered.
void CALLBACK ReleaseDuringCall(HWND, UINT, UINT_PTR, DWORD) {
  if (g_releasedDuringCall) {
    g_releasedDuringCall->Release();
    g_releasedDuringCall = nullptr;
    g_unloadDuringCall = Export(GetModuleHandleW(ControlDllPath().c_str()), "DllCanUnloadNow")();
  }
  EnumThreadWindows(GetCurrentThreadId(), AnswerBoxOfThisThread, 0);
}

TEST_F(ScriptingTest, ControlReleasedByThePageDuringACallLivesUntilTheCallReturns) {
  // No program is installed in the version asked for and no web host serves
  // the installer: the call tells the member in boxes, and the page lets go
  // of the control meanwhile.
  BSTR empty = SysAllocString(L"");
  IDispatch* control = control_;
  g_releasedDuringCall = control_;
  control_ = nullptr;
  UINT_PTR timer = SetTimer(nullptr, 0, 200, ReleaseDuringCall);
  ASSERT_NE(0u, timer);
  std::vector<VARIANT> reversed = {Bstr(empty), Bstr(empty)};
  DISPPARAMS params = {reversed.data(), nullptr, 2, 0};
  VARIANT result;
  VariantInit(&result);
  LPOLESTR name[] = {const_cast<LPOLESTR>(L"CtlINSTALLnow")};
  DISPID id = 0;
  ASSERT_EQ(S_OK, control->GetIDsOfNames(IID_NULL, name, 1, 0x409, &id));
  EXPECT_EQ(S_OK, control->Invoke(id, IID_NULL, 0x409, DISPATCH_METHOD, &params, &result, nullptr, nullptr));
  KillTimer(nullptr, timer);
  EXPECT_EQ(nullptr, g_releasedDuringCall) << "the call ended before the page let go";
  EXPECT_EQ(S_FALSE, g_unloadDuringCall) << "the control was gone while its call still ran";
  EXPECT_EQ(1, result.iVal);
  EXPECT_EQ(S_OK, Export(GetModuleHandleW(ControlDllPath().c_str()), "DllCanUnloadNow")());
  SysFreeString(empty);
}

}  // namespace
