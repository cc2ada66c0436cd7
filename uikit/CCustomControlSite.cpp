#include "CCustomControlSite.h"

#include "BannerKeyFilter.h"
#include "MessageBoxes.h"
#include "SwallowedException.h"
#include "TextConversion.h"

namespace {

bool KeyIsDown(SHORT state) { return state < 0; }  // the top bit

}  // namespace

void* CCustomControlSite::ExtraInterface(REFIID iid) {
  if (iid == kDocHostShowUIId) return static_cast<IDocHostShowUI*>(&docHostShowUI_);
  if (iid == kDocHostUIHandlerId) return static_cast<IDocHostUIHandler*>(&docHostUIHandler_);
  return nullptr;
}

// IDocHostShowUI

STDMETHODIMP CCustomControlSite::XDocHostShowUI::ShowMessage(HWND owner, LPOLESTR text, LPOLESTR, DWORD, LPOLESTR,
                                                             DWORD, LRESULT*) {
  // The page's caption and buttons are not used; the result is left as it is.
  try {
    ShowMessageBox(owner, text ? Narrow(text) : std::string(), kMessageCaption, MB_OK | MB_ICONERROR);
  } catch (...) {
    // Handled all the same: the page's own box must never show instead.
    TraceSwallowedException(L"page message box", nullptr);
  }
  return S_OK;
}

STDMETHODIMP CCustomControlSite::XDocHostShowUI::ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) {
  return S_OK;  // handled: no help is shown
}

// IDocHostUIHandler

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) {
  return S_OK;  // handled: the page gets no context menu
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetHostInfo(DOCHOSTUIINFO* info) {
  if (!info) return E_POINTER;
  info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
  info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
  return S_OK;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                                           IOleInPlaceFrame*, IOleInPlaceUIWindow*) {
  return S_OK;  // the window is the user interface: no menus or toolbars are added
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::TranslateAccelerator(LPMSG message, const GUID*, DWORD) {
  if (!message) return S_FALSE;
  BannerKey key;
  key.message = message->message;
  key.keyParam = message->wParam;
  key.f5Down = KeyIsDown(GetAsyncKeyState(VK_F5));
  key.controlDown = KeyIsDown(GetKeyState(VK_CONTROL));
  key.oDown = KeyIsDown(GetAsyncKeyState('O'));
  key.pDown = KeyIsDown(GetAsyncKeyState('P'));
  key.nDown = KeyIsDown(GetAsyncKeyState('N'));
  return BannerSwallowsKey(key) ? S_OK : S_FALSE;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetOptionKeyPath(LPOLESTR* key, DWORD) {
  if (key) *key = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetDropTarget(IDropTarget*, IDropTarget** replacement) {
  if (replacement) *replacement = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetExternal(IDispatch** external) {
  if (!external) return E_POINTER;
  *external = nullptr;  // the page's external object stays null
  return S_OK;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) {
  if (translated) *translated = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::FilterDataObject(IDataObject*, IDataObject** replacement) {
  if (replacement) *replacement = nullptr;
  return E_NOTIMPL;
}
