#pragma once
// The decisions of the update dialog that need no OS: where a redirect
// points, how far the download has come, whether the installer arrived whole
// and whether the installed programs are the required ones.
#include <optional>
#include <string>

// Where an HTTP request goes: server, port and object path.
struct HttpTarget {
  std::string host;
  int port = 80;
  std::string object;
};

// The value of the "Location: " header in raw response headers (lines
// ending in CR LF), without its line break; nothing when there is none.
std::optional<std::string> LocationHeader(const std::string& rawHeaders);

// Splits "scheme://host[:port][/object]". Whatever the scheme, the target is
// fetched as plain HTTP; without a port the scheme's usual one (443 for
// https, 80 otherwise). A Location of only an object path ("/app/x") stays
// on `current`'s server. Nothing for anything else.
std::optional<HttpTarget> RedirectTarget(const std::string& location, const HttpTarget& current);

// A Content-Length value as a decimal number; 0 when it is not one or does
// not fit a 32-bit signed int.
int ContentLengthOf(const std::string& text);

// The progress bar position, received * 100 / expected (0..100), computed
// in 64 bits; 0 when nothing is expected.
int ProgressPercent(int received, int expected);

// The installer may be started only when the download was answered with 200,
// received something and exactly the announced size.
bool ArrivedWhole(bool answered200, int received, int expected);

// After the installer ended: every non-empty required version must equal
// the installed program's version (a program without a readable version
// differs).
bool RequiredVersionsInPlace(const std::optional<std::string>& downloaderVersion,
                             const std::string& requiredDownloaderVersion,
                             const std::optional<std::string>& uploaderVersion,
                             const std::string& requiredUploaderVersion);
