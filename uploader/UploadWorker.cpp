#include "UploadWorker.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "ControlConnection.h"
#include "DataConnectionText.h"
#include "LocalDrive.h"
#include "MessageBoxes.h"
#include "TextConversion.h"
#include "TransferServer.h"
#include "UploadText.h"

namespace {

constexpr int kOffsetReplyLimit = 12;
constexpr std::int64_t kChunkBytes = 2048;
constexpr std::int64_t kSampleMicros = 200000;
// A wait for the connection, the resume offset or room to send returns after
// this long to look at the stop request. The stop also shuts the socket down,
// but under Wine that wakes neither a blocked send nor a blocked receive.
constexpr DWORD kStopCheckMs = 250;

class Upload {
public:
  Upload(UploadJobState& state, UploadEntry& entry, const std::string& path)
      : state_(state), entry_(entry), path_(path), dataServer_(entry.dataServer.substr(0, kAddressLimit)) {}
  ~Upload() { CloseHandles(); }

  void Run() {
    if (!upload_text::IsAcceptableLocalPath(path_) || !IsOnLocalDrive(path_) || !OpenFile()) {
      return Finish(kUploadFileUnreadable);
    }
    if (!Connect()) return;
    if (send(socket_, nullptr, 0, 0) == SOCKET_ERROR) return Finish(kUploadNetworkFailure);
    if (!SendBlock(entry_.uploadKey) || !SendBlock(entry_.uploadName) ||
        !SendBlock(data_text::DecimalText(entry_.size.load()))) {
      return Finish(kUploadNetworkFailure);
    }
    std::int64_t offset = 0;
    if (!ReceiveResumeOffset(offset)) return;
    LARGE_INTEGER position;
    position.QuadPart = offset;
    if (!SetFilePointerEx(file_, position, nullptr, FILE_BEGIN)) return Finish(kUploadFileUnreadable);
    entry_.sent.store(offset);
    entry_.transferring.store(1);

    const UploadStatusCode outcome = SendFile(offset);
    CloseHandles();
    if (outcome != kUploadStatusNone) return Finish(outcome);
    // The loop ends at the size on disk, which need not be the listed size:
    // the worker's own end of the file is what completes it.
    entry_.state.store(kUploadComplete);
    entry_.transferring.store(0);
    SendUploadComplete(entry_.fileId);
  }

private:
  // Shared for writing too, so that a file another program keeps open can be
  // sent; a file that shrinks meanwhile ends the upload (SendFile).
  bool OpenFile() {
    file_ = CreateFileW(Widen(path_).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size{};
    if (file_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(file_, &size)) return false;
    diskSize_ = size.QuadPart;
    return true;
  }

  // A connect that waits (an unreachable host, a full accept queue) looks at
  // the stop request every kStopCheckMs: a stop must not wait for the
  // system's connect time-out.
  bool Connect() {
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket_ == INVALID_SOCKET) {
      Finish(kUploadNetworkFailure);
      return false;
    }
    state_.dataSocket.Publish(socket_);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(kUploadDataPort);
    server.sin_addr.s_addr = inet_addr(dataServer_.c_str());
    if (!SetBlocking(false)) {
      Finish(kUploadNetworkFailure);
      return false;
    }
    bool connected = connect(socket_, reinterpret_cast<sockaddr*>(&server), sizeof server) != SOCKET_ERROR;
    if (!connected && WSAGetLastError() == WSAEWOULDBLOCK) {
      int ready = 0;
      while ((ready = WaitWritable()) == 0 && !StopRequested()) {
      }
      int error = 0;
      int length = sizeof error;
      connected = ready > 0 &&
                  getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 &&
                  error == 0;
    }
    if (!connected || !SetBlocking(true)) {
      Finish(StopRequested() ? kUploadStoppedByUser : kUploadNetworkFailure);
      return false;
    }
    return true;
  }

  bool SetBlocking(bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(socket_, FIONBIO, &nonBlocking) != SOCKET_ERROR;
  }

  // Waits at most kStopCheckMs until the socket can be written to (or has
  // failed: the next call says how): 1, 0 not yet, -1 the wait itself failed.
  int WaitWritable() {
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(socket_, &writable);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(socket_, &failed);
    timeval wait{0, static_cast<long>(kStopCheckMs) * 1000};
    const int ready = select(0, nullptr, &writable, &failed, &wait);
    if (ready == SOCKET_ERROR) return -1;
    return ready > 0 ? 1 : 0;
  }

  bool SendBlock(const std::string& text) {
    char block[data_text::kBlockSize];
    if (!data_text::FormatBlock(text, block)) return false;
    send(socket_, block, sizeof block, 0);  // the result is not examined: a broken connection shows in the receive
    return true;
  }

