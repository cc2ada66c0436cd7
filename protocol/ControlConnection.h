#pragma once
// The TCP connection to the transfer server (Windows Sockets 1.1): one request
// text out, one reply text back per exchange, the connection kept open
// between exchanges. Texts are CP949 bytes without length or terminator.
#include <winsock2.h>

#include <string>

// Bounds of the wire texts.
constexpr int kAddressLimit = 259;  // a 260-byte address buffer
constexpr int kRequestLimit = 2048;
constexpr int kReplyLimit = 2048;
constexpr int kControlPort = 7510;  // the transfer server

// The receive used on every connection: a peek that waits until data is there
// (it removes nothing), then one receive of at most `limit` bytes into
// `buffer`, which is terminated after them (buffer holds limit + 1 bytes).
// Returns the count, 0 when the peer has closed, -1 on error (the buffer is
// then left as it was).
int ReceiveReply(SOCKET socket, char* buffer, int limit);

// First IPv4 address of `host` in dotted form (a dotted address resolves to
// itself); empty when the lookup fails.
std::string ResolveServerAddress(const std::string& host);

// Shows nothing: failures come back as results, and the program decides what
// the user is told.
class ControlConnection {
public:
  ControlConnection() = default;
  ~ControlConnection();
  ControlConnection(const ControlConnection&) = delete;
  ControlConnection& operator=(const ControlConnection&) = delete;

  // Connects to the dotted address and port, closing any socket this object
  // held. False when no connection could be made; the object is then
  // unconnected (and every Transact answers empty text).
  bool Connect(const std::string& address, int port);
  // One request and its reply; empty text when the exchange fails (the
  // connection is then closed) or when the request is longer than
  // kRequestLimit bytes (refused unsent: cutting it would send another request),
  // and for an empty request (nothing would go out, so no reply would come).
  // The reply is what one receive brought, up to its first zero byte.
  std::string Transact(const std::string& request);
  void Close();

  bool IsConnected() const { return connected_; }
  const std::string& Address() const { return address_; }

private:
  std::string address_;
  SOCKET socket_ = INVALID_SOCKET;
  bool connected_ = false;
};
