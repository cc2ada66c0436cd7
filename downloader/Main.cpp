#include "CHaulbox_downloadApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CHaulbox_downloadApp app;
  return app.Run();
}
