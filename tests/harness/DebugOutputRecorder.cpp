#include "DebugOutputRecorder.h"

#include <mutex>

namespace harness {
namespace {

// The exceptions OutputDebugString raises: ANSI text, and since Windows 10
// UTF-16 text first. Parameters: length in characters (with the terminator),
// then the text.
constexpr DWORD kPrintException = 0x40010006;      // DBG_PRINTEXCEPTION_C
constexpr DWORD kWidePrintException = 0x4001000A;  // DBG_PRINTEXCEPTION_WIDE_C

std::mutex g_lock;
std::vector<std::wstring> g_lines;

std::wstring FromAnsi(const char* text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
  wide.resize(static_cast<std::size_t>(length - 1));
  return wide;
}

LONG CALLBACK RecordDebugOutput(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
  if (record->NumberParameters < 2 || !record->ExceptionInformation[1]) return EXCEPTION_CONTINUE_SEARCH;
  std::wstring line;
  if (record->ExceptionCode == kWidePrintException) {
    line = reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]);
  } else if (record->ExceptionCode == kPrintException) {
    line = FromAnsi(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
  } else {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  std::lock_guard<std::mutex> hold(g_lock);
  g_lines.push_back(line);
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

DebugOutputRecorder::DebugOutputRecorder() {
  {
    std::lock_guard<std::mutex> hold(g_lock);
    g_lines.clear();
  }
  handler_ = AddVectoredExceptionHandler(1, RecordDebugOutput);
}

DebugOutputRecorder::~DebugOutputRecorder() {
  if (handler_) RemoveVectoredExceptionHandler(handler_);
}

std::vector<std::wstring> DebugOutputRecorder::Lines() const {
  std::lock_guard<std::mutex> hold(g_lock);
  return g_lines;
}

std::string DebugOutputRecorder::Transcript() const {
  std::string text;
  for (const std::wstring& line : Lines()) {
    int length = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    if (length > 0) {
      WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], length, nullptr,
                          nullptr);
    }
    text += utf8;
    if (text.empty() || text.back() != '\n') text += '\n';
  }
  return text;
}

bool DebugOutputRecorder::Saw(const std::wstring& part) const {
  for (const std::wstring& line : Lines()) {
    if (line.find(part) != std::wstring::npos) return true;
  }
  return false;
}

}  // namespace harness
