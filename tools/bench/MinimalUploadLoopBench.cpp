// The limit of the upload loop under Wine: connect to the upload data server,
// send the three request blocks, read the resume offset, then one read of at
// most 2048 bytes + one send per chunk, nothing else.
//
//   bench_minimal_upload_loop <data server address> <upload key> <upload name> <size> <local file>
#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BenchClock.h"

namespace {

void SendBlock(SOCKET socket, const char* text) {
  char block[2048] = {};
  std::strncpy(block, text, sizeof block - 1);
  send(socket, block, sizeof block, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: bench_minimal_upload_loop <address> <upload key> <upload name> <size> <file>\n");
    return 2;
  }
  WSADATA wsa;
  WSAStartup(MAKEWORD(1, 1), &wsa);
  HANDLE file = CreateFileA(argv[5], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "bench_minimal_upload_loop: cannot open %s\n", argv[5]);
    return 1;
  }
  SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(7310);
  server.sin_addr.s_addr = inet_addr(argv[1]);
  if (connect(socket, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
    std::fprintf(stderr, "bench_minimal_upload_loop: cannot connect to %s\n", argv[1]);
    return 1;
  }
  BenchClock clock;
  send(socket, nullptr, 0, 0);
  SendBlock(socket, argv[2]);
  SendBlock(socket, argv[3]);
  SendBlock(socket, argv[4]);
  char reply[13] = {};
  if (recv(socket, reply, 12, 0) < 0) {
    std::fprintf(stderr, "bench_minimal_upload_loop: no resume offset\n");
    return 1;
  }
  long long offset = std::atoll(reply);
  if (offset < 0) offset = 0;
  LARGE_INTEGER position;
  position.QuadPart = offset;
  SetFilePointerEx(file, position, nullptr, FILE_BEGIN);
  long long total = offset;
  char chunk[2048];
  for (;;) {
    DWORD count = 0;
    if (!ReadFile(file, chunk, sizeof chunk, &count, nullptr) || count == 0) break;
    if (send(socket, chunk, static_cast<int>(count), 0) != static_cast<int>(count)) break;
    total += count;
  }
  CloseHandle(file);
  closesocket(socket);
  const double seconds = clock.Seconds();
  PrintBenchLine("minimal upload loop under Wine (the limit)", total, seconds);
  if (offset != 0) std::printf("minimal upload loop: resumed at %lld\n", offset);
  return total == std::atoll(argv[4]) ? 0 : 1;
}
