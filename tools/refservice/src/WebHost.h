#pragma once
#include <memory>
#include <string>
#include <thread>

class Service;
namespace httplib {
class Server;
}

// The web host: the installer and pages below a folder, with the HTTP faults.
class WebHost {
 public:
  WebHost(Service& service, std::string webRoot);
  ~WebHost();
  bool Bind(int port, std::string& error);
  void Start();
  void Stop();

 private:
  void Routes();

  Service& service_;
  std::string webRoot_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
};
