#pragma once
// The downloader's application object: the shared start-up, then its window.
#include "CTransferApp.h"

class CHaulbox_downloadApp : public CTransferApp {
public:
  CHaulbox_downloadApp();

protected:
  void WriteFirstRunSettings() override;
  void RunMainWindow() override;
};
