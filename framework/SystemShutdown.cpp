#include "SystemShutdown.h"

namespace {

class PlatformShutdown : public SystemShutdown {
public:
  bool EnablePrivilege(const wchar_t* name) override {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool ok = LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid) &&
              AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
              GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return ok;
  }

  bool InitiateShutdown(const wchar_t* message, DWORD timeoutSeconds, BOOL forceAppsClosed,
                        BOOL rebootAfterShutdown) override {
    return InitiateSystemShutdownW(nullptr, const_cast<wchar_t*>(message), timeoutSeconds, forceAppsClosed,
                                   rebootAfterShutdown) != FALSE;
  }
};

}  // namespace

SystemShutdown& SystemShutdown::Platform() {
  static PlatformShutdown platform;
  return platform;
}
