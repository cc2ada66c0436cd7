#include "DownloadJob.h"

#include "Application.h"
#include "JobText.h"
#include "MessageBoxes.h"
#include "ServiceEndpoints.h"

namespace {

const char kErrorCaption[] = "다운로더 (오류)";
const char kMemberCaption[] = "회원정보 (오류)";
const char kNotLoggedIn[] = "회원 로그인후 이용해주세요.";

// No connection to the transfer server. The caller goes on: exchanges on the
// unconnected object answer empty text.
void ShowConnectFailure() {
  ShowMessageBox(nullptr, "파일전송 서버에 접속할수 없습니다.", kErrorCaption, MB_OK | MB_ICONERROR);
}

int ConfigInt(const char* entry) {
  Application* app = Application::Current();
  return app ? app->GetProfileInt("Config", entry, 0) : 0;
}

std::string ConfigText(const char* entry) {
  Application* app = Application::Current();
  return app ? app->GetProfileString("Config", entry, "") : std::string();
}

}  // namespace

plan_window::LocalHour DownloadJobHost::LocalNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return plan_window::LocalHour{now.wYear, now.wMonth, now.wDay, now.wHour};
}

DownloadJob::DownloadJob(DownloadJobState& state, DownloadJobHost& host)
    : state_(state), host_(host) {}

