#pragma once
// The uploader's application object: start-up checks, then the modal main
// window is the program's whole life.
#include <windows.h>

#include "Application.h"

class CPellmark_uploadApp : public Application {
public:
  ~CPellmark_uploadApp() override;

protected:
  bool InitInstance() override;

private:
  HANDLE startupMutex_ = nullptr;
  bool socketsStarted_ = false;
};
