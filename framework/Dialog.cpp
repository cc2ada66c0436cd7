#include "Dialog.h"

#include "Application.h"
#include "Control.h"
#include "ModuleInstance.h"
#include "OccManager.h"
#include "SwallowedException.h"
#include "TextConversion.h"

#include <commctrl.h>

#include <exception>
#include <map>
#include <mutex>
#include <string>

namespace {

void InitCommonControlsOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
  });
}

// Dialog procedures return these results directly instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
         message == WM_INITDIALOG || message == WM_COMPAREITEM || message == WM_VKEYTOITEM ||
         message == WM_CHARTOITEM || message == WM_QUERYDRAGICON;
}

bool IsRegisteredMessage(UINT message) { return message >= 0xC000 && message <= 0xFFFF; }

}  // namespace

Dialog::Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() {
  CloseControlSites();
  if (hwnd_ && !modal_) {
    HWND hwnd = hwnd_;
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
  }
}

const MessageTable& Dialog::Table() {
  static const MessageTable table;
  return table;
}

INT_PTR Dialog::DoModal() {
  InitCommonControlsOnce();
  modal_ = true;
  INT_PTR result = DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId_), parent_,
                                   DialogProc, reinterpret_cast<LPARAM>(this));
  hwnd_ = nullptr;
  return result;
}

bool Dialog::Create() {
  InitCommonControlsOnce();
  modal_ = false;
  return CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId_), parent_, DialogProc,
                            reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
  if (!hwnd_) return;
  if (modal_) {
    ::EndDialog(hwnd_, result);
  } else {
    DestroyWindow(hwnd_);
  }
}

void Dialog::SetItemText(int id, const std::string& cp949) {
  SetDlgItemTextW(hwnd_, id, Widen(cp949).c_str());
}

