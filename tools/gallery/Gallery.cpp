// Opens one window of the UI toolkit with sample data for a few seconds so
// that scripts/screenshots.sh can photograph it:
//   HaulboxGallery_DOWN.exe <window> [seconds]
// Windows: widgets (skin buttons, a transfer list, progress bars),
// settings (the settings dialog), overwrite (the existing-file prompt; the
// downloader's resources only).
#include <Application.h>
#include <CButtontoImage.h>
#include <CFileList.h>
#include <CFileOverCheck.h>
#include <CPic_Progress.h>
#include <Haulbox_Config.h>
#include <SettingsStore.h>
#include <SkinTable.h>
#include <TextConversion.h>

#include <windows.h>

#include <Formatting.h>
#include <shellapi.h>

#ifdef HAULBOX_GALLERY_UPLOADER
#include <UploaderRes.h>
#else
#include <DownloaderRes.h>
#endif

#include <cstdint>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

// The main window's controls as the program's id header names them.
#ifdef HAULBOX_GALLERY_UPLOADER
constexpr settings::ConfigProgram kProgram = settings::ConfigProgram::Uploader;
constexpr SkinWindow kMainSkins = SkinWindow::UploaderMain;
constexpr int kStartStopButton = IDC_UP_START_STOP;
constexpr int kTransferList = IDC_UP_LIST;
#else
constexpr settings::ConfigProgram kProgram = settings::ConfigProgram::Downloader;
constexpr SkinWindow kMainSkins = SkinWindow::DownloaderMain;
constexpr int kStartStopButton = IDC_DOWN_START_STOP;
constexpr int kTransferList = IDC_DOWN_LIST;
#endif

struct SampleEntry {
  std::string name;
  std::int64_t size = 0;
};

// Ends the thread's modal dialog (or the message loop) when the time is up.
void CALLBACK TimeUp(HWND, UINT, UINT_PTR, DWORD) {
  struct Finder {
    static BOOL CALLBACK Each(HWND window, LPARAM) {
      wchar_t name[16] = {};
      GetClassNameW(window, name, 16);
      if (std::wstring(name) == L"#32770") EndDialog(window, 0);
      return TRUE;
    }
  };
  EnumThreadWindows(GetCurrentThreadId(), Finder::Each, 0);
  PostQuitMessage(0);
}

