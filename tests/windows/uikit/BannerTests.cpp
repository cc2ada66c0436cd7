// The web banner: the document host's answers, the page's message box, the
// key filter through the site, and the platform's browser control hosted by
// CWebBrowser_banner, navigated to the reference web host on 127.0.14.1.
#include <gtest/gtest.h>

#include <exdisp.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Application.h"
#include "CCustomControlSite.h"
#include "CWebBrowser_banner.h"
#include "DownloaderTestSupport.h"
#include "MessageBoxIcon.h"
#include "MessageBoxProbe.h"
#include "OccManager.h"
#include "ServiceEndpoints.h"
#include "TextConversion.h"
#include "WindowFinder.h"

using namespace test_support;

namespace {

const char kWebService[] = "127.0.14.1";
const char kWebHost[] = "127.0.14.1:8140";

// The banner's site, recording which interfaces the control asked it for.
std::mutex g_askedLock;
std::vector<IID> g_asked;
int g_sitesAlive = 0;

class RecordingSite : public CCustomControlSite {
public:
  RecordingSite() { ++g_sitesAlive; }

protected:
  ~RecordingSite() override { --g_sitesAlive; }
  void* ExtraInterface(REFIID iid) override {
    {
      std::lock_guard<std::mutex> guard(g_askedLock);
      g_asked.push_back(iid);
    }
    return CCustomControlSite::ExtraInterface(iid);
  }
};

class RecordingOccManager : public OccManager {
public:
  OleControlSite* CreateSite() override { return new RecordingSite; }
};

bool WasAskedFor(REFIID iid) {
  std::lock_guard<std::mutex> guard(g_askedLock);
  return std::find(g_asked.begin(), g_asked.end(), iid) != g_asked.end();
}

// A site of our own, for the document host's answers; released at the end.
struct SiteHold {
  SiteHold() : site(new RecordingSite) {}
  ~SiteHold() { site->Release(); }
  template <class I>
  I* Ask(REFIID iid) {
    I* face = nullptr;
    site->QueryInterface(iid, reinterpret_cast<void**>(&face));
    return face;
  }
  OleControlSite* site;
};

class Banner : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    app_ = new Application;
    app_->InitializeOle();
    app_->SetOccManager(std::make_unique<RecordingOccManager>());
    OverrideWebHost(kWebHost);
  }
  static void TearDownTestSuite() { delete app_; }

  static Application* app_;
};
Application* Banner::app_ = nullptr;

TEST_F(Banner, DocumentHostInterfacesAreFoundOnTheSiteAndShareItsIdentity) {
  SiteHold hold;
  IUnknown* identity = hold.Ask<IUnknown>(IID_IUnknown);
  auto* handler = hold.Ask<IDocHostUIHandler>(CCustomControlSite::kDocHostUIHandlerId);
  auto* showUI = hold.Ask<IDocHostShowUI>(CCustomControlSite::kDocHostShowUIId);
  ASSERT_NE(nullptr, handler);
  ASSERT_NE(nullptr, showUI);
  IUnknown* back = nullptr;
  handler->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back));
  EXPECT_EQ(identity, back);
  back->Release();
  IOleClientSite* clientSite = nullptr;
  EXPECT_EQ(S_OK, showUI->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(&clientSite)));
  clientSite->Release();
  showUI->Release();
  handler->Release();
  identity->Release();
}

