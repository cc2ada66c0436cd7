#include "UpdateRules.h"

#include <cctype>
#include <climits>

#include "HandoffRules.h"

namespace {

bool StartsWithNoCase(const std::string& text, std::size_t at, const std::string& prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

std::optional<int> PortOf(const std::string& digits) {
  if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  int port = std::stoi(digits);
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

}  // namespace

std::optional<std::string> LocationHeader(const std::string& rawHeaders) {
  static const std::string name = "Location:";
  std::size_t lineStart = 0;
  while (lineStart < rawHeaders.size()) {
    std::size_t lineEnd = rawHeaders.find("\r\n", lineStart);
    if (lineEnd == std::string::npos) lineEnd = rawHeaders.size();
    if (StartsWithNoCase(rawHeaders, lineStart, name) && lineStart + name.size() <= lineEnd) {
      std::size_t value = lineStart + name.size();
      while (value < lineEnd && (rawHeaders[value] == ' ' || rawHeaders[value] == '\t')) ++value;
      std::size_t end = lineEnd;
      while (end > value && (rawHeaders[end - 1] == ' ' || rawHeaders[end - 1] == '\t')) --end;
      return rawHeaders.substr(value, end - value);
    }
    lineStart = lineEnd + 2;
  }
  return std::nullopt;
}

std::optional<HttpTarget> RedirectTarget(const std::string& location, const HttpTarget& current) {
  if (!location.empty() && location[0] == '/') return HttpTarget{current.host, current.port, location};
  std::size_t schemeEnd = location.find("://");
  if (schemeEnd == std::string::npos || schemeEnd == 0) return std::nullopt;
  std::string scheme = location.substr(0, schemeEnd);
  std::size_t authorityStart = schemeEnd + 3;
  std::size_t objectStart = location.find_first_of("/?#", authorityStart);
  if (objectStart == std::string::npos) objectStart = location.size();
  std::string authority = location.substr(authorityStart, objectStart - authorityStart);
  std::size_t at = authority.rfind('@');
  if (at != std::string::npos) authority.erase(0, at + 1);

  HttpTarget target;
  target.port = StartsWithNoCase(scheme, 0, "https") && scheme.size() == 5 ? 443 : 80;
  std::size_t colon = authority.rfind(':');
  if (colon != std::string::npos) {
    auto port = PortOf(authority.substr(colon + 1));
    if (!port) return std::nullopt;
    target.port = *port;
    authority.erase(colon);
  }
  if (authority.empty()) return std::nullopt;
  target.host = authority;
  target.object = location.substr(objectStart);
  if (target.object.empty() || target.object[0] != '/') target.object.insert(0, "/");
  return target;
}

int ContentLengthOf(const std::string& text) {
  std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return 0;
  std::size_t end = text.find_last_not_of(" \t") + 1;
  std::string digits = text.substr(start, end - start);
  if (digits.empty() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  long long value = std::stoll(digits);
  return value > INT_MAX ? 0 : static_cast<int>(value);
}

int ProgressPercent(int received, int expected) {
  if (expected <= 0 || received <= 0) return 0;
  long long percent = static_cast<long long>(received) * 100 / expected;
  return percent > 100 ? 100 : static_cast<int>(percent);
}

bool ArrivedWhole(bool answered200, int received, int expected) {
  return answered200 && received > 0 && received == expected;
}

bool RequiredVersionsInPlace(const std::optional<std::string>& downloaderVersion,
                             const std::string& requiredDownloaderVersion,
                             const std::optional<std::string>& uploaderVersion,
                             const std::string& requiredUploaderVersion) {
  bool failed = false;
  if (!requiredDownloaderVersion.empty()) failed = IsOutOfDate(downloaderVersion, requiredDownloaderVersion);
  if (!requiredUploaderVersion.empty()) failed = failed || IsOutOfDate(uploaderVersion, requiredUploaderVersion);
  return !failed;
}
