#include "TransferServer.h"

#include <sys/socket.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "Cp949.h"
#include "Net.h"
#include "Service.h"

namespace {

constexpr size_t kMaxRequest = 2048;

// What the next request on the connection is expected to be.
enum class Expect { Command, LoginId, LogoutId, CompletedFileId, Signature };
enum class Mode { None, Download, Upload };

class TransferSession {
 public:
  TransferSession(Service& service, int fd, uint64_t conn) : service_(service), fd_(fd), conn_(conn) {}

  void Run() {
    char buffer[2 * kMaxRequest];
    for (;;) {
      ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n == 0) return;
      if (n < 0) {
        Error(errno == EAGAIN ? "idle timeout" : "receive failed");
        return;
      }
      if (static_cast<size_t>(n) > kMaxRequest) {
        Error("oversized request (" + std::to_string(n) + " bytes or more)");
        return;
      }
      std::string request(buffer, static_cast<size_t>(n));
      if (!Exchange(request)) return;
      previous_ = request;
    }
  }

 private:
  // Answers one request; false ends the connection.
  bool Exchange(const std::string& request) {
    std::string reply = Answer(request);
    auto fault = service_.faults().Take("transfer", [&](const Fault& f) {
      return (f.request.empty() || f.request == request) && (f.after.empty() || f.after == previous_);
    });
    nlohmann::json entry = {{"conn", conn_}, {"request", Cp949ToUtf8(request, &exact_)}};
    if (!exact_) entry["hex"] = Hex(request);
    if (!fault) {
      entry["reply"] = Cp949ToUtf8(reply);
      service_.log().Write("transfer", "exchange", entry);
      return SendAll(fd_, reply.data(), reply.size());
    }
    entry["fault"] = fault->action;
    if (fault->action == "reply") reply = fault->text.value_or("");
    if (fault->action == "split" && fault->text) reply = *fault->text;
    if (fault->action == "empty" || (fault->action == "reply" && reply.empty())) {
      entry["reply"] = "";
      service_.log().Write("transfer", "exchange", entry);
      return false;
    }
    entry["reply"] = Cp949ToUtf8(reply);
    service_.log().Write("transfer", "exchange", entry);
    if (fault->action == "stall") service_.Pause(fault->ms);
    if (fault->action == "split" && reply.size() > 1) {
      size_t half = reply.size() / 2;
      if (!SendAll(fd_, reply.data(), half)) return false;
      service_.Pause(fault->ms);
      return SendAll(fd_, reply.data() + half, reply.size() - half);
    }
    return SendAll(fd_, reply.data(), reply.size());
  }

  std::string Answer(const std::string& request) {
    Expect expect = expect_;
    expect_ = Expect::Command;
    switch (expect) {
      case Expect::LoginId: return Login(request);
      case Expect::LogoutId:
        service_.log().Write("transfer", "logout", {{"conn", conn_}, {"member", Cp949ToUtf8(request)}});
        return "Ok";
      case Expect::CompletedFileId: return UploadComplete(request);
      case Expect::Signature: return Signature(request);
      case Expect::Command: break;
    }
    if (request == "@Connect_start") {
      expect_ = Expect::LoginId;
      return "Ok";
    }
    if (request == "@Connect_end") {
      expect_ = Expect::LogoutId;
      return "Ok";
    }
    if (request == "@Download") {
      mode_ = Mode::Download;
      return "Ok";
    }
    if (request == "@Upload") {
      mode_ = Mode::Upload;
      return "Ok";
    }
    if (request.rfind("@Server", 0) == 0) return "Ok";
    if (request == "@Upload_complute") {
      expect_ = Expect::CompletedFileId;
      return "Ok";
    }
    if (mode_ == Mode::Download) return FileReply(request);
    if (mode_ == Mode::Upload) return NextListEntry(request);
    return "Null";
  }

  std::string Login(const std::string& id) {
    for (const auto& m : service_.config().members) {
      if (m.id != id) continue;
      service_.log().Write("transfer", "login", {{"conn", conn_}, {"member", Cp949ToUtf8(id)}});
      if (m.overUser) return "Over_user";
      return m.id + "|" + std::to_string(m.megabytes) + "|" + m.plan + "|" + std::to_string(m.expiry);
    }
    service_.log().Write("transfer", "login", {{"conn", conn_}, {"member", Cp949ToUtf8(id)}, {"known", false}});
    return "No_member";
  }

  std::string FileReply(const std::string& code) {
    const ServedFile* file = service_.FindFileByCode(code);
    if (!file) return "Null";
    int64_t size = 0;
    if (file->size) {
      size = *file->size;
    } else {
      struct stat st {};
      if (stat(service_.LocalPath(*file).c_str(), &st) != 0) return "Null";
      size = st.st_size;
    }
    return file->name + "|" + file->dataServer + "|" + file->key + "|" + file->subfolder + "|" +
           std::to_string(size);
  }

  std::string NextListEntry(const std::string& listCode) {
    const UploadJob* job = service_.FindUploadJob(listCode);
    if (!job) return "Null";
    size_t& next = listCursor_[listCode];
    if (next >= job->items.size()) return "ListEnd";
    current_ = job->items[next++];
    expect_ = Expect::Signature;
    return current_.key + "|" + current_.name + "|" + current_.dataServer + "|" + current_.file + "|" +
           current_.path + "|" + std::to_string(current_.size);
  }

  std::string Signature(const std::string& signature) {
    int id = service_.AssignFileId(current_);
    service_.log().Write("transfer", "signature",
                         {{"conn", conn_}, {"file_id", id}, {"key", Cp949ToUtf8(current_.key)},
                          {"signature", Cp949ToUtf8(signature)}});
    return std::to_string(id) + "|Ok";
  }

  std::string UploadComplete(const std::string& idText) {
    char* end = nullptr;
    long id = strtol(idText.c_str(), &end, 10);
    nlohmann::json entry = {{"conn", conn_}, {"file_id", Cp949ToUtf8(idText)}};
    UploadItem item;
    if (end != idText.c_str() && *end == '\0' && service_.FindFileId(static_cast<int>(id), item)) {
      std::string stored = service_.StoredUploadPath(item.key, item.name);
      struct stat st {};
      entry["stored"] = stored;
      entry["received"] = stat(stored.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
      entry["size"] = item.size;
    } else {
      entry["known"] = false;
    }
    service_.log().Write("transfer", "upload_complete", entry);
    return "Ok";
  }

  void Error(const std::string& reason) {
    service_.log().Write("transfer", "error", {{"conn", conn_}, {"reason", reason}});
  }

  static std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
      out += digits[c >> 4];
      out += digits[c & 15];
    }
    return out;
  }

  Service& service_;
  int fd_;
  uint64_t conn_;
  Expect expect_ = Expect::Command;
  Mode mode_ = Mode::None;
  std::string previous_;
  std::map<std::string, size_t> listCursor_;
  UploadItem current_;
  bool exact_ = true;
};

}  // namespace

void ServeTransferConnection(Service& service, int fd, uint64_t conn) {
  TransferSession(service, fd, conn).Run();
}
