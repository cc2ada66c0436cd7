#include "Application.h"

#include "OccManager.h"
#include "RegistryKey.h"
#include "TextConversion.h"

namespace {
Application* g_current = nullptr;
}

Application::Application() { g_current = this; }

void Application::SetOccManager(std::unique_ptr<OccManager> manager) { occManager_ = std::move(manager); }

bool Application::InitializeOle() {
  if (!oleInitialized_) oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
  return oleInitialized_;
}

Application::~Application() {
  occManager_.reset();
  if (oleInitialized_) OleUninitialize();
  if (g_current == this) g_current = nullptr;
}

Application* Application::Current() { return g_current; }

int Application::Run() {
  if (!InitInstance()) return exitCode_;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (mainWindow_ && IsDialogMessageW(mainWindow_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return message.message == WM_QUIT ? static_cast<int>(message.wParam) : exitCode_;
}

void Application::SetRegistryKey(const std::string& key) { registryKey_ = key; }

void Application::SetTitle(const std::string& title) { title_ = title; }

std::wstring Application::ProfileKeyPath(const std::string& section) const {
  if (registryKey_.empty() || title_.empty()) return std::wstring();
  std::wstring path = L"Software\\" + Widen(registryKey_) + L"\\" + Widen(title_);
  if (!section.empty()) path += L"\\" + Widen(section);
  return path;
}

int Application::GetProfileInt(const std::string& section, const std::string& entry,
                               int defaultValue) const {
  std::wstring path = ProfileKeyPath(section);
  if (path.empty()) return defaultValue;
  RegistryKey key;
  if (key.Open(HKEY_CURRENT_USER, path, KEY_READ) != ERROR_SUCCESS) return defaultValue;
  DWORD value = 0;
  if (key.ReadDword(Widen(entry), value) != ERROR_SUCCESS) return defaultValue;
  return static_cast<int>(value);
}

bool Application::WriteProfileInt(const std::string& section, const std::string& entry, int value) {
  std::wstring path = ProfileKeyPath(section);
  if (path.empty()) return false;
  RegistryKey key;
  if (key.Create(HKEY_CURRENT_USER, path, KEY_WRITE) != ERROR_SUCCESS) return false;
  return key.WriteDword(Widen(entry), static_cast<DWORD>(value)) == ERROR_SUCCESS;
}

std::string Application::GetProfileString(const std::string& section, const std::string& entry,
                                          const std::string& defaultValue) const {
  std::wstring path = ProfileKeyPath(section);
  if (path.empty()) return defaultValue;
  RegistryKey key;
  if (key.Open(HKEY_CURRENT_USER, path, KEY_READ) != ERROR_SUCCESS) return defaultValue;
  std::wstring value;
  if (key.ReadString(Widen(entry), value) != ERROR_SUCCESS) return defaultValue;
  return Narrow(value);
}

bool Application::WriteProfileString(const std::string& section, const std::string& entry,
                                     const std::string& value) {
  std::wstring path = ProfileKeyPath(section);
  if (path.empty()) return false;
  RegistryKey key;
  if (key.Create(HKEY_CURRENT_USER, path, KEY_WRITE) != ERROR_SUCCESS) return false;
  return key.WriteString(Widen(entry), Widen(value)) == ERROR_SUCCESS;
}
