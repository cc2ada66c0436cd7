// The type library, read back from TYPELIB resource 1 of the DLL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WebControlTestSupport.h"

namespace {

struct Method {
  const wchar_t* name;
  std::vector<const wchar_t*> inputs;  // BSTR in
  VARTYPE rtn;                         // VT_EMPTY: no Rtn
};

const wchar_t* const kDataIn[] = {L"Data_file_code", L"Data_user_id", L"Data_user_pw", L"Data_file_size"};
const std::vector<Method> kMethods = {
    {L"CtlDOWNLOADnow", {kDataIn, kDataIn + 4}, VT_I2},
    {L"CtlUPLOADnow", {kDataIn, kDataIn + 4}, VT_I2},
    {L"OpenFileSelectBox", {}, VT_BSTR},
    {L"ActiveXCheck", {}, VT_I2},
    {L"ActiveXSetupCheck", {L"icon_file_name"}, VT_I2},
    {L"OpenFolderSelectBox", {}, VT_BSTR},
    {L"CtlINSTALLnow", {L"Download_size", L"Upload_size"}, VT_I2},
    {L"CtlINSTALLnow_vista", {L"Download_size", L"Upload_size"}, VT_EMPTY},
    {L"CtlDOWNLOADnow_vista", {kDataIn, kDataIn + 4}, VT_EMPTY},
    {L"CtlUPLOADnow_vista", {L"Data_file_code", L"Data_user_id", L"Data_user_pw", L"Data_file_siz"}, VT_EMPTY},
};

std::wstring Text(BSTR text) {
  std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return result;
}

std::wstring Name(ITypeInfo* info, MEMBERID id) {
  BSTR name = nullptr;
  info->GetDocumentation(id, &name, nullptr, nullptr, nullptr);
  return Text(name);
}

std::wstring HelpString(ITypeInfo* info, MEMBERID id) {
  BSTR help = nullptr;
  info->GetDocumentation(id, nullptr, &help, nullptr, nullptr);
  return Text(help);
}

class TypeLibraryTest : public testing::Test {
protected:
  void SetUp() override {
    // The help strings are stored as CP949 bytes, which the system reads in
    // the ANSI code page.
    ASSERT_EQ(949u, GetACP()) << "run under LC_ALL=ko_KR.UTF-8";
    HRESULT hr = LoadTypeLibEx(ControlDllPath().c_str(), REGKIND_NONE, &library_);
    ASSERT_EQ(S_OK, hr) << std::hex << hr;
  }
  void TearDown() override {
    if (library_) library_->Release();
  }
  ITypeInfo* Info(REFGUID guid) {
    ITypeInfo* info = nullptr;
    EXPECT_EQ(S_OK, library_->GetTypeInfoOfGuid(guid, &info));
    return info;
  }

  ComThread com_;
  ITypeLib* library_ = nullptr;
};

TEST_F(TypeLibraryTest, LibraryNameVersionLocaleAndHelpString) {
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, library_->GetLibAttr(&attributes));
  EXPECT_EQ(GuidText(kLibIdHaulbox_Active), GuidText(attributes->guid));
  EXPECT_EQ(1, attributes->wMajorVerNum);
  EXPECT_EQ(0, attributes->wMinorVerNum);
  EXPECT_EQ(0x409u, attributes->lcid);
  EXPECT_EQ(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, attributes->syskind);
  library_->ReleaseTLibAttr(attributes);

  BSTR name = nullptr;
  BSTR help = nullptr;
  ASSERT_EQ(S_OK, library_->GetDocumentation(-1, &name, &help, nullptr, nullptr));
  EXPECT_EQ(L"Haulbox_ActiveLib", Text(name));
  EXPECT_EQ(L"Haulbox_Active 1.0 형식 라이브러리", Text(help));
  EXPECT_EQ(2u, library_->GetTypeInfoCount());
}

TEST_F(TypeLibraryTest, CoclassIsACreatableControlWithIWeb_CTLAsDefault) {
  ITypeInfo* coclass = Info(kClsidWeb_CTL);
  ASSERT_NE(nullptr, coclass);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attributes));
  EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
  EXPECT_EQ(TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL, attributes->wTypeFlags);
  EXPECT_EQ(1, attributes->cImplTypes);
  coclass->ReleaseTypeAttr(attributes);
  EXPECT_EQ(L"Web_CTL", Name(coclass, MEMBERID_NIL));
  EXPECT_EQ(L"QUor_CTL Class", HelpString(coclass, MEMBERID_NIL));

  INT flags = 0;
  EXPECT_EQ(S_OK, coclass->GetImplTypeFlags(0, &flags));
  EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT, flags);
  HREFTYPE ref = 0;
  ITypeInfo* implemented = nullptr;
  ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &ref));
  ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(ref, &implemented));
  EXPECT_EQ(L"IWeb_CTL", Name(implemented, MEMBERID_NIL));
  implemented->Release();
  coclass->Release();
}

