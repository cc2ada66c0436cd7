#include "Web_CTL.h"

#include "ComServer.h"

namespace {

HRESULT SetResult(short* Rtn) {
  if (!Rtn) return E_POINTER;
  *Rtn = 1;
  return S_OK;
}

// An empty text, never a null BSTR.
HRESULT SetEmptyText(BSTR* Rtn) {
  if (!Rtn) return E_POINTER;
  *Rtn = SysAllocString(L"");
  return *Rtn ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

CWeb_CTL::CWeb_CTL() { ComModule::AddObject(); }

CWeb_CTL::~CWeb_CTL() {
  if (typeInfo_) typeInfo_->Release();
  ComModule::ReleaseObject();
}

STDMETHODIMP CWeb_CTL::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWeb_CTL) {
    *out = static_cast<IWeb_CTL*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CWeb_CTL::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) CWeb_CTL::Release() {
  LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return left;
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
  ITypeInfo* info = nullptr;
  HRESULT hr = TypeInfo(&info);
  if (FAILED(hr)) return hr;
  return info->Invoke(static_cast<IWeb_CTL*>(this), id, flags, params, result, exception, argumentError);
}

// The launch, install and selection methods are answered without their
// launcher window so far: each returns what it returns after a finished job.

STDMETHODIMP CWeb_CTL::CtlDOWNLOADnow(BSTR, BSTR, BSTR, BSTR, short* Rtn) { return SetResult(Rtn); }

STDMETHODIMP CWeb_CTL::CtlUPLOADnow(BSTR, BSTR, BSTR, BSTR, short* Rtn) { return SetResult(Rtn); }

STDMETHODIMP CWeb_CTL::OpenFileSelectBox(BSTR* Rtn) { return SetEmptyText(Rtn); }

STDMETHODIMP CWeb_CTL::ActiveXCheck(short* Rtn) { return SetResult(Rtn); }

STDMETHODIMP CWeb_CTL::ActiveXSetupCheck(BSTR, short* Rtn) { return SetResult(Rtn); }

STDMETHODIMP CWeb_CTL::OpenFolderSelectBox(BSTR* Rtn) { return SetEmptyText(Rtn); }

STDMETHODIMP CWeb_CTL::CtlINSTALLnow(BSTR, BSTR, short* Rtn) { return SetResult(Rtn); }

STDMETHODIMP CWeb_CTL::CtlINSTALLnow_vista(BSTR, BSTR) { return S_OK; }

STDMETHODIMP CWeb_CTL::CtlDOWNLOADnow_vista(BSTR, BSTR, BSTR, BSTR) { return S_OK; }

STDMETHODIMP CWeb_CTL::CtlUPLOADnow_vista(BSTR, BSTR, BSTR, BSTR) { return S_OK; }
