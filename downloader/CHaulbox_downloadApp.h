#pragma once
// The downloader's application object: start-up checks, then the modal main
// window is the program's whole life.
#include <windows.h>

#include "Application.h"

class CHaulbox_downloadApp : public Application {
public:
  ~CHaulbox_downloadApp() override;

protected:
  bool InitInstance() override;

private:
  HANDLE startupMutex_ = nullptr;
  bool socketsStarted_ = false;
};
