#pragma once
// The site of the banner's browser control: the framework's control site with
// the two document-host interfaces the browser looks for on its client site.
// They lock the browser down so that it behaves as part of the window: no
// context menu, no 3-D border, no refresh, open, print, new-window or
// backspace keys (BannerKeyFilter.h), no help, no external object, and page
// message boxes with the program's own caption. Both forward QueryInterface,
// AddRef and Release to the site.
#include <windows.h>
#include <mshtmhst.h>

#include "OleControlSite.h"

class CCustomControlSite : public OleControlSite {
public:
  // The caption of every message box a page raises.
  static constexpr const char* kMessageCaption = "Custom Browser";
  // The interface ids the browser asks its client site for (not every
  // import library of the platform has them).
  static constexpr IID kDocHostShowUIId = {
      0xc4d244b0, 0xd43e, 0x11cf, {0x89, 0x3b, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x1a}};
  static constexpr IID kDocHostUIHandlerId = {
      0xbd3f23c0, 0xd43e, 0x11cf, {0x89, 0x3b, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x1a}};

  CCustomControlSite() : docHostShowUI_(*this), docHostUIHandler_(*this) {}

protected:
  void* ExtraInterface(REFIID iid) override;

private:
  class XDocHostShowUI final : public IDocHostShowUI {
  public:
    explicit XDocHostShowUI(CCustomControlSite& site) : site_(site) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return site_.QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return site_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return site_.Release(); }
    STDMETHODIMP ShowMessage(HWND owner, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                             DWORD helpContext, LRESULT* result) override;
    STDMETHODIMP ShowHelp(HWND owner, LPOLESTR helpFile, UINT command, DWORD data, POINT where,
                          IDispatch* hit) override;

  private:
    CCustomControlSite& site_;
  };

  class XDocHostUIHandler final : public IDocHostUIHandler {
  public:
    explicit XDocHostUIHandler(CCustomControlSite& site) : site_(site) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return site_.QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return site_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return site_.Release(); }
    STDMETHODIMP ShowContextMenu(DWORD id, POINT* where, IUnknown* target, IDispatch* object) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* commands,
                        IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG message, const GUID* group, DWORD command) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    STDMETHODIMP GetDropTarget(IDropTarget* target, IDropTarget** replacement) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) override;
    STDMETHODIMP FilterDataObject(IDataObject* data, IDataObject** replacement) override;

  private:
    CCustomControlSite& site_;
  };

  XDocHostShowUI docHostShowUI_;
  XDocHostUIHandler docHostUIHandler_;
};
