#pragma once
// Shutting the computer down after the last transfer: the shutdown privilege
// of the process token, then the shutdown itself. The main window goes
// through this interface so that tests can put a recorder in its place.
#include <windows.h>

class SystemShutdown {
public:
  virtual ~SystemShutdown() = default;

  // Enables the privilege `name` ("SeShutdownPrivilege") in the process
  // token, opened for adjusting privileges and query. False when it cannot.
  virtual bool EnablePrivilege(const wchar_t* name) = 0;
  // Starts the shutdown of the local computer (InitiateSystemShutdownW).
  virtual bool InitiateShutdown(const wchar_t* message, DWORD timeoutSeconds, BOOL forceAppsClosed,
                                BOOL rebootAfterShutdown) = 0;

  // The real one.
  static SystemShutdown& Platform();
};
