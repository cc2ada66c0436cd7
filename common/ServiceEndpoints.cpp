#include "ServiceEndpoints.h"

#include "Cp949Text.h"

#ifndef HAULBOX_TRANSFER_SERVER_HOST
#define HAULBOX_TRANSFER_SERVER_HOST "127.0.0.1"
#endif
#ifndef HAULBOX_WEB_HOST
#define HAULBOX_WEB_HOST "127.0.0.1"
#endif

namespace {
std::string& TransferHostSetting() {
  static std::string host = HAULBOX_TRANSFER_SERVER_HOST;
  return host;
}
std::string& WebHostSetting() {
  static std::string host = HAULBOX_WEB_HOST;
  return host;
}
}  // namespace

HostAndPort ParseHostAndPort(const std::string& text) {
  HostAndPort result;
  std::size_t colon = text.rfind(':');
  if (colon == std::string::npos) {
    result.host = text;
    return result;
  }
  result.host = text.substr(0, colon);
  std::string portText = text.substr(colon + 1);
  bool digitsOnly = !portText.empty() && portText.size() <= 5 &&
                    portText.find_first_not_of("0123456789") == std::string::npos;
  long long port = digitsOnly ? cp949::LeadingInteger(portText) : 0;
  if (port >= 1 && port <= 65535) result.port = static_cast<int>(port);
  return result;
}

std::string TransferServerHost() { return TransferHostSetting(); }
void OverrideTransferServerHost(const std::string& host) { TransferHostSetting() = host; }

std::string WebHost() { return WebHostSetting(); }
void OverrideWebHost(const std::string& hostAndPort) { WebHostSetting() = hostAndPort; }

std::string WebHostUrl(const std::string& path) {
  HostAndPort where = ParseHostAndPort(WebHost());
  std::string url = "http://" + where.host;
  if (where.port != 80) url += ":" + std::to_string(where.port);
  return url + path;
}
