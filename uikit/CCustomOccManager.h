#pragma once
// The programs' control-container manager: every OLE control in their dialogs
// gets a CCustomControlSite (the banner's browser needs its document host).
#include "CCustomControlSite.h"
#include "OccManager.h"

class CCustomOccManager : public OccManager {
public:
  OleControlSite* CreateSite() override { return new CCustomControlSite; }
};