std::string Dialog::ItemText(int id) const {
  HWND item = GetDlgItem(hwnd_, id);
  if (!item) return std::string();
  int length = GetWindowTextLengthW(item);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(item, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return Narrow(text);
}

void Dialog::SetCaption(const std::string& cp949) { SetWindowTextW(hwnd_, Widen(cp949).c_str()); }

void Dialog::CenterOnScreen() {
  RECT rect;
  if (!GetWindowRect(hwnd_, &rect)) return;
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::CreateControlSites() {
  Application* application = Application::Current();
  OccManager* manager = application ? application->GetOccManager() : nullptr;
  if (manager) controlSites_ = manager->CreateDialogControls(hwnd_, ModuleInstance(), templateId_);
  if (!controlSites_.empty()) HoldControlKeyHook(true);
}

// One hook per thread, however many of its dialogs have controls: a key is
// offered to a control once.
void Dialog::HoldControlKeyHook(bool hold) {
  thread_local HHOOK hook = nullptr;
  thread_local int holders = 0;
  if (hold) {
    if (holders++ == 0) hook = SetWindowsHookExW(WH_MSGFILTER, ControlKeyHook, nullptr, GetCurrentThreadId());
  } else if (holders > 0 && --holders == 0) {
    if (hook) UnhookWindowsHookEx(hook);
    hook = nullptr;
  }
}

LRESULT CALLBACK Dialog::ControlKeyHook(int code, WPARAM wParam, LPARAM lParam) {
  // The modal loop's messages: a key the active control uses is not dispatched.
  if (code == MSGF_DIALOGBOX && lParam) {
    try {
      if (OleControlSite::TranslateControlAccelerator(*reinterpret_cast<MSG*>(lParam))) return TRUE;
    } catch (...) {
      TraceSwallowedException(L"dialog control key hook", 0, nullptr);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Dialog::CloseControlSites() {
  if (controlSites_.empty()) return;
  HoldControlKeyHook(false);
  std::vector<OleControlSite*> sites;
  sites.swap(controlSites_);
  for (OleControlSite* site : sites) {
    site->Close();
    site->Release();
  }
}

UINT Dialog::RegisteredMessage(const wchar_t* name) {
  static std::mutex lock;
  static std::map<std::wstring, UINT> ids;
  std::lock_guard<std::mutex> guard(lock);
  auto found = ids.find(name);
  if (found != ids.end()) return found->second;
  UINT id = RegisterWindowMessageW(name);
  ids.emplace(name, id);
  return id;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    Dialog* dialog;
    if (message == WM_INITDIALOG) {
      dialog = reinterpret_cast<Dialog*>(lParam);
      SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
      dialog->hwnd_ = hwnd;
      dialog->CreateControlSites();
      return dialog->OnInitDialog();
    }
    dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!dialog) return FALSE;  // not attached yet: default handling
    if (message == WM_NCDESTROY) {
      dialog->CloseControlSites();  // in case the WM_DESTROY handling failed
      SetWindowLongPtrW(hwnd, DWLP_USER, 0);
      dialog->hwnd_ = nullptr;
      return FALSE;
    }
    LRESULT result = 0;
    bool handled = dialog->Dispatch(message, wParam, lParam, result);
    if (message == WM_DESTROY) dialog->CloseControlSites();
    if (!handled) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
  } catch (const std::exception& failure) {
    // A handler failed: the message gets the default handling.
    TraceSwallowedException(L"dialog procedure", message, failure.what());
    return FALSE;
  } catch (...) {
    TraceSwallowedException(L"dialog procedure", message, nullptr);
    return FALSE;
  }
}

bool Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  for (const MessageTable* table = &Messages(); table; table = table->Base()) {
    if (DispatchTable(*table, message, wParam, lParam, result)) return true;
  }
  if (DispatchDefaults(message, wParam, lParam, result)) return true;
  return OnUnhandledMessage(message, wParam, lParam, result);
}

bool Dialog::DispatchTable(const MessageTable& table, UINT message, WPARAM wParam, LPARAM lParam,
                           LRESULT& result) {
  for (const MessageEntry& entry : table) {
    switch (entry.kind) {
      case MessageEntry::Kind::Command: {
        if (message != WM_COMMAND || LOWORD(wParam) != static_cast<WORD>(entry.id)) break;
        if (entry.code != MessageEntry::kAnyCode && HIWORD(wParam) != static_cast<WORD>(entry.code))
          break;
        (this->*entry.action)();
        result = 0;
        return true;
      }
      case MessageEntry::Kind::Timer:
        if (message != WM_TIMER || wParam != static_cast<WPARAM>(entry.id)) break;
        (this->*entry.action)();
        result = 0;
        return true;
      case MessageEntry::Kind::CopyData: {
        if (message != WM_COPYDATA || !lParam) break;
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if ((this->*entry.copyDataHandler)(reinterpret_cast<HWND>(wParam), *data)) {
          result = TRUE;
          return true;
        }
        break;
      }
      case MessageEntry::Kind::Registered:
        if (!IsRegisteredMessage(message) || message != RegisteredMessage(entry.registeredName)) break;
        if ((this->*entry.messageHandler)(wParam, lParam, result)) return true;
        break;
      case MessageEntry::Kind::Message:
        if (message != entry.message) break;
        if ((this->*entry.messageHandler)(wParam, lParam, result)) return true;
        break;
      case MessageEntry::Kind::Notify: {
        if (message != WM_NOTIFY || !lParam) break;
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (static_cast<int>(header->idFrom) != entry.id) break;
        if (entry.code != MessageEntry::kAnyCode && static_cast<int>(header->code) != entry.code) break;
        if ((this->*entry.notifyHandler)(*header, result)) return true;
        break;
      }
    }
  }
  return false;
}

bool Dialog::DispatchDefaults(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // Enter, Esc, Alt+F4 and the OK/Cancel buttons all arrive as BN_CLICKED (code 0).
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) {
      OnOK();
      result = 0;
      return true;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      OnCancel();
      result = 0;
      return true;
    }
  }
  if (message == WM_DRAWITEM && lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    Control* control = Control::FromHandle(item->hwndItem);
    if (control && control->DrawItem(*item)) {
      result = TRUE;
      return true;
    }
  }
  return false;
}
