#include <fcntl.h>
#include <sys/sendfile.h>
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

constexpr size_t kSendSlice = 8 << 20;

class DownloadSession {
 public:
  DownloadSession(Service& service, int fd, uint64_t conn) : service_(service), fd_(fd), conn_(conn) {}

  void Run() {
    auto atOnce = service_.faults().Take("download", [](const Fault& f) {
      return f.action == "refuse" && f.key.empty();
    });
    if (atOnce) {
      CloseWithReset(fd_);
      End("fault", {{"fault", "refuse"}});
      return;
    }
    if (!ReadRequest()) return;
    int file = open(service_.LocalPath(*served_).c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
      End("no_file");
      return;
    }
    Stream(file);
    close(file);
  }

 private:
  bool ReadRequest() {
    char blocks[4 * kBlockSize];
    size_t got = 0;
    if (!ReadExact(fd_, blocks, sizeof blocks, &got)) {
      Error(got == 0 ? "closed before the request" : "vanished mid-block after " + std::to_string(got) + " bytes");
      return false;
    }
    auto extension = BlockText(blocks);
    auto key = BlockText(blocks + kBlockSize);
    auto sizeText = BlockText(blocks + 2 * kBlockSize);
    auto offsetText = BlockText(blocks + 3 * kBlockSize);
    if (!extension || !key || !sizeText || !offsetText) {
      Error("malformed request: a block without its zero byte");
      return false;
    }
    key_ = *key;
    nlohmann::json entry = {{"conn", conn_},
                            {"extension", Cp949ToUtf8(*extension)},
                            {"key", Cp949ToUtf8(*key)},
                            {"size", Cp949ToUtf8(*sizeText)},
                            {"offset", Cp949ToUtf8(*offsetText)}};
    auto size = ParseInt64(*sizeText);
    auto offset = ParseInt64(*offsetText);
    if (size) entry["size"] = *size;
    if (offset) entry["offset"] = *offset;
    served_ = service_.FindFileByKey(*key);
    if (served_) entry["file"] = served_->path;
    service_.log().Write("download", "request", entry);
    if (!offset || !size) {
      End("bad_request");
      return false;
    }
    if (*offset < 0) {
      End("bad_request", {{"reason_detail", "negative offset"}});
      return false;
    }
    if (!served_) {
      End("no_file");
      return false;
    }
    offset_ = *offset;
    return true;
  }

  void Stream(int file) {
    struct stat st {};
    fstat(file, &st);
    int64_t fileSize = st.st_size;
    if (offset_ > fileSize) {
      End("offset_beyond_file");
      return;
    }
    int64_t limit = fileSize - offset_;
    auto fault = service_.faults().Take("download", [this](const Fault& f) {
      return f.action != "unbound" && (f.key.empty() ? f.action != "refuse" : f.key == key_);
    });
    std::string reason = "complete";
    if (fault) {
      if (fault->action == "refuse" || fault->action == "drop") {
        if (fault->action == "refuse" || fault->reset) CloseWithReset(fd_);
        End("fault", {{"fault", fault->action}});
        return;
      }
      if (fault->action == "stall") service_.Pause(fault->ms);
      if (fault->action == "close_after" && fault->bytes < limit) {
        limit = fault->bytes < 0 ? 0 : fault->bytes;
        reason = "fault";
      }
    }
    off_t position = offset_;
    int64_t sent = 0;
    while (sent < limit && !service_.stopping()) {
      size_t slice = static_cast<size_t>(std::min<int64_t>(limit - sent, kSendSlice));
      ssize_t n = sendfile(fd_, file, &position, slice);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        reason = n == 0 ? "file_shrank" : "peer_closed";
        break;
      }
      sent += n;
    }
    sent_ = sent;
    nlohmann::json extra;
    if (fault) extra["fault"] = fault->action;
    if (fault && fault->action == "close_after" && fault->reset) CloseWithReset(fd_);
    End(reason, extra);
  }

  void End(const std::string& reason, nlohmann::json extra = nlohmann::json::object()) {
    extra["conn"] = conn_;
    extra["bytes"] = sent_;
    extra["offset"] = offset_;
    extra["reason"] = reason;
    service_.log().Write("download", "end", extra);
  }

  void Error(const std::string& reason) {
    service_.log().Write("download", "error", {{"conn", conn_}, {"reason", reason}});
  }

  Service& service_;
  int fd_;
  uint64_t conn_;
  std::string key_;
  const ServedFile* served_ = nullptr;
  int64_t offset_ = 0;
  int64_t sent_ = 0;
};

}  // namespace

void ServeDownloadConnection(Service& service, int fd, uint64_t conn) {
  DownloadSession(service, fd, conn).Run();
}
