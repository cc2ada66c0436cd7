#include "ControlConnection.h"

#include <cstring>

int ReceiveReply(SOCKET socket, char* buffer, int limit) {
  if (recv(socket, buffer, limit, MSG_PEEK) == SOCKET_ERROR) return -1;
  int count = recv(socket, buffer, limit, 0);
  if (count == SOCKET_ERROR) return -1;
  buffer[count] = '\0';
  return count;
}

std::string ResolveServerAddress(const std::string& host) {
  unsigned long dotted = inet_addr(host.c_str());
  if (dotted != INADDR_NONE && !host.empty()) {
    in_addr address;
    address.s_addr = dotted;
    return inet_ntoa(address);
  }
  hostent* entry = gethostbyname(host.c_str());
  if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list[0]) return std::string();
  in_addr address;
  std::memcpy(&address, entry->h_addr_list[0], sizeof address);
  return inet_ntoa(address);
}

ControlConnection::~ControlConnection() { Close(); }

bool ControlConnection::Connect(const std::string& address, int port) {
  Close();
  address_ = address.substr(0, kAddressLimit);
  socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket_ == INVALID_SOCKET) return false;
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(static_cast<u_short>(port));
  server.sin_addr.s_addr = inet_addr(address_.c_str());
  if (connect(socket_, reinterpret_cast<sockaddr*>(&server), sizeof server) == SOCKET_ERROR) {
    Close();
    return false;
  }
  connected_ = true;
  return true;
}

std::string ControlConnection::Transact(const std::string& request) {
  if (request.size() > static_cast<std::size_t>(kRequestLimit)) return std::string();
  // An empty request puts nothing on the wire: no reply would ever come.
  if (request.empty()) return std::string();
  char requestBuffer[kRequestLimit + 1];
  std::memcpy(requestBuffer, request.data(), request.size());
  if (socket_ == INVALID_SOCKET ||
      send(socket_, requestBuffer, static_cast<int>(request.size()), 0) == SOCKET_ERROR) {
    Close();
    return std::string();
  }
  char reply[kReplyLimit + 1];
  int count = ReceiveReply(socket_, reply, kReplyLimit);
  if (count < 0) {
    Close();
    return std::string();
  }
  // The reply is text: it ends at its first zero byte, if any.
  const std::size_t received = static_cast<std::size_t>(count);
  const char* zero = static_cast<const char*>(std::memchr(reply, '\0', received));
  return std::string(reply, zero ? static_cast<std::size_t>(zero - reply) : received);
}

void ControlConnection::Close() {
  if (socket_ != INVALID_SOCKET) closesocket(socket_);
  socket_ = INVALID_SOCKET;
  connected_ = false;
}
