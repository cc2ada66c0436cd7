#include "Web_CTL.h"

#include "CLoad_EXE.h"
#include "ComServer.h"
#include "TextConversion.h"

#include <array>
#include <vector>

namespace {

// A call that runs a launcher window runs a modal loop, in which the page may
// drop its last reference to the control: the control lives until the call
// has returned.
class CallHold {
public:
  explicit CallHold(IUnknown* control) : control_(control) { control_->AddRef(); }
  ~CallHold() { control_->Release(); }
  CallHold(const CallHold&) = delete;
  CallHold& operator=(const CallHold&) = delete;

private:
  IUnknown* control_;
};

HRESULT SetResult(short* Rtn) {
  if (!Rtn) return E_POINTER;
  *Rtn = 1;
  return S_OK;
}

// A page's text; a null BSTR is an empty text.
std::string TextOf(BSTR text) { return text ? Narrow(std::wstring(text, SysStringLen(text))) : std::string(); }

HandoffFields FieldsOf(BSTR first, BSTR second, BSTR third) {
  return HandoffFields{TextOf(first), TextOf(second), TextOf(third)};
}

// Runs a launcher window for a launch or install job with the page's three
// hand-off fields and required versions; `Rtn` is the result the job set.
HRESULT RunLauncherJob(int jobKind, const std::array<BSTR, 3>& fields, BSTR downloaderVersion,
                       BSTR uploaderVersion, short* Rtn) {
  if (!Rtn) return E_POINTER;
  return GuardedComCall(L"launcher job", [&] {
    CLoad_EXE launcher;
    launcher.jobKind = jobKind;
    launcher.handoffFields = FieldsOf(fields[0], fields[1], fields[2]);
    launcher.requiredDownloaderVersion = TextOf(downloaderVersion);
    launcher.requiredUploaderVersion = TextOf(uploaderVersion);
    launcher.DoModal();
    int result = jobKind == CLoad_EXE::LaunchUploader ? launcher.uploaderResult : launcher.downloaderResult;
    *Rtn = static_cast<short>(result);
    return S_OK;
  });
}

// The selection a launcher window of `jobKind` made, as a text that is
// empty rather than null when nothing was chosen.
HRESULT SelectionOf(int jobKind, BSTR* Rtn) {
  if (!Rtn) return E_POINTER;
  *Rtn = nullptr;
  return GuardedComCall(L"selection", [&] {
    CLoad_EXE launcher;
    launcher.jobKind = jobKind;
    launcher.DoModal();
    std::wstring selection = Widen(launcher.selectionResult);
    *Rtn = SysAllocStringLen(selection.data(), static_cast<UINT>(selection.size()));
    return *Rtn ? S_OK : E_OUTOFMEMORY;
  });
}

}  // namespace

CWeb_CTL::CWeb_CTL(IUnknown* outer) : OleControl(outer, CLSID_Web_CTL) { ComModule::AddObject(); }

CWeb_CTL::~CWeb_CTL() {
  if (typeInfo_) typeInfo_->Release();
  ComModule::ReleaseObject();
}

STDMETHODIMP CWeb_CTL::QueryInterface(REFIID iid, void** out) { return OleControl::QueryInterface(iid, out); }

STDMETHODIMP_(ULONG) CWeb_CTL::AddRef() { return OleControl::AddRef(); }

STDMETHODIMP_(ULONG) CWeb_CTL::Release() { return OleControl::Release(); }

void* CWeb_CTL::OwnInterface(REFIID iid) {
  if (iid == IID_IDispatch || iid == IID_IWeb_CTL) return static_cast<IWeb_CTL*>(this);
  return nullptr;
}

void CWeb_CTL::OnDraw(HDC dc, const RECT& bounds) {
  static const wchar_t kText[] = L"ATL 8.0 : Web_CTL";
  IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  SetTextAlign(dc, TA_CENTER | TA_BASELINE);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  TextOutW(dc, (bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2, kText,
           static_cast<int>(wcslen(kText)));
}

HRESULT CWeb_CTL::TypeInfo(ITypeInfo** info) {
  if (!typeInfo_) {
    HRESULT hr = GuardedComCall(L"CWeb_CTL type information",
                                [this] { return LoadModuleTypeInfo(IID_IWeb_CTL, &typeInfo_); });
    if (FAILED(hr)) return hr;
  }
  *info = typeInfo_;
  return S_OK;
}

STDMETHODIMP CWeb_CTL::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP CWeb_CTL::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  HRESULT hr = TypeInfo(info);
  if (SUCCEEDED(hr)) (*info)->AddRef();
  return hr;
}

