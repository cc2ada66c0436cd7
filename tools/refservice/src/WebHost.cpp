#include "WebHost.h"

#include <fstream>
#include <sstream>

#include <httplib.h>

#include "Cp949.h"
#include "SelectionList.h"
#include "Service.h"

namespace {

constexpr size_t kMaxBody = 1 << 20;

// Set by a route that has logged its request itself; the logger logs the
// others (those httplib answered without a route, e.g. bad requests).
thread_local bool routeLogged = false;

bool ReadWholeFile(const std::string& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream out;
  out << in.rdbuf();
  content = out.str();
  return true;
}

std::string ContentType(const std::string& path) {
  auto ends = [&](const char* suffix) {
    std::string s(suffix);
    return path.size() >= s.size() && path.compare(path.size() - s.size(), s.size(), s) == 0;
  };
  if (ends(".html") || ends(".htm")) return "text/html";
  if (ends(".txt")) return "text/plain";
  return "application/octet-stream";
}

}  // namespace

WebHost::WebHost(Service& service, std::string webRoot)
    : service_(service), webRoot_(std::move(webRoot)), server_(std::make_unique<httplib::Server>()) {}

WebHost::~WebHost() { Stop(); }

bool WebHost::Bind(int port, std::string& error) {
  server_->set_payload_max_length(kMaxBody);
  server_->set_read_timeout(10);
  server_->set_write_timeout(10);
  Routes();
  if (!server_->bind_to_port(service_.address(), port)) {
    error = "cannot listen on " + service_.address() + ":" + std::to_string(port);
    return false;
  }
  return true;
}

void WebHost::Start() {
  thread_ = std::thread([this] { server_->listen_after_bind(); });
}

void WebHost::Stop() {
  if (thread_.joinable()) {
    server_->stop();
    thread_.join();
  }
}

void WebHost::Routes() {
  server_->set_logger([this](const httplib::Request& req, const httplib::Response& res) {
    if (!routeLogged)
      service_.log().Write("web", "request", {{"method", req.method}, {"path", req.path}, {"status", res.status}});
    routeLogged = false;
  });
  server_->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
    res.status = 200;
    std::string path = req.path == "/" ? "/index.html" : req.path;
    nlohmann::json entry = {{"method", req.method}, {"path", req.path}, {"version", req.version}};
    if (req.has_header("Accept")) entry["accept"] = req.get_header_value("Accept");
    if (req.has_header("User-Agent")) entry["user_agent"] = req.get_header_value("User-Agent");
    auto fault = service_.faults().Take("http", [&](const Fault& f) {
      return f.path.empty() || f.path == req.path;
    });
    if (fault) entry["fault"] = fault->action;
    std::string content;
    bool found = path.find("..") == std::string::npos && ReadWholeFile(webRoot_ + path, content);
    if (fault && fault->action == "redirect") {
      res.set_redirect(fault->location, fault->status ? fault->status : 302);
    } else if (fault && fault->action == "status") {
      res.status = fault->status ? fault->status : 500;
    } else if (!found) {
      res.status = 404;
    } else if (fault && fault->action == "no_length") {
      auto body = std::make_shared<std::string>(std::move(content));
      res.set_content_provider(ContentType(path), [body](size_t offset, httplib::DataSink& sink) {
        if (offset < body->size()) sink.write(body->data() + offset, body->size() - offset);
        sink.done();
        return true;
      });
      entry["bytes"] = body->size();
    } else if (fault && fault->action == "short_body") {
      auto body = std::make_shared<std::string>(std::move(content));
      size_t cut = std::min<size_t>(static_cast<size_t>(std::max<int64_t>(fault->bytes, 0)), body->size());
      res.set_content_provider(body->size(), ContentType(path),
                               [body, cut](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset < cut) sink.write(body->data() + offset, cut - offset);
                                 return false;  // ends the connection short of the announced length
                               });
      entry["bytes"] = cut;
    } else {
      entry["bytes"] = content.size();
      res.set_content(content, ContentType(path));
    }
    entry["status"] = res.status;
    service_.log().Write("web", "request", entry);
    routeLogged = true;
  });

  server_->Post("/refservice/upload-jobs", [this](const httplib::Request& req, httplib::Response& res) {
    res.status = 200;
    std::string list = req.body;
    if (req.get_param_value("charset") != "cp949") {
      auto converted = Utf8ToCp949(list);
      list = converted.value_or("");
    }
    auto job = UploadJobFromSelection(list);
    nlohmann::json entry = {{"method", req.method}, {"path", req.path}};
    if (!job) {
      res.status = 400;
      res.set_content("malformed selection list\n", "text/plain");
    } else {
      auto code = Utf8ToCp949(req.get_param_value("code"));
      job->listCode = code.value_or("");
      std::string listCode = service_.RegisterUploadJob(std::move(*job));
      if (listCode.empty()) {
        res.status = 503;
        res.set_content("too many upload jobs\n", "text/plain");
      } else {
        res.set_content(listCode, "text/plain");
        entry["list_code"] = Cp949ToUtf8(listCode);
      }
    }
    entry["status"] = res.status;
    service_.log().Write("web", "request", entry);
    routeLogged = true;
  });
}
