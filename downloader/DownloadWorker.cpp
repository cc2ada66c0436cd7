#include "DownloadWorker.h"

#include <windows.h>

#include <memory>

#include "ControlConnection.h"
#include "DownloadRequest.h"
#include "JobText.h"
#include "MessageBoxes.h"
#include "TextConversion.h"

namespace {

constexpr std::int64_t kSampleMicros = 200000;
// A receive that waits this long returns to look at the stop request, then
// waits again. The stop also shuts the socket down, which ends the wait at
// once where the system supports it.
constexpr DWORD kStopCheckMs = 250;

class Download {
public:
  Download(DownloadJobState& state, int cursor) : state_(state), cursor_(cursor), entry_(state.entries[cursor]) {}
  ~Download() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    state_.dataSocket.CloseSocket(socket_);
  }

  void Run() {
    // Names from the server never lead out of the save folder.
    if (!job_text::IsSafeFileName(entry_.name) || !job_text::IsSafeSubfolder(entry_.subfolder)) {
      return Finish(kStatusLocalFileFailure);
    }
    std::string localPath = PrepareFolders();
    if (!Connect()) return;
    if (StopRequested()) return Finish(kStatusStopped);
    if (send(socket_, nullptr, 0, 0) == SOCKET_ERROR) {
      return Finish(StopRequested() ? kStatusStopped : kStatusAskExistingFile);
    }
    entry_.requested.store(1);
    const std::int64_t size = entry_.size.load();
    if (!SendBlock(entry_.extension + "/") || !SendBlock(entry_.serverKey) ||
        !SendBlock(download_request::DecimalText(size))) {
      return Finish(kStatusNetworkFailure);
    }
    const std::int64_t localSize = LocalFileSize(localPath);
    // Only the entry the user stopped resumes unasked: any other file on disk
    // under its name is an unrelated old one.
    const bool resumesStoppedEntry = state_.stoppedIndex.load() == cursor_;
    download_request::ResumeDecision resume = download_request::DecideResume(
        localSize, resumesStoppedEntry, state_.overwriteAnswer.load(), state_.existingFileRule.load());
    if (resume.askUser) return Finish(kStatusAskExistingFile);
    if (!SendBlock(download_request::DecimalText(resume.offset))) return Finish(kStatusNetworkFailure);
    entry_.received.store(resume.offset);

    if (resume.offset != 0 && resume.offset == size) {
      entry_.received.store(size);
      MarkComplete(false);
      return;
    }
    if (!OpenLocalFile(localPath, resume.offset)) return Finish(kStatusLocalFileFailure);
    ReceiveFile(resume.offset);
  }

private:
  // Creates the subfolders below the base folder; returns the local path.
  std::string PrepareFolders() {
    std::string folder = entry_.localFolder;
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    for (const std::string& target : download_request::FoldersToCreate(entry_.baseFolder, entry_.subfolder)) {
      std::wstring wide = Widen(target);
      if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(wide.c_str(), nullptr);
    }
    return folder + entry_.name;
  }

  bool Connect() {
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket_ == INVALID_SOCKET) {
      Finish(kStatusNetworkFailure);
      return false;
    }
    state_.dataSocket.Publish(socket_);
    DWORD stopCheck = kStopCheckMs;
    setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&stopCheck), sizeof stopCheck);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(kDataPort);
    server.sin_addr.s_addr = inet_addr(entry_.dataServer.c_str());
    if (connect(socket_, reinterpret_cast<sockaddr*>(&server), sizeof server) == SOCKET_ERROR) {
      Finish(StopRequested() ? kStatusStopped : kStatusNetworkFailure);
      return false;
    }
    return true;
  }

  bool SendBlock(const std::string& text) {
    char block[download_request::kBlockSize];
    if (!download_request::FormatBlock(text, block)) return false;
    send(socket_, block, sizeof block, 0);  // the result is not examined: a broken connection shows in the receive
    return true;
  }

  static std::int64_t LocalFileSize(const std::string& path) {
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) size.QuadPart = 0;
    CloseHandle(file);
    return size.QuadPart;
  }

  bool OpenLocalFile(const std::string& path, std::int64_t offset) {
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    file_ = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, sharing, nullptr,
                        offset != 0 ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER position;
    position.QuadPart = offset;
    return offset == 0 || SetFilePointerEx(file_, position, nullptr, FILE_BEGIN);
  }

  void ReceiveFile(std::int64_t offset) {
    LARGE_INTEGER frequency, sampleStart, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&sampleStart);
    std::int64_t counter = offset;
    std::int64_t sampleBytes = 0;
    char chunk[kReplyLimit + 1];
    for (;;) {
      int count = ReceiveReply(socket_, chunk, kReplyLimit);
      if (count < 0 && WSAGetLastError() == WSAETIMEDOUT && !StopRequested()) continue;  // the data is late
      if (count <= 0) {
        if (StopRequested()) return Finish(kStatusStopped);  // the stop shut the socket down
        if (count < 0) {
          ShowMessageBox(nullptr, "수신에러.", "다운로더 (오류)", MB_OK | MB_ICONERROR);
        }
        break;
      }
      DWORD written = 0;
      BOOL wrote = WriteFile(file_, chunk, static_cast<DWORD>(count), &written, nullptr);
      counter += written;
      entry_.received.store(counter);
      if (!wrote || written != static_cast<DWORD>(count)) {
        // Only the bytes on disk count as received; the next start resumes there.
        return Finish(kStatusLocalFileFailure);
      }
      sampleBytes += count;
      QueryPerformanceCounter(&now);
      auto elapsed = static_cast<std::int64_t>(
          static_cast<double>(now.QuadPart - sampleStart.QuadPart) / static_cast<double>(frequency.QuadPart) * 1000000.0);
      if (elapsed > kSampleMicros) {
        state_.currentSpeed.store(download_request::SampleSpeed(elapsed, sampleBytes));
        QueryPerformanceCounter(&sampleStart);
        sampleBytes = 0;
      }
      if (StopRequested()) return Finish(kStatusStopped);
    }
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    state_.dataSocket.CloseSocket(socket_);
    if (entry_.received.load() == entry_.size.load()) {
      MarkComplete(true);
    } else {
      state_.downloadStatus.store(kStatusNetworkFailure);
    }
  }

  bool StopRequested() const { return entry_.state.load() == kEntryStopped; }

  void MarkComplete(bool clearStoppedIndex) {
    entry_.state.store(kEntryComplete);
    entry_.requested.store(0);
    state_.overwriteAnswer.store(0);
    if (clearStoppedIndex) state_.stoppedIndex.store(-1);
  }

  void Finish(DownloadStatusCode outcome) { state_.downloadStatus.store(outcome); }

  DownloadJobState& state_;
  const int cursor_;
  DownloadEntry& entry_;
  SOCKET socket_ = INVALID_SOCKET;
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

}  // namespace

unsigned DownloadWorker(void* sharedJobState) {
  // The worker's own reference keeps the state alive until it returns.
  std::unique_ptr<std::shared_ptr<DownloadJobState>> held(static_cast<std::shared_ptr<DownloadJobState>*>(sharedJobState));
  DownloadJobState& state = **held;
  const int cursor = state.transferCursor.load();
  if (cursor >= 0 && cursor < kEntryLimit) Download(state, cursor).Run();
  return 1;
}
