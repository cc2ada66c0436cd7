#include "RefServiceHarness.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

bool WaitForExit(pid_t pid, std::chrono::milliseconds limit) {
  auto until = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < until) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void MakeParents(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    mkdir(path.substr(0, slash).c_str(), 0755);
}

}  // namespace

RefServiceHarness::RefServiceHarness(std::string address) : address_(std::move(address)) {
  char pattern[] = "/tmp/refservice-test-XXXXXX";
  dir_ = mkdtemp(pattern);
  root_ = dir_ + "/root";
  mkdir(root_.c_str(), 0755);
}

RefServiceHarness::~RefServiceHarness() {
  Stop();
  std::string command = "rm -rf '" + dir_ + "'";
  if (system(command.c_str()) != 0) {
  }
}

void RefServiceHarness::WriteFile(const std::string& relative, const std::string& content) {
  std::string path = root_ + "/" + relative;
  MakeParents(path);
  std::ofstream(path, std::ios::binary) << content;
}

bool RefServiceHarness::Start(const nlohmann::json& config, int webPort) {
  webPort_ = webPort;
  std::ofstream(dir_ + "/config.json") << config.dump(2);
  std::string ready = dir_ + "/ready";
  std::string errors = dir_ + "/stderr";
  std::vector<std::string> args = {REFSERVICE_BIN, "--address", address_,        "--root",
                                   root_,          "--config",  dir_ + "/config.json", "--log",
                                   dir_ + "/log.jsonl", "--web-port", std::to_string(webPort),
                                   "--ready-file", ready};
  pid_ = fork();
  if (pid_ == 0) {
    int out = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(out, 2);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < until) {
    struct stat st {};
    if (stat(ready.c_str(), &st) == 0) return true;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  startError_ = ReadLocalFile(errors);
  Stop();
  return false;
}

void RefServiceHarness::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  if (!WaitForExit(pid_, std::chrono::seconds(5))) {
    kill(pid_, SIGKILL);
    WaitForExit(pid_, std::chrono::seconds(5));
  }
  pid_ = -1;
}

std::vector<nlohmann::json> RefServiceHarness::Events(const std::string& server, const std::string& event) const {
  std::vector<nlohmann::json> events;
  std::ifstream in(dir_ + "/log.jsonl");
  std::string line;
  while (std::getline(in, line)) {
    auto entry = nlohmann::json::parse(line, nullptr, false);
    if (entry.is_discarded()) continue;
    if (entry.value("server", "") == server && entry.value("event", "") == event) events.push_back(entry);
  }
  return events;
}

std::vector<nlohmann::json> RefServiceHarness::WaitForEvents(const std::string& server, const std::string& event,
                                                           size_t count) const {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  auto events = Events(server, event);
  while (events.size() < count && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    events = Events(server, event);
  }
  return events;
}

int ConnectTo(const std::string& address, int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  inet_pton(AF_INET, address.c_str(), &addr.sin_addr);
  timeval tv{5, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool SendText(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string ReceiveOnce(int fd) {
  char buffer[4096];
  ssize_t n = recv(fd, buffer, sizeof buffer, 0);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string Transact(int fd, const std::string& request) {
  if (!SendText(fd, request)) return "<send failed>";
  return ReceiveOnce(fd);
}

std::string ReceiveAll(int fd, bool* clean) {
  std::string all;
  char buffer[65536];
  for (;;) {
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) {
      if (clean) *clean = n == 0;
      return all;
    }
    all.append(buffer, static_cast<size_t>(n));
  }
}

std::string Block(const std::string& text) {
  std::string block = text;
  block.resize(2048, '\0');
  return block;
}

std::string PatternBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  uint32_t state = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<char>(state >> 24);
  }
  return bytes;
}

std::string ReadLocalFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}
