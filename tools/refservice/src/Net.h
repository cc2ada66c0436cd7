#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Small blocking-socket helpers. Every call returns instead of raising SIGPIPE.
int ListenTcp(const std::string& address, int port, std::string& error);
bool SendAll(int fd, const char* data, size_t length);
// Reads exactly `length` bytes; false when the peer closed, failed or timed out first.
bool ReadExact(int fd, char* data, size_t length, size_t* got = nullptr);
void SetTimeouts(int fd, int seconds);
// Closes with a reset (RST) instead of an orderly end.
void CloseWithReset(int fd);
std::string PeerText(int fd);
bool IsValidLoopback(const std::string& address);
