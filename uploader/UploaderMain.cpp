// Haulbox_UPLOAD: the uploader's application object and entry point.
#include "Application.h"
#include "Dialog.h"
#include "UploaderResources.h"

#include <windows.h>

namespace {

class CHaulbox_uploadApp : public Application {
protected:
  bool InitInstance() override {
    SetRegistryKey("Quorvanes");
    SetTitle("Velmintor");
    Dialog mainWindow(IDD_UPLOADER_MAIN);
    mainWindow.DoModal();
    return false;  // the modal main window was the program's life
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CHaulbox_uploadApp app;
  return app.Run();
}
