#include "ProgramUpdate.h"

#include "CSetup_update.h"

int RunProgramUpdate(HWND owner, const std::string& uploaderVersion, const std::string& downloaderVersion) {
  CSetup_update update;
  update.SetParent(owner);
  update.requiredUploaderVersion = uploaderVersion;
  update.requiredDownloaderVersion = downloaderVersion;
  return update.Run();
}
