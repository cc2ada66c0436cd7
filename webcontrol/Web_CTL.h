#pragma once
// CWeb_CTL: the control. IDispatch goes through the type information of
// IWeb_CTL in the module's type library; the container's interfaces come
// from OleControl. When drawn it frames its bounds and writes its name in
// the middle.
#include "Haulbox_Active.h"
#include "OleControl.h"

class CWeb_CTL : public IWeb_CTL, public OleControl {
public:
  // `outer`: the aggregating object's controlling unknown, or null.
  explicit CWeb_CTL(IUnknown* outer);
  CWeb_CTL(const CWeb_CTL&) = delete;
  CWeb_CTL& operator=(const CWeb_CTL&) = delete;

  // IUnknown, through the controlling unknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override;

  // IWeb_CTL
  STDMETHODIMP CtlDOWNLOADnow(BSTR Data_file_code, BSTR Data_user_id, BSTR Data_user_pw, BSTR Data_file_size,
                              short* Rtn) override;
  STDMETHODIMP CtlUPLOADnow(BSTR Data_file_code, BSTR Data_user_id, BSTR Data_user_pw, BSTR Data_file_size,
                            short* Rtn) override;
  STDMETHODIMP OpenFileSelectBox(BSTR* Rtn) override;
  STDMETHODIMP ActiveXCheck(short* Rtn) override;
  STDMETHODIMP ActiveXSetupCheck(BSTR icon_file_name, short* Rtn) override;
  STDMETHODIMP OpenFolderSelectBox(BSTR* Rtn) override;
  STDMETHODIMP CtlINSTALLnow(BSTR Download_size, BSTR Upload_size, short* Rtn) override;
  STDMETHODIMP CtlINSTALLnow_vista(BSTR Download_size, BSTR Upload_size) override;
  STDMETHODIMP CtlDOWNLOADnow_vista(BSTR Data_file_code, BSTR Data_user_id, BSTR Data_user_pw,
                                    BSTR Data_file_size) override;
  STDMETHODIMP CtlUPLOADnow_vista(BSTR Data_file_code, BSTR Data_user_id, BSTR Data_user_pw,
                                  BSTR Data_file_siz) override;

protected:
  void* OwnInterface(REFIID iid) override;
  void OnDraw(HDC dc, const RECT& bounds) override;

private:
  ~CWeb_CTL() override;
  // The type information, loaded on first use.
  HRESULT TypeInfo(ITypeInfo** info);

  ITypeInfo* typeInfo_ = nullptr;
};
