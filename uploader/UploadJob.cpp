#include "UploadJob.h"

#include <cstdint>

#include "FileSignature.h"
#include "LocalDrive.h"
#include "MessageBoxes.h"
#include "SettingsStore.h"
#include "TransferServer.h"
#include "UploadText.h"

namespace {

// The signature sent for a file that is not opened: its sample stays zero.
std::string UnreadSignature(std::int64_t size) {
  const unsigned char sample[upload_text::kSampleBytes] = {};
  return upload_text::SignatureText(size, sample);
}

void FillEntry(UploadEntry& entry, const upload_text::ListReplyReading& reading, std::int32_t fileId) {
  entry.name = reading.fields.fileName;
  entry.folder = reading.folder;
  entry.localPath = reading.fields.localPath;
  entry.state = kUploadWaiting;
  entry.transferring = 0;
  entry.sent = 0;
  entry.size = reading.fields.size;
  entry.fileId = fileId;
  entry.dataServer = reading.fields.dataServer;
  entry.uploadKey = reading.fields.uploadKey;
  entry.uploadName = reading.fields.uploadName;
}

}  // namespace

UploadJob::UploadJob(UploadJobState& state, UploadJobHost& host) : state_(state), host_(host) {}

void UploadJob::ProcessUploadJob(const std::string& handoffText) {
  const upload_text::UploadHandoff handoff = upload_text::SplitUploadHandoff(handoffText);
  if (!handoff.tagMatches) return;
  host_.AttachSystemIcons();
  memberId_ = handoff.memberId;
  if (memberId_.empty()) {
    RefuseMember();
    return;
  }
  if (!LoginAndLogout()) return;
  RequestUploadList(handoff.listCode, handoff.serverNumber);
  host_.RecomputeTotals();
  if (settings::ReadInt("UP_Autostart") != 0 && !host_.IsRunning()) host_.ToggleUpload();
}

bool UploadJob::LoginAndLogout() {
  std::string reply;
  {
    ControlConnection login;
    ConnectToTransferServer(login);
    login.Transact("@Connect_start");
    reply = login.Transact(memberId_);
  }
  if (reply == "No_member") {
    Logout();
    RefuseMember();
    return false;
  }
  // The id is in use elsewhere: that login is left as it is, no logout.
  if (reply == "Over_user") return true;
  memberId_ = upload_text::MemberIdFromLoginReply(reply);
  Logout();
  return true;
}

void UploadJob::Logout() {
  ControlConnection logout;
  ConnectToTransferServer(logout);
  logout.Transact("@Connect_end");
  logout.Transact(memberId_);
}

void UploadJob::RefuseMember() {
  ShowMessageBox(host_.JobOwner(), "회원 로그인후 이용해주세요.", "회원정보 (오류)", MB_OK | MB_ICONINFORMATION);
  host_.ExitProgram();
}

void UploadJob::RequestUploadList(const std::string& listCode, const std::string& serverNumber) {
  ControlConnection list;
  const bool connected = ConnectToTransferServer(list);
  const std::string admitted = list.Transact("@Upload");
  list.Transact(serverNumber.empty() ? std::string("@Server0") : "@Server" + serverNumber);
  if (admitted != "Ok") {
    list.Close();
    // Without a connection the user has been told so; the file limit is not the reason.
    if (!connected) return;
    ShowMessageBox(host_.JobOwner(), "추가할수 있는 파일의 개수를 초과할수 없습니다.\n총개수 : 180개 제한", "업로더",
                   MB_OK | MB_ICONINFORMATION);
    return;
  }
  const int firstAdded = state_.entryCount;
  bool leftOutPath = false;
  while (state_.entryCount < kUploadEntryLimit) {
    const upload_text::ListReplyReading reading = upload_text::ReadListReply(list.Transact(listCode));
    if (reading.verdict == upload_text::kEndOfList) break;
    const bool add = reading.verdict == upload_text::kAddFile && IsOnLocalDrive(reading.path);
    // A path that is not opened still gets its signature: the server waits
    // for one and would take the next list request for it.
    const std::string signature =
        add ? MakeFileSignature(reading.path, reading.fields.size) : UnreadSignature(reading.fields.size);
    const std::int32_t fileId = upload_text::FileIdFromReply(list.Transact(signature));
    if (!add) {
      leftOutPath = true;
      continue;
    }
    FillEntry(state_.entries[state_.entryCount], reading, fileId);
    ++state_.entryCount;
  }
  list.Close();
  for (int i = firstAdded; i < state_.entryCount; ++i) host_.AddRow(i);
  if (leftOutPath) {
    ShowMessageBox(host_.JobOwner(), "업로드할 수 없는 경로의 파일이 있어\n해당 파일은 목록에 추가하지 않았습니다.",
                   "업로더 (오류)", MB_OK | MB_ICONWARNING);
  }
}
