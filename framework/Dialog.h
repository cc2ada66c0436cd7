#pragma once
// A dialog from a template resource of this module, run modally
// (DialogBoxParamW) or modeless (CreateDialogParamW).
//
// The object is attached to its window at WM_INITDIALOG; messages that come
// before get the default dialog handling. Every message then goes through the
// class's MessageTable (see MessageTable.h), then these defaults:
//   WM_COMMAND IDOK / IDCANCEL  -> OnOK() / OnCancel()  (both end the dialog)
//   WM_DRAWITEM                 -> the Control object attached to the item
//                                  (Control::DrawItem), e.g. a skin button
// No C++ exception leaves the dialog procedure: a throwing handler is treated
// as "not handled", and leaves a debug output line (SwallowedException.h).
//
// Templates that name a window class (CLASS "Haulbox_downloader") need
// RegisterDialogClassCopy first; templates that hold a control class that
// cannot be hosted need RegisterPlaceholderControlClass (WindowClasses.h).
// When the application has a control-container manager, the OLE controls the
// template names are created just before OnInitDialog and closed when the
// window is destroyed (OccManager.h). While a modal dialog has them, its loop
// offers keys typed in a control to that control first (its accelerators).
// The common controls (list view, progress bar, ...) are initialised before
// the first dialog is created.
#include "MessageTable.h"

#include <windows.h>

#include <string>
#include <vector>

class OleControlSite;

class Dialog {
public:
  explicit Dialog(UINT templateId, HWND parent = nullptr);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally; returns the EndDialog result, or -1 when the
  // dialog could not be created (GetLastError tells why).
  INT_PTR DoModal();
  // Creates the dialog modeless (shown if the template has WS_VISIBLE).
  // The owner's message loop must pass messages through IsDialogMessageW.
  bool Create();
  // Ends a modal dialog with `result`; destroys a modeless one.
  void EndDialog(INT_PTR result);

  HWND Hwnd() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  UINT TemplateId() const { return templateId_; }
  void SetParent(HWND parent) { parent_ = parent; }

  // The table of this class; derived classes chain to it as their base table.
  static const MessageTable& Table();
  virtual const MessageTable& Messages() const { return Table(); }

  // Helpers for handlers.
  void SetItemText(int id, const std::string& cp949);
  std::string ItemText(int id) const;
  void SetCaption(const std::string& cp949);
  UINT_PTR StartTimer(UINT_PTR id, UINT milliseconds) { return SetTimer(hwnd_, id, milliseconds, nullptr); }
  void StopTimer(UINT_PTR id) { KillTimer(hwnd_, id); }
  void CenterOnScreen();

  // The registered message id of an entry name (0 when it cannot be registered).
  static UINT RegisteredMessage(const wchar_t* name);

protected:
  // Called at WM_INITDIALOG once Hwnd() is set. Return TRUE to let the system
  // set the focus, FALSE when the handler set it.
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Last chance for a message no table entry handled; return true when handled.
  virtual bool OnUnhandledMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool DispatchTable(const MessageTable& table, UINT message, WPARAM wParam, LPARAM lParam,
                     LRESULT& result);
  bool DispatchDefaults(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void CreateControlSites();
  void CloseControlSites();
  static void HoldControlKeyHook(bool hold);
  static LRESULT CALLBACK ControlKeyHook(int code, WPARAM wParam, LPARAM lParam);

  UINT templateId_;
  HWND parent_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  std::vector<OleControlSite*> controlSites_;
};