TEST_F(TypeLibraryTest, InterfaceIsDualNonextensibleOleAutomationFromIDispatch) {
  ITypeInfo* dispatch = Info(kIidIWeb_CTL);
  ASSERT_NE(nullptr, dispatch);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, dispatch->GetTypeAttr(&attributes));
  EXPECT_EQ(TKIND_DISPATCH, attributes->typekind);
  // The system keeps the OLE-automation flag on the vtable half only.
  EXPECT_EQ(TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE, attributes->wTypeFlags);
  dispatch->ReleaseTypeAttr(attributes);
  EXPECT_EQ(L"IWeb_CTL 인터페이스", HelpString(dispatch, MEMBERID_NIL));

  // The vtable half: derived from IDispatch.
  HREFTYPE ref = 0;
  ITypeInfo* vtable = nullptr;
  ITypeInfo* base = nullptr;
  ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(-1, &ref));
  ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(ref, &vtable));
  ASSERT_EQ(S_OK, vtable->GetTypeAttr(&attributes));
  EXPECT_EQ(TKIND_INTERFACE, attributes->typekind);
  EXPECT_EQ(TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE,
            attributes->wTypeFlags);
  EXPECT_EQ(GuidText(kIidIWeb_CTL), GuidText(attributes->guid));
  vtable->ReleaseTypeAttr(attributes);
  ASSERT_EQ(S_OK, vtable->GetRefTypeOfImplType(0, &ref));
  ASSERT_EQ(S_OK, vtable->GetRefTypeInfo(ref, &base));
  EXPECT_EQ(L"IDispatch", Name(base, MEMBERID_NIL));
  base->Release();
  vtable->Release();
  dispatch->Release();
}

TEST_F(TypeLibraryTest, TenMethodsWithTheirDispidsParametersAndHelpStrings) {
  ITypeInfo* dispatch = Info(kIidIWeb_CTL);
  ASSERT_NE(nullptr, dispatch);
  HREFTYPE ref = 0;
  ITypeInfo* info = nullptr;
  ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(-1, &ref));
  ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(ref, &info));
  dispatch->Release();
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
  EXPECT_EQ(TKIND_INTERFACE, attributes->typekind);
  ASSERT_EQ(kMethods.size(), attributes->cFuncs);
  info->ReleaseTypeAttr(attributes);

  for (size_t i = 0; i < kMethods.size(); ++i) {
    const Method& expected = kMethods[i];
    SCOPED_TRACE(testing::Message() << "method " << i + 1);
    FUNCDESC* function = nullptr;
    ASSERT_EQ(S_OK, info->GetFuncDesc(static_cast<UINT>(i), &function));
    EXPECT_EQ(static_cast<MEMBERID>(i + 1), function->memid);
    EXPECT_EQ(INVOKE_FUNC, function->invkind);
    EXPECT_EQ(FUNC_PUREVIRTUAL, function->funckind);
    EXPECT_EQ(CC_STDCALL, function->callconv);
    EXPECT_EQ(VT_HRESULT, function->elemdescFunc.tdesc.vt);
    EXPECT_EQ(static_cast<SHORT>((7 + i) * sizeof(void*)), function->oVft);
    const size_t count = expected.inputs.size() + (expected.rtn != VT_EMPTY ? 1 : 0);
    ASSERT_EQ(count, static_cast<size_t>(function->cParams));

    BSTR names[8] = {};
    UINT got = 0;
    ASSERT_EQ(S_OK, info->GetNames(function->memid, names, 8, &got));
    ASSERT_EQ(count + 1, got);
    EXPECT_EQ(expected.name, Text(names[0]));
    EXPECT_EQ(std::wstring(L"메서드 ") + expected.name, HelpString(info, function->memid));
    for (size_t p = 0; p < expected.inputs.size(); ++p) {
      EXPECT_EQ(expected.inputs[p], Text(names[p + 1])) << "parameter " << p;
      EXPECT_EQ(VT_BSTR, function->lprgelemdescParam[p].tdesc.vt) << "parameter " << p;
      EXPECT_EQ(PARAMFLAG_FIN, function->lprgelemdescParam[p].paramdesc.wParamFlags) << "parameter " << p;
    }
    if (expected.rtn != VT_EMPTY) {
      const ELEMDESC& rtn = function->lprgelemdescParam[count - 1];
      EXPECT_EQ(L"Rtn", Text(names[count]));
      ASSERT_EQ(VT_PTR, rtn.tdesc.vt);
      EXPECT_EQ(expected.rtn, rtn.tdesc.lptdesc->vt);
      EXPECT_EQ(PARAMFLAG_FOUT | PARAMFLAG_FRETVAL, rtn.paramdesc.wParamFlags);
    }
    info->ReleaseFuncDesc(function);
  }
  info->Release();
}

}  // namespace
