// Downloads 50 MB from a loopback server through CHttpSession, plain, chunked
// and gzip-coded, and prints the throughput of each.
#include <chrono>
#include <cstdio>

#include "http/HttpSession.h"
#include "http/tests/TestServer.h"

namespace {

double Download(TestServer& server, const std::string& answer, size_t expected) {
  server.Queue(answer);
  CHttpSession session;
  session.GetRequest().SetMethod(kHttpGet);
  session.GetRequest().SetUrl(server.Url("/big").c_str());
  HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  auto start = std::chrono::steady_clock::now();
  bool ok = session.SendRequest(true, nullptr, nullptr, never);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  CloseHandle(never);
  if (!ok || !session.IsResponseComplete() || session.GetResponse().GetBodyLength() != expected) {
    printf("  download failed\n");
    return 0;
  }
  return expected / seconds / (1 << 20);
}

}  // namespace

int main() {
  WinsockScope winsock;
  const size_t kSize = 50u << 20;
  std::string body(kSize, '\0');
  for (size_t i = 0; i < kSize; ++i) body[i] = static_cast<char>("quorindo dictionary "[i % 20] + (i / 4096) % 3);
  TestServer server;

  std::string plain = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kSize) + "\r\n\r\n" + body;
  printf("plain:   %.1f MB/s\n", Download(server, plain, kSize));

  std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  for (size_t at = 0; at < kSize; at += 65536) {
    char size[16];
    snprintf(size, sizeof(size), "%x\r\n", static_cast<unsigned>(std::min<size_t>(65536, kSize - at)));
    chunked += size + body.substr(at, 65536) + "\r\n";
  }
  chunked += "0\r\n\r\n";
  printf("chunked: %.1f MB/s\n", Download(server, chunked, kSize));

  std::string zipped = GzipBytes(body);
  std::string gzip = "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: " + std::to_string(zipped.size()) +
                     "\r\n\r\n" + zipped;
  printf("gzip:    %.1f MB/s of decoded data (%.1f MB on the wire)\n", Download(server, gzip, kSize),
         zipped.size() / double(1 << 20));
  return 0;
}
