#pragma once
#include <cstdint>

class Service;

// The transfer server on port 7510: one request text in, one reply text out.
void ServeTransferConnection(Service& service, int fd, uint64_t conn);
