#pragma once
// The application object: registry key and title that name the profile, and
// the profile operations on HKEY_CURRENT_USER\Software\<key>\<title>\<section>.
// Integers are REG_DWORD, texts REG_SZ; names and texts are CP949 and are
// converted to UTF-16 with code page 949. Reads return the default when the
// value (or the key) is absent or has another type. Writes create missing keys
// and report success; they never show a box.
//
// A program derives from it, overrides InitInstance and calls Run from WinMain:
//   int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
//     CHaulbox_downloadApp app; return app.Run();
//   }
#include <windows.h>

#include <memory>
#include <string>

class OccManager;

class Application {
public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The application object of this process (the last one constructed), or null.
  static Application* Current();

  // Calls InitInstance; when it returns true runs a message loop until WM_QUIT.
  // Returns the exit code (ExitCode(), or the WM_QUIT code after a loop).
  int Run();

  void SetRegistryKey(const std::string& key);       // e.g. "Quorvanes"
  void SetTitle(const std::string& title);           // e.g. "Velmintor"
  const std::string& RegistryKeyName() const { return registryKey_; }
  const std::string& Title() const { return title_; }

  int GetProfileInt(const std::string& section, const std::string& entry, int defaultValue) const;
  bool WriteProfileInt(const std::string& section, const std::string& entry, int value);
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue = std::string()) const;
  bool WriteProfileString(const std::string& section, const std::string& entry,
                          const std::string& value);

  // "Software\<key>\<title>\<section>" in UTF-16; empty when key or title is unset.
  std::wstring ProfileKeyPath(const std::string& section) const;

  HWND MainWindow() const { return mainWindow_; }
  void SetMainWindow(HWND window) { mainWindow_ = window; }
  void SetExitCode(int code) { exitCode_ = code; }

  // The control-container manager that gives the OLE controls of dialogs
  // created from now on their sites (OccManager.h); null: no controls.
  void SetOccManager(std::unique_ptr<OccManager> manager);
  // OleInitialize for the application's thread, undone when the application
  // ends. When it fails the program tells the member kOleInitFailedMessage.
  bool InitializeOle();
  static constexpr const char* kOleInitFailedMessage =
      "OLE를 초기화하지 못했습니다. OLE 라이브러리 버전이 올바른지 확인하십시오.";
  OccManager* GetOccManager() const { return occManager_.get(); }
  int ExitCode() const { return exitCode_; }

protected:
  // Start-up of the program. Return false when no message loop is to follow
  // (a dialog-based program runs its modal main window in here).
  virtual bool InitInstance() { return false; }

private:
  std::string registryKey_;
  std::string title_;
  HWND mainWindow_ = nullptr;
  int exitCode_ = 0;
  std::unique_ptr<OccManager> occManager_;
  bool oleInitialized_ = false;
};
