// Prints how fast the engine searches: a literal-prefix search through 10 MB
// of text, and the reply-parsing shape the text translator uses over 100 KB.
#include "regex/Regex.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

std::wstring Filler(size_t length) {
  static const wchar_t* const words[] = {L"lorem ", L"ipsum ", L"dolor ", L"sit ", L"amet, ", L"<span>", L"</span>\n",
                                         L"consectetur ", L"adipiscing ", L"elit; ", L"nee ", L"needl "};
  std::wstring text;
  text.reserve(length + 16);
  for (size_t i = 0; text.size() < length; ++i) text += words[(i * 7 + i / 5) % 12];
  text.resize(length);
  return text;
}

template <class F>
double BestMilliseconds(int rounds, F f) {
  double best = 1e30;
  for (int i = 0; i < rounds; ++i) {
    auto start = std::chrono::steady_clock::now();
    f();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (ms < best) best = ms;
  }
  return best;
}

void Report(const char* name, double ms, size_t units, bool matched, const std::wstring& found) {
  double mb = units * sizeof(wchar_t) / 1048576.0;
  std::printf("%-36s %8.3f ms  %8.1f MB/s  matched=%d  group 1 length %u\n", name, ms, mb / (ms / 1000.0), matched,
              unsigned(found.size()));
}

}  // namespace

int main() {
  // Literal prefix: the searcher skips through the text to the one occurrence near its end.
  std::wstring big = Filler(10u << 20);
  big.replace(big.size() - 100, 20, L"needle=12345;       ");
  for (uint32_t flags : {0u, uint32_t(regex::ignore_case)}) {
    regex::compiled_pattern pattern(L"needle=(\\d+);", flags);
    regex::match_results results;
    bool matched = false;
    double ms = BestMilliseconds(5, [&] { matched = pattern.match(big, results).matched; });
    Report(flags ? "literal prefix, 10 MB, ignore case" : "literal prefix, 10 MB", ms, big.size(), matched,
           results.str(1));
  }

  // Reply parsing: a group between two literal anchors, flags 9, over a 100 KB reply.
  std::wstring reply = L"<html><head><title>Translation</title></head><body>" + Filler(100u << 10) +
                       L"<div id=\"result_box\">Guten Morgen, <b>Welt</b>\n!</div>" + Filler(2048) +
                       L"</body></html>";
  regex::compiled_pattern reply_pattern(L"<div id=\"result_box\">(.*?)</div>", regex::ignore_case | regex::dot_all,
                                        regex::recursive);
  regex::match_results results;
  bool matched = false;
  double ms = BestMilliseconds(20, [&] { matched = reply_pattern.match(reply, results).matched; });
  Report("reply parsing, 100 KB, flags 9", ms, reply.size(), matched, results.str(1));

  regex::compiled_pattern iterative_pattern(L"<div id=\"result_box\">(.*?)</div>",
                                            regex::ignore_case | regex::dot_all, regex::iterative);
  ms = BestMilliseconds(20, [&] { matched = iterative_pattern.match(reply, results).matched; });
  Report("reply parsing, 100 KB, iterative", ms, reply.size(), matched, results.str(1));

  // The same reply without a literal prefix to skip by: every position is tried.
  regex::compiled_pattern no_prefix(L"(?:<div|<span) id=\"result_box\">(.*?)</div>", regex::ignore_case | regex::dot_all);
  ms = BestMilliseconds(20, [&] { matched = no_prefix.match(reply, results).matched; });
  Report("reply parsing, no literal prefix", ms, reply.size(), matched, results.str(1));
  return 0;
}
