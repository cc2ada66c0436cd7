#include "CWebBrowser_banner.h"

#include <exdisp.h>

#include "Application.h"
#include "OccManager.h"
#include "TextConversion.h"

namespace {

constexpr DISPID kNavigate2 = 500;

VARIANT ByReference(VARIANT* value) {
  VARIANT reference;
  VariantInit(&reference);
  V_VT(&reference) = VT_VARIANT | VT_BYREF;
  V_VARIANTREF(&reference) = value;
  return reference;
}

OleControlSite* NewSite() {
  Application* application = Application::Current();
  OccManager* manager = application ? application->GetOccManager() : nullptr;
  return manager ? manager->CreateSite() : new OleControlSite;
}

}  // namespace

bool CWebBrowser_banner::Create(const std::string& windowName, DWORD style, const RECT& rect, HWND parent, int id) {
  OleControlSite* site = NewSite();
  bool created = site->CreateControlWindow(CLSID_WebBrowser, parent, style, rect, id);
  HWND window = created ? site->SiteWindow() : nullptr;
  site->Release();  // the site window holds the site from here
  if (!window) return false;
  SetWindowTextW(window, Widen(windowName).c_str());
  return Attach(window);
}

HRESULT CWebBrowser_banner::Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                                      VARIANT* headers) {
  OleControlSite* site = OleControlSite::FromWindow(Hwnd());
  if (!site) return E_FAIL;
  IDispatch* browser = nullptr;
  HRESULT hr = site->QueryControl(IID_IDispatch, reinterpret_cast<void**>(&browser));
  if (FAILED(hr)) return hr;
  // Dispatch arguments go last first.
  VARIANT arguments[5] = {ByReference(headers), ByReference(postData), ByReference(targetFrameName),
                          ByReference(flags), ByReference(url)};
  DISPPARAMS parameters = {arguments, nullptr, 5, 0};
  hr = browser->Invoke(kNavigate2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr,
                       nullptr);
  browser->Release();
  return hr;
}

HRESULT CWebBrowser_banner::Navigate2(const std::string& url) {
  VARIANT address, flags, target, postData, headers;
  VariantInit(&address);
  VariantInit(&flags);
  VariantInit(&target);
  VariantInit(&postData);
  VariantInit(&headers);
  V_VT(&address) = VT_BSTR;
  V_BSTR(&address) = SysAllocString(Widen(url).c_str());
  if (!V_BSTR(&address)) return E_OUTOFMEMORY;
  HRESULT hr = Navigate2(&address, &flags, &target, &postData, &headers);
  VariantClear(&address);
  VariantClear(&flags);
  VariantClear(&target);
  VariantClear(&postData);
  VariantClear(&headers);
  return hr;
}

bool CWebBrowser_banner::HasBrowser() const {
  OleControlSite* site = OleControlSite::FromWindow(Hwnd());
  return site && site->HasControl();
}