  // False when the worker ends here: stopped, the receive failed (told to
  // the user), or the server closed the connection before it named an
  // offset: it holds nothing of what would be sent, so the file would be
  // reported complete with nothing received.
  bool ReceiveResumeOffset(std::int64_t& offset) {
    // A receive that waits past kStopCheckMs returns to look at the stop
    // request. (A select before the receive would be the other way to wait,
    // but under Wine a reset then reads as a plain close.)
    DWORD stopCheck = kStopCheckMs;
    setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&stopCheck), sizeof stopCheck);
    char reply[kOffsetReplyLimit + 1];
    int count;
    while ((count = ReceiveReply(socket_, reply, kOffsetReplyLimit)) < 0) {
      if (StopRequested()) {
        Finish(kUploadStoppedByUser);
        return false;
      }
      if (WSAGetLastError() != WSAETIMEDOUT) {
        // No owner: the main window is top-most and would hide a box of its own.
        ShowMessageBox(nullptr, "파일용량 수신에러.", "업로더 (오류)",
                       MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
        Finish(kUploadNetworkFailure);
        return false;
      }
    }
    if (count == 0) {
      Finish(kUploadNetworkFailure);
      return false;
    }
    offset = upload_text::ResumeOffsetFromReply(std::string(reply, static_cast<std::size_t>(count)));
    return true;
  }

  // Sends the file from `offset` to its size on disk, chunk by chunk; the
  // entry's `sent` counts every chunk sent whole. Returns the outcome, none
  // when the file was sent to its end.
  UploadStatusCode SendFile(std::int64_t offset) {
    if (!SetBlocking(false)) return kUploadNetworkFailure;
    LARGE_INTEGER frequency, sampleStart, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&sampleStart);
    std::int64_t counter = offset;
    std::int64_t sampleBytes = 0;
    while (counter < diskSize_) {
      char chunk[kChunkBytes] = {};
      DWORD read = 0;
      const DWORD want = static_cast<DWORD>(std::min(kChunkBytes, diskSize_ - counter));
      // A read that brings nothing before the end measured at the start: the
      // file shrank, and would never reach that end.
      if (!ReadFile(file_, chunk, want, &read, nullptr) || read == 0) return kUploadFileUnreadable;
      counter += read;
      sampleBytes += read;
      const bool sent = SendAll(chunk, static_cast<int>(read));
      QueryPerformanceCounter(&now);
      const auto elapsed = static_cast<std::int64_t>(static_cast<double>(now.QuadPart - sampleStart.QuadPart) *
                                                     1000000.0 / static_cast<double>(frequency.QuadPart));
      if (elapsed > kSampleMicros) {
        state_.currentSpeed.store(data_text::SampleSpeed(elapsed, sampleBytes));
        sampleStart = now;
        sampleBytes = 0;
      }
      if (!sent) return StopRequested() ? kUploadStoppedByUser : kUploadNetworkFailure;
      entry_.sent.store(counter);
      if (StopRequested()) return kUploadStoppedByUser;
    }
    return kUploadStatusNone;
  }

  // All of `count` bytes, as one blocking send would; false when the
  // connection fails or the user stops while the send waits for room.
  bool SendAll(const char* bytes, int count) {
    while (count > 0) {
      const int done = send(socket_, bytes, count, 0);
      if (done != SOCKET_ERROR) {
        bytes += done;
        count -= done;
        continue;
      }
      if (WSAGetLastError() != WSAEWOULDBLOCK || StopRequested()) return false;
      if (WaitWritable() < 0) return false;
    }
    return true;
  }

  void CloseHandles() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    state_.dataSocket.CloseSocket(socket_);
  }

  bool StopRequested() const { return entry_.state.load() == kUploadStopped; }

  void Finish(UploadStatusCode outcome) { state_.uploadStatus.store(outcome); }

  UploadJobState& state_;
  UploadEntry& entry_;
  const std::string path_;
  const std::string dataServer_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::int64_t diskSize_ = 0;
  SOCKET socket_ = INVALID_SOCKET;
};

}  // namespace

unsigned UploadWorker(void* sharedJobState) {
  // The worker's own reference keeps the state alive until it returns.
  std::unique_ptr<std::shared_ptr<UploadJobState>> held(static_cast<std::shared_ptr<UploadJobState>*>(sharedJobState));
  UploadJobState& state = **held;
  if (UploadEntry* entry = state.CursorEntry()) Upload(state, *entry, state.currentPath).Run();
  return 1;
}

void SendUploadComplete(std::int32_t fileId) {
  ControlConnection connection;
  ConnectToTransferServer(connection);  // on failure the exchanges answer empty text
  connection.Transact("@Upload_complute");
  connection.Transact(data_text::DecimalText(fileId));
  connection.Close();
}
