// refservice_reader: a plain native download client for benchmarks. It asks a
// download data server for one file (the four 2048-byte request blocks),
// reads the stream to its end and reports the bytes and the rate.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Options {
  std::string address = "127.0.0.1";
  std::string key;
  std::string extension = "bin";
  long long size = 0;
  long long offset = 0;
  size_t chunk = 256 * 1024;
  std::string out;
};

[[noreturn]] void Fail(const char* what) {
  fprintf(stderr, "refservice_reader: %s\n", what);
  exit(2);
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string name = argv[i], value = argv[i + 1];
    if (name == "--address") o.address = value;
    else if (name == "--key") o.key = value;
    else if (name == "--extension") o.extension = value;
    else if (name == "--size") o.size = atoll(value.c_str());
    else if (name == "--offset") o.offset = atoll(value.c_str());
    else if (name == "--chunk") o.chunk = static_cast<size_t>(atoll(value.c_str()));
    else if (name == "--out") o.out = value;
    else Fail("usage: refservice_reader --address A --key K [--size N] [--offset N] [--chunk N] [--out F]");
  }
  if (o.key.empty() || o.chunk == 0) Fail("--key is required and --chunk must be above 0");
  return o;
}

void SendBlock(int fd, const std::string& text) {
  char block[2048] = {};
  snprintf(block, sizeof block, "%s", text.c_str());
  if (send(fd, block, sizeof block, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof block)) Fail("send failed");
}

}  // namespace

int main(int argc, char** argv) {
  Options o = Parse(argc, argv);
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(7301);
  if (fd < 0 || inet_pton(AF_INET, o.address.c_str(), &addr.sin_addr) != 1) Fail("bad address");
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) Fail("cannot connect");
  timeval tv{30, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);

  auto start = std::chrono::steady_clock::now();
  SendBlock(fd, o.extension + "/");
  SendBlock(fd, o.key);
  SendBlock(fd, std::to_string(o.size));
  SendBlock(fd, std::to_string(o.offset));

  int outFd = o.out.empty() ? -1 : open(o.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!o.out.empty() && outFd < 0) Fail("cannot create the output file");
  std::vector<char> buffer(o.chunk);
  long long total = 0;
  for (;;) {
    ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
    if (n == 0) break;
    if (n < 0) Fail("receive failed");
    if (outFd >= 0 && write(outFd, buffer.data(), static_cast<size_t>(n)) != n) Fail("write failed");
    total += n;
  }
  std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  close(fd);
  if (outFd >= 0) close(outFd);
  printf("bytes=%lld seconds=%.3f MB/s=%.1f\n", total, seconds.count(),
         seconds.count() > 0 ? total / seconds.count() / 1e6 : 0.0);
  return 0;
}
