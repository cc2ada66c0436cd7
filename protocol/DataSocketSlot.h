#pragma once
// A running worker's data socket, published so that a stop from the window's
// thread can end a send or a receive that waits for ever. The worker
// unpublishes the socket under the lock before closing it, so a shutdown
// never reaches a closed (or reused) handle.
#include <winsock2.h>

#include <mutex>

class DataSocketSlot {
public:
  void Publish(SOCKET socket);
  // Unpublishes and closes the socket.
  void CloseSocket(SOCKET& socket);
  // Shuts the published socket down (both directions); nothing when none.
  void ShutDown();

private:
  std::mutex lock_;
  SOCKET socket_ = INVALID_SOCKET;
};