STDMETHODIMP CWeb_CTL::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  ITypeInfo* info = nullptr;
  HRESULT hr = TypeInfo(&info);
  return FAILED(hr) ? hr : info->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP CWeb_CTL::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO* exception, UINT* argumentError) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  CallHold hold(static_cast<IWeb_CTL*>(this));
  ITypeInfo* info = nullptr;
  HRESULT hr = TypeInfo(&info);
  if (FAILED(hr)) return hr;
  IWeb_CTL* self = this;
  if (!params) return info->Invoke(self, id, flags, params, result, exception, argumentError);
  if (params->cArgs && !params->rgvarg) return E_INVALIDARG;
  return GuardedComCall(L"CWeb_CTL::Invoke", [&] {
    // A script's null arrives as VT_NULL, which the type information will
    // not turn into a text: it is passed as a null BSTR, an empty text.
    std::vector<VARIANT> arguments(params->rgvarg, params->rgvarg + params->cArgs);
    for (VARIANT& argument : arguments) {
      if (argument.vt == VT_NULL) {
        argument.vt = VT_BSTR;
        argument.bstrVal = nullptr;
      }
    }
    DISPPARAMS nullsAsTexts = *params;
    nullsAsTexts.rgvarg = arguments.data();
    return info->Invoke(self, id, flags, &nullsAsTexts, result, exception, argumentError);
  });
}

// Every scripting method runs one request in a launcher window of its own
// and returns S_OK; what went wrong inside was told to the member in boxes.

STDMETHODIMP CWeb_CTL::CtlDOWNLOADnow(BSTR Data_file_code, BSTR Data_user_id, BSTR Data_user_pw,
                                      BSTR Data_file_size, short* Rtn) {
  CallHold hold(static_cast<IWeb_CTL*>(this));
  return RunLauncherJob(CLoad_EXE::LaunchDownloader, {Data_file_code, Data_user_id, Data_user_pw}, Data_file_size,
                        nullptr, Rtn);
}

STDMETHODIMP CWeb_CTL::CtlUPLOADnow(BSTR Data_file_code, BSTR Data_user_id, BSTR Data_user_pw, BSTR Data_file_size,
                                    short* Rtn) {
  CallHold hold(static_cast<IWeb_CTL*>(this));
  return RunLauncherJob(CLoad_EXE::LaunchUploader, {Data_file_code, Data_user_id, Data_user_pw}, nullptr,
                        Data_file_size, Rtn);
}

STDMETHODIMP CWeb_CTL::OpenFileSelectBox(BSTR* Rtn) {
  CallHold hold(static_cast<IWeb_CTL*>(this));
  return SelectionOf(CLoad_EXE::SelectFiles, Rtn);
}

STDMETHODIMP CWeb_CTL::ActiveXCheck(short* Rtn) { return SetResult(Rtn); }

STDMETHODIMP CWeb_CTL::ActiveXSetupCheck(BSTR, short* Rtn) { return SetResult(Rtn); }

STDMETHODIMP CWeb_CTL::OpenFolderSelectBox(BSTR* Rtn) {
  CallHold hold(static_cast<IWeb_CTL*>(this));
  return SelectionOf(CLoad_EXE::SelectFolder, Rtn);
}

STDMETHODIMP CWeb_CTL::CtlINSTALLnow(BSTR Download_size, BSTR Upload_size, short* Rtn) {
  CallHold hold(static_cast<IWeb_CTL*>(this));
  return RunLauncherJob(CLoad_EXE::InstallPrograms, {}, Download_size, Upload_size, Rtn);
}

STDMETHODIMP CWeb_CTL::CtlINSTALLnow_vista(BSTR Download_size, BSTR Upload_size) {
  short ignored = 0;
  return CtlINSTALLnow(Download_size, Upload_size, &ignored);
}

STDMETHODIMP CWeb_CTL::CtlDOWNLOADnow_vista(BSTR Data_file_code, BSTR Data_user_id, BSTR Data_user_pw,
                                            BSTR Data_file_size) {
  short ignored = 0;
  return CtlDOWNLOADnow(Data_file_code, Data_user_id, Data_user_pw, Data_file_size, &ignored);
}

STDMETHODIMP CWeb_CTL::CtlUPLOADnow_vista(BSTR Data_file_code, BSTR Data_user_id, BSTR Data_user_pw,
                                          BSTR Data_file_siz) {
  short ignored = 0;
  return CtlUPLOADnow(Data_file_code, Data_user_id, Data_user_pw, Data_file_siz, &ignored);
}
