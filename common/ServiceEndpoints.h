#pragma once
// The service's endpoints, fixed at build time (TRANSFER_SERVER_HOST, WEB_HOST).
// Test programs may replace them for their own process.
#include <string>

struct HostAndPort {
  std::string host;
  int port = 80;
};

// "host" or "host:port"; port 80 when absent or not a number in 1-65535.
HostAndPort ParseHostAndPort(const std::string& text);

// The default transfer server address (host name or dotted IPv4).
std::string TransferServerHost();
void OverrideTransferServerHost(const std::string& host);

// The web host as "host" or "host:port".
std::string WebHost();
void OverrideWebHost(const std::string& hostAndPort);

// "http://" + web host + path (path starts with "/"); the port is left out when 80.
std::string WebHostUrl(const std::string& path);