void DownloadJob::ProcessJob(const std::string& handoffText) {
  job_text::Handoff handoff = job_text::SplitHandoff(handoffText);
  if (!handoff.tagMatches) return;
  host_.MoveToTopLeft();
  host_.AttachSystemIcons();
  member_.memberId = handoff.memberId;
  member_.serverNumber = handoff.serverNumber;
  member_.planName = "일반회원";
  member_.megabytes = 0;
  member_.expiryStamp = 0;
  if (member_.memberId.empty()) {
    ShowMessageBox(host_.JobOwner(), kNotLoggedIn, kMemberCaption, MB_OK | MB_ICONINFORMATION);
    host_.ExitProgram();
    return;
  }
  if (!Login()) return;
  member_.planCode = plan_window::PlanCodeFromName(member_.planName.c_str());
  // A refused plan still gets its list: the refusal stops the current file
  // and shows the service's page, as the window always did.
  CheckPlanWindow();
  const int codeCount = job_text::CountFileCodes(handoff.fileCodes);
  const std::string saveFolder = ChooseSaveFolder();
  if (saveFolder.empty()) {
    ShowMessageBox(host_.JobOwner(), "저장할 폴더가 지정되지 않아 다운로드를 시작하지 않았습니다.", "다운로더",
                   MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (host_.RowCount() + codeCount > kRowLimit) {
    ShowMessageBox(host_.JobOwner(), "추가할수 있는 파일의 개수를 초과할수 없습니다.\n총개수 : 180개 제한", "다운로더",
                   MB_OK | MB_ICONINFORMATION);
  } else {
    RequestDownloadList(handoff.fileCodes, codeCount, saveFolder);
  }
  host_.RecomputeTotals();
  if (ConfigInt("DOWN_Autostart") != 0 && !host_.IsRunning()) host_.ToggleDownload();
}

// The default folder when it is to be used, else the picker's choice, else
// the default folder; only a usable folder, empty when there is none.
std::string DownloadJob::ChooseSaveFolder() {
  const std::string folder = ConfigText("Default_folder");
  if (ConfigInt("Default_folder_use") != 0 && job_text::IsUsableSaveFolder(folder)) return folder;
  std::string picked;
  if (host_.PickFolder("저장 폴더를 지정하세요", picked) && job_text::IsUsableSaveFolder(picked)) return picked;
  return job_text::IsUsableSaveFolder(folder) ? folder : std::string();
}

bool DownloadJob::Login() {
  if (!loginConnection_.Connect(ResolveServerAddress(TransferServerHost()), kControlPort)) ShowConnectFailure();
  loginConnection_.Transact("@Connect_start");
  const std::string reply = loginConnection_.Transact(member_.memberId);
  const char* refusal = nullptr;
  if (reply == "No_member") refusal = kNotLoggedIn;
  if (reply == "Over_user") refusal = "이미 해당아이디는 사용중입니다.";
  if (refusal) {
    ShowMessageBox(host_.JobOwner(), refusal, kMemberCaption, MB_OK | MB_ICONINFORMATION);
    host_.ExitProgram();
    return false;
  }
  job_text::LoginReply login = job_text::SplitLoginReply(reply);
  member_.memberId = login.memberId;
  member_.megabytes = login.megabytes;
  member_.planName = login.planName;
  member_.expiryStamp = login.expiryStamp;
  return true;
}

bool DownloadJob::CheckPlanWindow() {
  const char* refusal = plan_window::PlanRefusal(member_.planCode, member_.expiryStamp, host_.LocalNow());
  if (!refusal) return true;
  const std::int32_t cursor = state_.transferCursor.load();
  if (cursor >= 0 && cursor < state_.entryCount) {
    state_.stoppedIndex.store(cursor);
    state_.RequestStop();
  }
  host_.ClearRunning();
  ShowMessageBox(host_.JobOwner(), refusal, "정보", MB_OK | MB_ICONERROR);
  host_.OpenWebHost();
  return false;
}

void DownloadJob::RequestDownloadList(std::string fileCodes, int codeCount, const std::string& saveFolder) {
  ControlConnection list;
  if (!list.Connect(ResolveServerAddress(TransferServerHost()), kControlPort)) ShowConnectFailure();
  const std::string admitted = list.Transact("@Download");
  list.Transact(member_.serverNumber.empty() ? "@Server0" : "@Server" + member_.serverNumber);
  const int firstAdded = state_.entryCount;
  bool leftOutUnsafe = false;
  if (admitted == "Ok") {
    for (int i = 0; i < codeCount; ++i) {
      std::string code = job_text::TakeNextFileCode(fileCodes);
      if (code.empty()) break;
      if (state_.HasFileCode(code)) continue;
      std::string reply = list.Transact(code);
      if (reply.empty() || reply == "Null" || reply == "Ping") continue;
      if (AddEntry(code, reply, saveFolder) == AddResult::kUnsafeName) leftOutUnsafe = true;
    }
  }
  list.Close();
  for (int i = firstAdded; i < state_.entryCount; ++i) host_.AddRow(i);
  if (leftOutUnsafe) {
    ShowMessageBox(host_.JobOwner(),
                   "저장 폴더 밖을 가리키는 파일 이름이나 폴더가 있어\n해당 파일은 목록에 추가하지 않았습니다.",
                   kErrorCaption, MB_OK | MB_ICONWARNING);
  }
}

DownloadJob::AddResult DownloadJob::AddEntry(const std::string& fileCode, const std::string& reply,
                                             const std::string& saveFolder) {
  job_text::FileReply file = job_text::SplitFileReply(reply);
  // A reply without a name (an error text, say) is no file: an entry with an
  // empty name would end the list at it.
  if (file.name.empty()) return AddResult::kNotAFile;
  if (!job_text::IsSafeFileName(file.name) || !job_text::IsSafeSubfolder(file.subfolder)) {
    return AddResult::kUnsafeName;
  }
  if (state_.entryCount >= kEntryLimit) return AddResult::kTableFull;
  const int index = state_.entryCount;
  DownloadEntry& entry = state_.entries[index];
  entry.fileCode = fileCode;
  entry.name = file.name;
  entry.baseFolder = saveFolder;
  entry.subfolder = file.subfolder;
  entry.localFolder = job_text::LocalFolderFor(saveFolder, file.subfolder);
  entry.requested = 0;
  entry.state = kEntryWaiting;
  entry.received = 0;
  entry.size = file.size;
  entry.dataServer = file.dataServer;
  entry.extension = job_text::ExtensionOf(file.name);
  entry.serverKey = file.serverKey;
  entry.rawReply = reply;
  state_.entryCount = index + 1;
  return AddResult::kAdded;
}

void DownloadJob::Logout() {
  if (!loginConnection_.Connect(ResolveServerAddress(TransferServerHost()), kControlPort)) ShowConnectFailure();
  loginConnection_.Transact("@Connect_end");
  loginConnection_.Transact(member_.memberId);
  loginConnection_.Close();
}
