#pragma once
// The message table of a dialog class: a static array of entries that map a
// message (and control id / notification code / timer id) to a member handler.
//
// In the dialog's header:
//   class CSetupDlg : public Dialog {
//     ...
//     static const MessageTable& Table();
//     const MessageTable& Messages() const override { return Table(); }
//     void SaveClicked();
//     void ProgressTimer();
//     bool ReceiveHandoff(HWND sender, const COPYDATASTRUCT& data);
//     bool TaskbarCreated(WPARAM, LPARAM, LRESULT& result);
//     bool HitTest(WPARAM, LPARAM, LRESULT& result);
//   };
// In its source:
//   const MessageTable& CSetupDlg::Table() {
//     static const MessageEntry entries[] = {
//       messages::Command(IDC_SAVE, &CSetupDlg::SaveClicked),
//       messages::Timer(1, &CSetupDlg::ProgressTimer),
//       messages::CopyData(&CSetupDlg::ReceiveHandoff),
//       messages::Registered(L"TaskbarCreated", &CSetupDlg::TaskbarCreated),
//       messages::Message(WM_NCHITTEST, &CSetupDlg::HitTest),
//     };
//     static const MessageTable table(entries, &Dialog::Table());  // base class's table
//     return table;
//   }
//
// Lookup goes through the entries in order, then the base table. The first
// matching entry whose handler reports "handled" wins (Command/Timer entries
// always handle). Handlers of kind Message/Registered/Notify set `result`:
// for WM_CTLCOLOR* it is the brush, for WM_NCHITTEST the hit code, otherwise
// it becomes the message result (DWLP_MSGRESULT). Returning false gives the
// message to the next entry and finally to the default dialog handling.
#include <windows.h>

#include <cstddef>

class Dialog;

struct MessageEntry {
  enum class Kind { Command, Timer, CopyData, Registered, Message, Notify };
  static constexpr int kAnyCode = -1;

  using Action = void (Dialog::*)();
  using MessageHandler = bool (Dialog::*)(WPARAM, LPARAM, LRESULT& result);
  using CopyDataHandler = bool (Dialog::*)(HWND sender, const COPYDATASTRUCT& data);
  using NotifyHandler = bool (Dialog::*)(const NMHDR& header, LRESULT& result);

  Kind kind;
  UINT message;                  // Kind::Message
  int id;                        // control id (Command, Notify) or timer id (Timer)
  int code;                      // notification code or kAnyCode (Command, Notify)
  const wchar_t* registeredName; // Kind::Registered: name for RegisterWindowMessageW
  Action action;
  MessageHandler messageHandler;
  CopyDataHandler copyDataHandler;
  NotifyHandler notifyHandler;
};

class MessageTable {
public:
  template <std::size_t N>
  explicit MessageTable(const MessageEntry (&entries)[N], const MessageTable* base = nullptr)
      : entries_(entries), count_(N), base_(base) {}
  explicit MessageTable(const MessageTable* base = nullptr) : base_(base) {}

  const MessageEntry* begin() const { return entries_; }
  const MessageEntry* end() const { return entries_ + count_; }
  const MessageTable* Base() const { return base_; }

private:
  const MessageEntry* entries_ = nullptr;
  std::size_t count_ = 0;
  const MessageTable* base_ = nullptr;
};

// Entry builders. `D` is the dialog class; its handlers are cast to the
// Dialog base (D must derive from Dialog).
namespace messages {

// WM_COMMAND from control `id`, any notification code (or only `code`).
template <class D>
MessageEntry Command(int id, void (D::*handler)(), int code = MessageEntry::kAnyCode) {
  return {MessageEntry::Kind::Command, WM_COMMAND, id, code, nullptr,
          static_cast<MessageEntry::Action>(handler), nullptr, nullptr, nullptr};
}

// WM_TIMER with timer id `id`.
template <class D>
MessageEntry Timer(UINT_PTR id, void (D::*handler)()) {
  return {MessageEntry::Kind::Timer, WM_TIMER, static_cast<int>(id), MessageEntry::kAnyCode,
          nullptr, static_cast<MessageEntry::Action>(handler), nullptr, nullptr, nullptr};
}

// WM_COPYDATA; the handler returns true when it took the data (result TRUE).
template <class D>
MessageEntry CopyData(bool (D::*handler)(HWND sender, const COPYDATASTRUCT& data)) {
  return {MessageEntry::Kind::CopyData, WM_COPYDATA, 0, MessageEntry::kAnyCode, nullptr,
          nullptr, nullptr, static_cast<MessageEntry::CopyDataHandler>(handler), nullptr};
}

// A message registered by name (RegisterWindowMessageW), e.g. L"TaskbarCreated".
template <class D>
MessageEntry Registered(const wchar_t* name, bool (D::*handler)(WPARAM, LPARAM, LRESULT&)) {
  return {MessageEntry::Kind::Registered, 0, 0, MessageEntry::kAnyCode, name, nullptr,
          static_cast<MessageEntry::MessageHandler>(handler), nullptr, nullptr};
}

// Any other message: WM_NCHITTEST, WM_ERASEBKGND, WM_PAINT, WM_CTLCOLORSTATIC,
// WM_DRAWITEM, WM_SYSCOMMAND, WM_CLOSE, WM_USER + n, ...
template <class D>
MessageEntry Message(UINT message, bool (D::*handler)(WPARAM, LPARAM, LRESULT&)) {
  return {MessageEntry::Kind::Message, message, 0, MessageEntry::kAnyCode, nullptr, nullptr,
          static_cast<MessageEntry::MessageHandler>(handler), nullptr, nullptr};
}

// WM_NOTIFY from control `id` with notification `code` (or any code).
template <class D>
MessageEntry Notify(int id, int code, bool (D::*handler)(const NMHDR&, LRESULT&)) {
  return {MessageEntry::Kind::Notify, WM_NOTIFY, id, code, nullptr, nullptr, nullptr, nullptr,
          static_cast<MessageEntry::NotifyHandler>(handler)};
}

}  // namespace messages
