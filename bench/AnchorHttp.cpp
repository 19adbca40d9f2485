// The project's side of the HTTP anchor: one file fetched from a local server
// through CHttpSession, and the floor under Wine, a bare Winsock receive
// loop of the same request.
//   anchor_http PORT PATH SIZE RUNS
// Prints "session_s", "winsock_s" and "winsock_stored_s" (the bare loop
// keeping the bytes as a response does): the best of RUNS, in seconds.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/bench/Bench.h"
#include "http/HttpSession.h"
#include "http/PagedBuffer.h"

namespace {

// Seconds for the whole answer through the session; negative when it failed.
double SessionFetch(const std::string& url, size_t size) {
  CHttpSession session;
  session.GetRequest().SetMethod(kHttpGet);
  session.GetRequest().SetUrl(url.c_str());
  HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const double start = BenchSeconds();
  const bool ok = session.SendRequest(false, nullptr, nullptr, never);
  const double seconds = BenchSeconds() - start;
  CloseHandle(never);
  if (!ok || !session.IsResponseComplete() || session.GetResponse().GetBodyLength() != size) return -1;
  return seconds;
}

// Seconds for the same request over a bare socket, read until the server
// closes; negative when fewer than size bytes came. With store, the bytes are
// kept as a response keeps them, in a paged buffer.
double WinsockFetch(uint16_t port, const std::string& path, size_t size, CPagedBuffer* store) {
  const double start = BenchSeconds();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    closesocket(s);
    return -1;
  }
  const std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
  send(s, request.data(), int(request.size()), 0);
  std::vector<char> buffer(65536);
  size_t total = 0;
  for (int got; (got = recv(s, buffer.data(), int(buffer.size()), 0)) > 0;) {
    total += size_t(got);
    if (store) store->Write(buffer.data(), uint32_t(got));
  }
  closesocket(s);
  const double seconds = BenchSeconds() - start;
  return total >= size ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: anchor_http PORT PATH SIZE RUNS\n");
    return 2;
  }
  const uint16_t port = uint16_t(atoi(argv[1]));
  const std::string path = argv[2];
  const size_t size = size_t(strtoull(argv[3], nullptr, 10));
  const int runs = std::max(1, atoi(argv[4]));
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + path;
  double session = 1e9, bare = 1e9, stored = 1e9;
  for (int i = 0; i < runs; ++i) {
    const double a = SessionFetch(url, size);
    const double b = WinsockFetch(port, path, size, nullptr);
    CPagedBuffer store(65536);  // the page size a response uses
    const double c = WinsockFetch(port, path, size, &store);
    if (a < 0 || b < 0 || c < 0) {
      fprintf(stderr, "anchor_http: a fetch of %s failed\n", url.c_str());
      return 1;
    }
    session = std::min(session, a);
    bare = std::min(bare, b);
    stored = std::min(stored, c);
  }
  printf("session_s %.4f\nwinsock_s %.4f\nwinsock_stored_s %.4f\n", session, bare, stored);
  WSACleanup();
  return 0;
}
