#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "Cp949.h"
#include "DataBlocks.h"
#include "DataServers.h"
#include "Net.h"
#include "Service.h"

namespace {

constexpr size_t kReceiveChunk = 64 << 10;

bool MakeFolder(const std::string& path) { return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }

class UploadSession {
 public:
  UploadSession(Service& service, int fd, uint64_t conn) : service_(service), fd_(fd), conn_(conn) {}

  void Run() {
    auto atOnce = service_.faults().Take("upload", [](const Fault& f) {
      return f.action == "refuse" && f.key.empty() && f.name.empty();
    });
    if (atOnce) {
      CloseWithReset(fd_);
      End("fault", {{"fault", "refuse"}});
      return;
    }
    if (!ReadRequest()) return;
    auto fault = service_.faults().Take("upload", [this](const Fault& f) {
      bool filtered = !f.key.empty() || !f.name.empty();
      return f.action != "unbound" && (filtered || f.action != "refuse") &&
             (f.key.empty() || f.key == key_) && (f.name.empty() || f.name == name_);
    });
    if (fault && (fault->action == "refuse" || fault->action == "drop")) {
      if (fault->action == "drop" && fault->msGiven) service_.Pause(fault->ms);
      if (fault->action == "refuse" || fault->reset) CloseWithReset(fd_);
      End("fault", {{"fault", fault->action}});
      return;
    }
    if (fault && fault->action == "stall" && fault->bytes == 0) service_.Pause(fault->ms);
    Receive(fault);
  }

 private:
  bool ReadRequest() {
    char blocks[3 * kBlockSize];
    size_t got = 0;
    if (!ReadExact(fd_, blocks, sizeof blocks, &got)) {
      Error(got == 0 ? "closed before the request" : "vanished mid-block after " + std::to_string(got) + " bytes");
      return false;
    }
    auto key = BlockText(blocks);
    auto name = BlockText(blocks + kBlockSize);
    auto sizeText = BlockText(blocks + 2 * kBlockSize);
    if (!key || !name || !sizeText) {
      Error("malformed request: a block without its zero byte");
      return false;
    }
    key_ = *key;
    name_ = *name;
    auto size = ParseInt64(*sizeText);
    if (!size) {
      Error("malformed request: size " + Cp949ToUtf8(*sizeText));
      return false;
    }
    size_ = *size;
    return true;
  }

  void Receive(const std::optional<Fault>& fault) {
    std::string folder = service_.uploadDir() + "/" + SafeFileName(key_);
    stored_ = service_.StoredUploadPath(key_, name_);
    if (!MakeFolder(service_.uploadDir()) || !MakeFolder(folder)) {
      Error("cannot create " + folder);
      return;
    }
    int file = open(stored_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0) {
      Error("cannot open " + stored_);
      return;
    }
    struct stat st {};
    fstat(file, &st);
    int64_t held = st.st_size;
    int64_t reported = held;
    if (fault && fault->action == "offset") reported = fault->value;
    // The client reads a non-positive offset as "from the start".
    position_ = reported > 0 ? reported : 0;
    if (ftruncate(file, position_) != 0) {
      Error("cannot resize " + stored_);
      close(file);
      return;
    }
    service_.log().Write("upload", "request",
                         {{"conn", conn_},
                          {"key", Cp949ToUtf8(key_)},
                          {"name", Cp949ToUtf8(name_)},
                          {"size", size_},
                          {"held", held},
                          {"offset", reported},
                          {"stored", stored_}});
    std::string offsetText = std::to_string(reported);
    if (!SendAll(fd_, offsetText.data(), offsetText.size())) {
      close(file);
      End("peer_closed");
      return;
    }
    std::string reason = ReceiveInto(file, fault);
    close(file);
    nlohmann::json extra;
    if (fault) extra["fault"] = fault->action;
    if (reason == "fault" && fault->reset) CloseWithReset(fd_);
    End(reason, extra);
  }

  // Writes what arrives at the resume position until the client closes. A
  // close_after fault ends after its bytes; a stall with bytes stops reading
  // there for its ms, so that the client's sends block on full buffers.
  std::string ReceiveInto(int file, const std::optional<Fault>& fault) {
    static thread_local char buffer[kReceiveChunk];
    int64_t limit = fault && fault->action == "close_after" ? fault->bytes : -1;
    int64_t stallAt = fault && fault->action == "stall" && fault->bytes > 0 ? fault->bytes : -1;
    for (;;) {
      if (service_.stopping()) return "stopped";
      size_t want = kReceiveChunk;
      if (limit >= 0) {
        if (received_ >= limit) return "fault";
        want = static_cast<size_t>(std::min<int64_t>(limit - received_, kReceiveChunk));
      }
      if (stallAt >= 0) {
        if (received_ >= stallAt) {
          service_.log().Write("upload", "stall", {{"conn", conn_}, {"bytes", received_}, {"ms", fault->ms}});
          service_.Pause(fault->ms);
          stallAt = -1;
          continue;
        }
        want = static_cast<size_t>(std::min<int64_t>(stallAt - received_, static_cast<int64_t>(want)));
      }
      ssize_t n = recv(fd_, buffer, want, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n == 0) return "peer_closed";
      if (n < 0) return errno == EAGAIN ? "idle_timeout" : "receive_failed";
      if (pwrite(file, buffer, static_cast<size_t>(n), position_) != n) return "write_failed";
      position_ += n;
      received_ += n;
    }
  }

  void End(const std::string& reason, nlohmann::json extra = nlohmann::json::object()) {
    extra["conn"] = conn_;
    extra["bytes"] = received_;
    extra["total"] = position_;
    extra["reason"] = reason;
    if (!stored_.empty()) extra["stored"] = stored_;
    service_.log().Write("upload", "end", extra);
  }

  void Error(const std::string& reason) {
    service_.log().Write("upload", "error", {{"conn", conn_}, {"reason", reason}});
  }

  Service& service_;
  int fd_;
  uint64_t conn_;
  std::string key_;
  std::string name_;
  int64_t size_ = 0;
  std::string stored_;
  int64_t position_ = 0;
  int64_t received_ = 0;
};

}  // namespace

void ServeUploadConnection(Service& service, int fd, uint64_t conn) {
  UploadSession(service, fd, conn).Run();
}
