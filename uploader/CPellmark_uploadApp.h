#pragma once
// The uploader's application object: the shared start-up, then its window.
#include "CTransferApp.h"

class CPellmark_uploadApp : public CTransferApp {
public:
  CPellmark_uploadApp();

protected:
  void WriteFirstRunSettings() override;
  void RunMainWindow() override;
};
