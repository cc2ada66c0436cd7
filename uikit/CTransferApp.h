#pragma once
// The start-up both transfer programs share, in this order: the window class
// the launcher finds them by, Windows Sockets, OLE with the control-container
// manager that hosts the banner's browser, the program's marker mutex, the profile and its first run, and the
// check that the web control's launcher window exists. Then the modal main
// window is the program's whole life.
#include <windows.h>

#include "Application.h"

class CTransferApp : public Application {
public:
  struct Names {
    const wchar_t* windowClass;   // the main dialog template's class
    const wchar_t* markerMutex;
    const char* caption;          // of the start-up messages
    const char* errorCaption;
    const char* notFromHomePage;  // shown when there is no launcher window
  };

  explicit CTransferApp(const Names& names) : names_(names) {}
  ~CTransferApp() override;

protected:
  bool InitInstance() final;
  virtual void WriteFirstRunSettings() = 0;
  virtual void RunMainWindow() = 0;

private:
  Names names_;
  HANDLE markerMutex_ = nullptr;
  bool socketsStarted_ = false;
};
