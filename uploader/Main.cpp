#include "CPellmark_uploadApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CPellmark_uploadApp app;
  return app.Run();
}
