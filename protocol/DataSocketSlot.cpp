#include "DataSocketSlot.h"

void DataSocketSlot::Publish(SOCKET socket) {
  std::lock_guard<std::mutex> hold(lock_);
  socket_ = socket;
}

void DataSocketSlot::CloseSocket(SOCKET& socket) {
  if (socket == INVALID_SOCKET) return;
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (socket_ == socket) socket_ = INVALID_SOCKET;
  }
  closesocket(socket);
  socket = INVALID_SOCKET;
}

void DataSocketSlot::ShutDown() {
  std::lock_guard<std::mutex> hold(lock_);
  if (socket_ != INVALID_SOCKET) shutdown(socket_, 2 /* both directions */);
}