LRESULT CALLBACK WidgetsProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWITEM && lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (Control* control = Control::FromHandle(item->hwndItem)) {
      if (control->DrawItem(*item)) return TRUE;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class WidgetsWindow {
public:
  bool Open() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WidgetsProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = CreateSolidBrush(RGB(245, 247, 250));
    windowClass.lpszClassName = L"HaulboxGalleryWidgets";
    RegisterClassExW(&windowClass);
    hwnd_ = CreateWindowExW(0, windowClass.lpszClassName, L"gallery", WS_POPUP | WS_VISIBLE | WS_BORDER, 100, 100,
                            640, 420, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!hwnd_) return false;
    AddButtons();
    AddList();
    AddBars();
    return true;
  }

private:
  HWND Child(const wchar_t* className, DWORD style, int id, int x, int y, int w, int h) {
    return CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  }

  // Every skin button of the main window at one frame's size, in a row;
  // the start/stop button also with its alternate (stop) face.
  void AddButtons() {
    std::size_t count = 0;
    const SkinRow* rows = SkinRows(&count);
    int x = 10, y = 10, rowHeight = 0;
    for (std::size_t i = 0; i < count; ++i) {
      if (rows[i].window != kMainSkins) continue;
      const int w = rows[i].stripWidth / kSkinFrameCount, h = rows[i].stripHeight;
      const bool startStop = rows[i].controlId == kStartStopButton;
      for (int alternate = 0; alternate <= (startStop ? 1 : 0); ++alternate) {
        if (x + w > 630) {
          x = 10;
          y += rowHeight + 8;
          rowHeight = 0;
        }
        auto button = std::make_unique<CButtontoImage>();
        button->Attach(Child(L"BUTTON", BS_OWNERDRAW, rows[i].controlId, x, y, w, h));
        button->LoadSkin(rows[i]);
        button->m_alternate = alternate;
        buttons_.push_back(std::move(button));
        x += w + 8;
        if (h > rowHeight) rowHeight = h;
      }
    }
    buttonsBottom_ = y + rowHeight + 12;
  }

  void AddList() {
    list_.Attach(
        Child(WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER, kTransferList, 10, buttonsBottom_, 620, 150));
    list_.SetExtendedStyle(CFileList<SampleEntry>::kExtendedStyle);
    RECT client;
    GetClientRect(list_.Hwnd(), &client);
    list_.InsertColumn(0, "파일명", 330, LVCFMT_CENTER);
    list_.InsertColumn(1, "파일크기", 90, LVCFMT_RIGHT);
    list_.InsertColumn(3, "진행상태", client.right - 420, LVCFMT_CENTER);
    list_.AttachSystemImageList();
    const struct {
      const char* name;
      std::int64_t size;
      const char* state;
    } rows[] = {{"여름휴가_영상.avi", 734003200, "완료"},
                {"회의자료_2026.doc", 1048576, "전송중"},
                {"음악모음.mp3", 5000000, "대기"},
                {"setup_tool.exe", 123456, "대기"},
                {"사진.zip", 999, "오류"}};
    int index = 0;
    for (const auto& row : rows) {
      list_.m_entries[index] = {row.name, row.size};
      list_.InsertFileRow(index, row.name, FormatSize(row.size), row.state);
      ++index;
    }
    list_.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }

  void AddBars() {
    const int y = buttonsBottom_ + 165;
    const struct {
      std::int64_t done, total;
    } bars[] = {{367001600, 1048576000}, {755020000, 1048576000}};
    int top = y;
    for (const auto& sample : bars) {
      auto bar = std::make_unique<CPic_Progress>();
      RECT rect = {10, top, 610, top + 18};
      bar->Create(hwnd_, 0, rect);
      bar->SetRange(0, 1000);
      bar->m_caption = ProgressCaption(sample.done, sample.total);
      bar->SetPos(1, true);
      bar->SetPos(0, true);
      bar->SetPos(static_cast<std::uint32_t>(ProgressPosition(sample.done, sample.total)), true);
      bars_.push_back(std::move(bar));
      top += 26;
    }
  }

  HWND hwnd_ = nullptr;
  int buttonsBottom_ = 0;
  std::vector<std::unique_ptr<CButtontoImage>> buttons_;
  CFileList<SampleEntry> list_;
  std::vector<std::unique_ptr<CPic_Progress>> bars_;
};

class GalleryApp : public Application {
public:
  GalleryApp(std::wstring window, UINT seconds) : window_(std::move(window)), seconds_(seconds) {}

protected:
  bool InitInstance() override {
    SetRegistryKey("HaulboxGallery");
    SetTitle(settings::kProfileName);
    settings::WriteFirstRunSettings(*this);
    WriteProfileInt(settings::kSection, settings::kUpTray, 1);
    SetTimer(nullptr, 0, seconds_ * 1000, TimeUp);
    if (window_ == L"settings") {
      Haulbox_Config dialog(kProgram);
      dialog.DoModal();
      return false;
    }
#ifndef HAULBOX_GALLERY_UPLOADER
    if (window_ == L"overwrite") {
      CFileOverCheck prompt;
      prompt.m_fileText = "D:\\받은 파일\\여름휴가_영상.avi";
      prompt.DoModal();
      return false;
    }
#endif
    if (window_ == L"widgets") {
      widgets_ = std::make_unique<WidgetsWindow>();
      return widgets_->Open();
    }
    SetExitCode(2);
    return false;
  }

private:
  std::wstring window_;
  UINT seconds_;
  std::unique_ptr<WidgetsWindow> widgets_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  int count = 0;
  PWSTR* arguments = CommandLineToArgvW(commandLine, &count);
  std::wstring window = count >= 1 && commandLine[0] ? arguments[0] : L"widgets";
  UINT seconds = count >= 2 ? static_cast<UINT>(_wtoi(arguments[1])) : 5;
  LocalFree(arguments);
  GalleryApp app(window, seconds ? seconds : 5);
  return app.Run();
}
