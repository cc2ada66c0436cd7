#pragma once
// CHaulbox_ActiveApp: the web control module's application object, started
// once when the library is loaded into a process and stopped when it is
// unloaded.
#include "Application.h"

class CHaulbox_ActiveApp : public Application {
public:
  // Registers the launcher window's class (the transfer programs find the
  // launcher by it) and names the control's settings key
  // HKEY_CURRENT_USER\Software\Quorvanes\<module name>\...
  bool Start();
  void Stop();
};