TEST_F(Banner, DocumentHostAnswersLockTheBrowserDown) {
  SiteHold hold;
  auto* handler = hold.Ask<IDocHostUIHandler>(CCustomControlSite::kDocHostUIHandlerId);
  ASSERT_NE(nullptr, handler);
  POINT where = {10, 10};
  EXPECT_EQ(S_OK, handler->ShowContextMenu(0, &where, nullptr, nullptr)) << "handled: no menu";

  DOCHOSTUIINFO info = {};
  info.cbSize = sizeof info;
  info.dwFlags = 0xFFFF;
  info.dwDoubleClick = 7;
  EXPECT_EQ(S_OK, handler->GetHostInfo(&info));
  EXPECT_EQ(static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER), info.dwFlags) << "no 3-D border, nothing else";
  EXPECT_EQ(static_cast<DWORD>(DOCHOSTUIDBLCLK_DEFAULT), info.dwDoubleClick);

  EXPECT_EQ(S_OK, handler->ShowUI(0, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(S_OK, handler->HideUI());
  EXPECT_EQ(S_OK, handler->UpdateUI());
  EXPECT_EQ(E_NOTIMPL, handler->EnableModeless(TRUE));
  EXPECT_EQ(E_NOTIMPL, handler->OnDocWindowActivate(TRUE));
  EXPECT_EQ(E_NOTIMPL, handler->OnFrameWindowActivate(TRUE));
  EXPECT_EQ(E_NOTIMPL, handler->ResizeBorder(nullptr, nullptr, TRUE));
  LPOLESTR key = reinterpret_cast<LPOLESTR>(1);
  EXPECT_EQ(E_NOTIMPL, handler->GetOptionKeyPath(&key, 0));
  EXPECT_EQ(nullptr, key);
  IDropTarget* drop = reinterpret_cast<IDropTarget*>(1);
  EXPECT_EQ(E_NOTIMPL, handler->GetDropTarget(nullptr, &drop));
  IDispatch* external = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(S_OK, handler->GetExternal(&external));
  EXPECT_EQ(nullptr, external) << "the page's external object stays null";
  wchar_t url[] = L"http://example/";
  LPWSTR translated = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(E_NOTIMPL, handler->TranslateUrl(0, url, &translated));
  IDataObject* filtered = reinterpret_cast<IDataObject*>(1);
  EXPECT_EQ(E_NOTIMPL, handler->FilterDataObject(nullptr, &filtered));
  handler->Release();

  auto* showUI = hold.Ask<IDocHostShowUI>(CCustomControlSite::kDocHostShowUIId);
  ASSERT_NE(nullptr, showUI);
  EXPECT_EQ(S_OK, showUI->ShowHelp(nullptr, nullptr, 0, 0, where, nullptr)) << "handled: no help";
  showUI->Release();
}

TEST_F(Banner, KeyFilterThroughTheSiteSwallowsBackspaceAndPassesOtherKeys) {
  SiteHold hold;
  auto* handler = hold.Ask<IDocHostUIHandler>(CCustomControlSite::kDocHostUIHandlerId);
  ASSERT_NE(nullptr, handler);
  auto key = [](UINT message, WPARAM keyParam) {
    MSG m = {};
    m.message = message;
    m.wParam = keyParam;
    return m;
  };
  MSG backspace = key(WM_KEYDOWN, VK_BACK);
  EXPECT_EQ(S_OK, handler->TranslateAccelerator(&backspace, nullptr, 0));
  MSG backspaceCharacter = key(WM_CHAR, VK_BACK);
  EXPECT_EQ(S_OK, handler->TranslateAccelerator(&backspaceCharacter, nullptr, 0));
  MSG letter = key(WM_KEYDOWN, 'A');
  EXPECT_EQ(S_FALSE, handler->TranslateAccelerator(&letter, nullptr, 0)) << "no key is held: the page gets it";
  MSG tab = key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(S_FALSE, handler->TranslateAccelerator(&tab, nullptr, 0));

  // The key state is read from the system: F5, and Ctrl with O, P or N, held down.
  auto press = [](BYTE key, bool down) { keybd_event(key, 0, down ? 0 : KEYEVENTF_KEYUP, 0); };
  press(VK_F5, true);
  harness::PumpMessages(100);
  MSG refresh = key(WM_KEYDOWN, VK_F5);
  EXPECT_EQ(S_OK, handler->TranslateAccelerator(&refresh, nullptr, 0)) << "F5";
  press(VK_F5, false);
  for (BYTE letter : {'O', 'P', 'N'}) {
    press(VK_CONTROL, true);
    press(letter, true);
    harness::PumpMessages(100);
    MSG held = key(WM_KEYDOWN, letter);
    EXPECT_EQ(S_OK, handler->TranslateAccelerator(&held, nullptr, 0)) << "Ctrl+" << letter;
    press(letter, false);
    press(VK_CONTROL, false);
  }
  press('O', true);
  harness::PumpMessages(100);
  MSG alone = key(WM_KEYDOWN, 'O');
  EXPECT_EQ(S_FALSE, handler->TranslateAccelerator(&alone, nullptr, 0)) << "O without Ctrl reaches the page";
  press('O', false);
  handler->Release();
}

TEST_F(Banner, PageMessageBoxCarriesTheProgramsCaptionTheErrorIconAndOneOkButton) {
  SiteHold hold;
  auto* showUI = hold.Ask<IDocHostShowUI>(CCustomControlSite::kDocHostShowUIId);
  ASSERT_NE(nullptr, showUI);
  HRESULT answer = E_FAIL;
  LRESULT result = 12345;
  // Whatever fails below, the page's box is answered and its thread joined.
  struct BoxCloser {
    std::thread page;
    ~BoxCloser() {
      while (page.joinable()) {
        harness::MessageBoxContent left = harness::WaitForMessageBox(GetCurrentProcessId(), 500);
        if (left.box) harness::PressButton(left.box, IDOK);
        if (!left.box) page.join();
      }
    }
  } closer;
  closer.page = std::thread([&] {
    wchar_t text[] = L"배너 알림: 안녕하세요";
    wchar_t caption[] = L"Page caption";
    answer = showUI->ShowMessage(nullptr, text, caption, MB_YESNOCANCEL | MB_ICONQUESTION, nullptr, 0, &result);
  });
  harness::MessageBoxContent box = harness::WaitForMessageBox(GetCurrentProcessId(), 10000);
  ASSERT_NE(nullptr, box.box);
  EXPECT_EQ(L"Custom Browser", box.caption);
  EXPECT_EQ(L"배너 알림: 안녕하세요", box.text);
  harness::PumpMessages(300);
  EXPECT_STREQ(IconName(IDI_ERROR), IconName(MessageBoxIcon(box.box)));
  int buttons = 0;
  for (HWND child = GetWindow(box.box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[32] = L"";
    GetClassNameW(child, name, 32);
    if (_wcsicmp(name, L"Button") == 0 && IsWindowVisible(child)) ++buttons;
  }
  EXPECT_EQ(1, buttons) << "a single button";
  EXPECT_NE(nullptr, GetDlgItem(box.box, IDOK));
  harness::PressButton(box.box, IDOK);
  closer.page.join();
  EXPECT_EQ(S_OK, answer) << "handled";
  EXPECT_EQ(12345, result) << "the result is left as it was";
  showUI->Release();
}

// A plain top-level window to hold the banner.
class HostWindow {
public:
  HostWindow() {
    window_ = CreateWindowExW(0, L"Static", L"banner host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 640, 200,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~HostWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  HWND Hwnd() const { return window_; }

private:
  HWND window_;
};

SIZE ClientSize(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

bool WaitForPageRequest(const std::string& path, DWORD timeoutMs) {
  const std::vector<std::string> parts = {"\"request\"", "\"path\":\"" + path + "\""};
  for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
    if (CountLogLines(kWebService, parts) > 0) return true;
    harness::PumpMessages(100);
  }
  return false;
}

TEST_F(Banner, BrowserControlIsHostedActivatedInPlaceSizedAndNavigatedOnce) {
  {
    HostWindow host;
    ASSERT_NE(nullptr, host.Hwnd());
    CWebBrowser_banner banner;
    RECT place = {10, 120, 610, 180};
    ASSERT_TRUE(banner.Create("banner", WS_CHILD | WS_VISIBLE, place, host.Hwnd(), 1026))
        << "the platform's browser control could not be created";
    EXPECT_TRUE(banner.HasBrowser());
    EXPECT_EQ(1026, banner.Id());
    EXPECT_EQ(600, ClientSize(banner.Hwnd()).cx);
    OleControlSite* site = OleControlSite::FromWindow(banner.Hwnd());
    ASSERT_NE(nullptr, site);
    EXPECT_TRUE(site->IsInPlaceActive());
    HWND browserWindow = GetWindow(banner.Hwnd(), GW_CHILD);
    ASSERT_NE(nullptr, browserWindow) << "the control's window lives in the banner";
    EXPECT_EQ(600, ClientSize(browserWindow).cx);
    EXPECT_EQ(60, ClientSize(browserWindow).cy);

    banner.Move(10, 120, 400, 50);
    EXPECT_EQ(400, ClientSize(browserWindow).cx) << "the control follows the banner";
    EXPECT_EQ(50, ClientSize(browserWindow).cy);

    EXPECT_EQ(S_OK, banner.Navigate2(WebHostUrl("/app/download.html")));
    EXPECT_TRUE(WaitForPageRequest("/app/download.html", 20000)) << "the web host saw no request for the page";
    EXPECT_TRUE(WasAskedFor(CCustomControlSite::kDocHostUIHandlerId)) << "the browser looks for its document host";
    EXPECT_TRUE(WasAskedFor(CCustomControlSite::kDocHostShowUIId));
    EXPECT_EQ(1, g_sitesAlive);
  }
  harness::PumpMessages(200);
  EXPECT_EQ(0, g_sitesAlive) << "the site goes with its window";
}

TEST_F(Banner, UnreachableWebHostLeavesTheBannerQuiet) {
  HostWindow host;
  CWebBrowser_banner banner;
  RECT place = {0, 0, 300, 60};
  ASSERT_TRUE(banner.Create("banner", WS_CHILD | WS_VISIBLE, place, host.Hwnd(), 1041));
  EXPECT_EQ(S_OK, banner.Navigate2("http://127.0.14.2:8141/app/upload.html"));
  harness::PumpMessages(2000);
  EXPECT_EQ(nullptr, harness::WaitForMessageBox(GetCurrentProcessId(), 100).box) << "no message box";
  EXPECT_TRUE(banner.HasBrowser());
}

TEST_F(Banner, NavigatingABannerWithoutBrowserDoesNothing) {
  HostWindow host;
  HWND blank = CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 100, 20, host.Hwnd(), nullptr, nullptr, nullptr);
  CWebBrowser_banner banner;
  ASSERT_TRUE(banner.Attach(blank));
  EXPECT_FALSE(banner.HasBrowser());
  EXPECT_EQ(E_FAIL, banner.Navigate2(WebHostUrl("/app/download.html")));
}

}  // namespace
