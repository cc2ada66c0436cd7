#include "CopyDataSender.h"

namespace harness {

CopyDataResult SendCopyData(HWND target, ULONG_PTR tag, const void* bytes, DWORD size, HWND from,
                            DWORD timeoutMs) {
  COPYDATASTRUCT data = {};
  data.dwData = tag;
  data.cbData = size;
  data.lpData = const_cast<void*>(bytes);
  DWORD_PTR reply = 0;
  CopyDataResult result;
  result.delivered = SendMessageTimeoutW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(from),
                                         reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, timeoutMs,
                                         &reply) != 0;
  result.reply = static_cast<LRESULT>(reply);
  return result;
}

CopyDataResult SendCopyDataText(HWND target, ULONG_PTR tag, const std::string& text, HWND from,
                                DWORD timeoutMs) {
  return SendCopyData(target, tag, text.c_str(), static_cast<DWORD>(text.size() + 1), from, timeoutMs);
}

}  // namespace harness
