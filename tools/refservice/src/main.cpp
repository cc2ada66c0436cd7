// refservice: the reference stand-in for the service's transfer server, data
// servers and web host, on one loopback address.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "Config.h"
#include "DataServers.h"
#include "Net.h"
#include "Service.h"
#include "TransferServer.h"
#include "WebHost.h"

namespace {

struct Options {
  std::string address = "127.0.0.1";
  std::string root;
  std::string config;
  std::string log;
  std::string webRoot;
  std::string uploadDir;
  std::string readyFile;
  int webPort = 8080;
};

const char kUsage[] =
    "usage: refservice --address 127.x.y.z --root <folder> [--config <file.json>] [--log <file.jsonl>]\n"
    "                  [--web-port N] [--web-root <folder>] [--upload-dir <folder>] [--ready-file <file>]\n";

[[noreturn]] void Fail(const std::string& reason) {
  fprintf(stderr, "refservice: %s\n", reason.c_str());
  exit(2);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  std::map<std::string, std::string*> texts = {
      {"--address", &o.address}, {"--root", &o.root},           {"--config", &o.config},
      {"--log", &o.log},         {"--web-root", &o.webRoot},     {"--upload-dir", &o.uploadDir},
      {"--ready-file", &o.readyFile}};
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    if (name == "--help" || name == "-h") {
      fputs(kUsage, stdout);
      exit(0);
    }
    if (i + 1 >= argc) Fail("missing value after " + name + "\n" + kUsage);
    std::string value = argv[++i];
    if (name == "--web-port") {
      char* end = nullptr;
      long port = strtol(value.c_str(), &end, 10);
      if (*end != '\0' || port < 0 || port > 65535) Fail("bad --web-port " + value);
      o.webPort = static_cast<int>(port);
    } else if (texts.count(name)) {
      *texts[name] = value;
    } else {
      Fail("unknown option " + name + "\n" + kUsage);
    }
  }
  if (o.root.empty()) Fail(std::string("--root is required\n") + kUsage);
  if (!IsValidLoopback(o.address)) Fail("--address must be a 127.x.y.z address, not " + o.address);
  if (o.config.empty() && Exists(o.root + "/refservice.json")) o.config = o.root + "/refservice.json";
  if (o.webRoot.empty()) o.webRoot = o.root + "/web";
  if (o.uploadDir.empty()) o.uploadDir = o.root + "/uploads";
  return o;
}

void WriteReadyFile(const std::string& path, const std::string& line) {
  std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::trunc);
    out << line << "\n";
    if (!out) Fail("cannot write " + temp);
  }
  if (rename(temp.c_str(), path.c_str()) != 0) Fail("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);

  // Signals are taken by sigwait below; every other thread keeps them blocked.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  Config config;
  try {
    config = LoadConfig(options.config, options.address);
  } catch (const std::exception& e) {
    Fail(e.what());
  }
  Service service(options.address, options.root, options.uploadDir, std::move(config));
  if (!options.log.empty() && !service.log().Open(options.log)) Fail("cannot open log " + options.log);

  struct Listener {
    const char* server;
    int port;
    void (*handler)(Service&, int, uint64_t);
  };
  const Listener listeners[] = {
      {"transfer", Service::kTransferPort, ServeTransferConnection},
      {"download", Service::kDownloadPort, ServeDownloadConnection},
      {"upload", Service::kUploadPort, ServeUploadConnection},
  };
  std::map<std::string, int> fds;
  for (const auto& l : listeners) {
    if (service.faults().Has(l.server, "unbound")) continue;
    std::string error;
    int fd = ListenTcp(options.address, l.port, error);
    if (fd < 0) Fail(error);
    fds[l.server] = fd;
  }
  std::unique_ptr<WebHost> web;
  if (options.webPort != 0) {
    web = std::make_unique<WebHost>(service, options.webRoot);
    std::string error;
    if (!web->Bind(options.webPort, error)) Fail(error);
  }
  for (const auto& l : listeners) {
    if (!fds.count(l.server)) continue;
    auto handler = l.handler;
    service.StartAcceptor(fds[l.server], l.server,
                          [&service, handler](int fd, uint64_t conn) { handler(service, fd, conn); });
  }
  if (web) web->Start();

  std::string ready = "ready " + options.address + " 7510 7301 7310 " + std::to_string(options.webPort);
  service.log().Write("service", "ready",
                      {{"address", options.address}, {"web_port", options.webPort}, {"root", options.root}});
  if (!options.readyFile.empty()) WriteReadyFile(options.readyFile, ready);
  printf("%s\n", ready.c_str());
  fflush(stdout);

  int signalNumber = 0;
  sigwait(&stopSignals, &signalNumber);
  if (web) web->Stop();
  service.Stop();
  service.log().Write("service", "stopped", {{"signal", signalNumber}});
  return 0;
}
