// The limit of the download loop under Wine: connect to the download data
// server, send the four request blocks, then peek + receive at most 2048
// bytes + one unbuffered write per chunk, nothing else.
//
//   bench_minimal_loop <data server address> <server key> <size> <local file>
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
  if (argc != 5) {
    std::fprintf(stderr, "usage: bench_minimal_loop <address> <key> <size> <file>\n");
    return 2;
  }
  WSADATA wsa;
  WSAStartup(MAKEWORD(1, 1), &wsa);
  SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(7301);
  server.sin_addr.s_addr = inet_addr(argv[1]);
  if (connect(socket, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
    std::fprintf(stderr, "bench_minimal_loop: cannot connect to %s\n", argv[1]);
    return 1;
  }
  HANDLE file = CreateFileA(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "bench_minimal_loop: cannot create %s\n", argv[4]);
    return 1;
  }
  BenchClock clock;
  send(socket, nullptr, 0, 0);
  SendBlock(socket, "bin/");
  SendBlock(socket, argv[2]);
  SendBlock(socket, argv[3]);
  SendBlock(socket, "0");
  long long total = 0;
  char chunk[2049];
  for (;;) {
    if (recv(socket, chunk, 2048, MSG_PEEK) <= 0) break;
    int count = recv(socket, chunk, 2048, 0);
    if (count <= 0) break;
    DWORD written = 0;
    WriteFile(file, chunk, static_cast<DWORD>(count), &written, nullptr);
    total += written;
  }
  double seconds = clock.Seconds();
  CloseHandle(file);
  closesocket(socket);
  PrintBenchLine("minimal loop under Wine (the limit)", total, seconds);
  return total == std::atoll(argv[3]) ? 0 : 1;
}
