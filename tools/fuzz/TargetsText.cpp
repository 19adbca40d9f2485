// Targets of the text readers: the configuration store, XML, the ciphers,
// regular expressions, engine replies and grab records.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/popup/GrabWord.h"
#include "core/ConfigFile.h"
#include "core/DesCipher.h"
#include "core/TextCodec.h"
#include "core/TripleDes.h"
#include "core/XmlDocument.h"
#include "grabhook/Scrivet.h"
#include "online/TextTranslator.h"
#include "regex/Regex.h"
#include "tools/fuzz/Fuzz.h"
#include "tools/fuzz/FuzzTargets.h"

namespace fuzz {
namespace {

const uint8_t kKey[16] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10};

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

std::wstring Decode(const std::string& bytes) {
  std::wstring text;
  DecodeTextBuffer(text, bytes.data(), static_cast<uint32_t>(bytes.size()), CP_UTF8);
  return text;
}

// Where two texts part, with the characters around it as code points.
std::string Difference(const std::wstring& want, const std::wstring& got) {
  size_t at = 0;
  while (at < want.size() && at < got.size() && want[at] == got[at]) ++at;
  auto show = [at](const std::wstring& text) {
    std::string out;
    for (size_t i = at >= 4 ? at - 4 : 0; i < text.size() && i < at + 8; ++i) {
      char unit[8];
      snprintf(unit, sizeof(unit), " %04X", static_cast<unsigned>(text[i]));
      out += unit;
    }
    return out;
  };
  return "at " + std::to_string(at) + " of " + std::to_string(want.size()) + "/" + std::to_string(got.size()) +
         ": want" + show(want) + "; got" + show(got);
}

std::string Utf16File(const std::wstring& text) { return "\xFF\xFE" + WideToBytes(text); }

// ---- configuration store: load, save, load again; values set through the
// escaper come back as they were set.

std::vector<std::string> ConfigSeeds() {
  return {Utf16File(L"[App]\nWindow=1,2,3,4\nName=\"quoted \\\"text\\\"\"\n; comment\n[Empty]\n"),
          "[Layout]\r\nStyle=a;b;c;d\r\nFont=Tahoma\r\nText=\\x3B\\t\\n\r\n",
          "\xEF\xBB\xBF[S]\nk=v\nk=w\n=\n[\n]\nno equals\n"};
}

void RunConfig(const std::string& input, const Sandbox& box) {
  const std::wstring in = box.folder + L"in.ini", out = box.folder + L"out.ini";
  Check(WriteBytes(in, input), "cannot write the input file");
  const bool enveloped = input.compare(0, 4, "?VKC") == 0;
  CConfigFile first;
  if (first.Load(in.c_str(), enveloped ? kKey : nullptr, CConfigFile::kReplaceStore, 0)) {
    std::vector<std::wstring> before, after;
    first.GetEntries(before);
    if (!before.empty()) {
      Check(first.Save(out.c_str(), nullptr), "a loaded store did not save");
      CConfigFile second;
      Check(second.Load(out.c_str(), nullptr, CConfigFile::kReplaceStore, 0), "a saved store did not load");
      second.GetEntries(after);
      if (before != after) {
        size_t at = 0;
        while (at < before.size() && at < after.size() && before[at] == after[at]) ++at;
        Fail("a saved store reloads different entries: " +
             Difference(at < before.size() ? before[at] : L"", at < after.size() ? after[at] : L""));
      }
    }
  }

  // The stricter dialect of a dictionary's layout text.
  const std::wstring text = Decode(input);
  CConfigFile layout;
  layout.Parse(text.c_str(), true, CConfigFile::kReplaceStore);
  layout.Parse(text.c_str(), false, CConfigFile::kMergeLaterWins);

  // A value as the program stores it: escaped (and quoted, which keeps blanks
  // at its ends), saved, reloaded, unescaped.
  const std::wstring value = text.substr(0, 300);
  if (value.find(L'\0') != std::wstring::npos) return;
  std::wstring escaped;
  EscapeString(escaped, value.c_str());
  CConfigFile store;
  store.SetValue(L"Fuzz", L"Quoted", L"\"" + escaped + L"\"");
  store.SetValue(L"Fuzz", L"Plain", escaped);
  Check(store.Save(out.c_str(), kKey), "a store with two values did not save");
  CConfigFile reloaded;
  Check(reloaded.Load(out.c_str(), kKey, CConfigFile::kReplaceStore, 0), "a saved store did not load");
  std::wstring back = reloaded.GetString(L"Fuzz", L"Quoted");
  if (back != value) Fail("a quoted escaped value does not come back as it was set: " + Difference(value, back));
  std::wstring trimmed = value;
  TrimWString(trimmed, L" ", 0);
  back = reloaded.GetString(L"Fuzz", L"Plain");
  TrimWString(back, L" ", 0);
  if (back != trimmed) Fail("an escaped value does not come back as it was set: " + Difference(trimmed, back));
}

// ---- XML: parse, print, parse the printed text: the same tree prints the same.

std::vector<std::string> XmlSeeds() {
  return {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE x>\n<root a=\"1\" b='&amp;&lt;'>"
          "<!-- c --><item id=\"2\">text &#x41;&#66;<![CDATA[raw <b>]]></item><?pi data?><empty/></root>",
          Utf16File(L"<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"yes\"?><a><b c=\"d\">e</b></a>")};
}

std::wstring PrintDocument(const CXmlDocument& document) {
  std::wstring text;
  document.DocumentNode()->Print(text, 0, 0, nullptr);
  return text;
}

void RunXml(const std::string& input, const Sandbox&) {
  std::string buffer = input;
  buffer.append(4, '\0');
  CXmlDocument document;
  // A text without a root element parses as an empty document, which prints as nothing.
  if (!document.Parse(buffer.data(), kXmlAllFlags) || !document.GetRoot()) return;
  const std::wstring printed = PrintDocument(document);
  std::string again = Utf16File(printed);
  again.append(4, '\0');
  CXmlDocument reparsed;
  if (!reparsed.Parse(again.data(), kXmlAllFlags)) {
    std::string context;
    WStringToMultiByte(context, reparsed.ErrorContext().c_str(), -1, CP_UTF8, 0);
    Fail("printed XML does not parse again, near: " + context);
  }
  const std::wstring second = PrintDocument(reparsed);
  if (second != printed) Fail("printed XML parses to a different tree: " + Difference(printed, second));
}

// ---- ciphers: envelopes deciphered; plain text enveloped deciphers to itself.

std::vector<std::string> CipherSeeds() {
  std::vector<std::string> seeds;
  const std::string plain = "plain text of a setting, \xFF\xFE and more";
  CDesCipher des;
  des.SetKey(kKey, 16);
  std::string envelope(des.Encrypt(nullptr, reinterpret_cast<const uint8_t*>(plain.data()), static_cast<int>(plain.size())), '\0');
  des.Encrypt(reinterpret_cast<uint8_t*>(&envelope[0]), reinterpret_cast<const uint8_t*>(plain.data()), static_cast<int>(plain.size()));
  seeds.push_back("\x00" + envelope);
  CTripleDes tdes;
  tdes.SetKey(kKey, 16);
  std::string tenvelope;
  tdes.EncryptString(tenvelope, reinterpret_cast<const uint8_t*>(plain.data()), static_cast<unsigned>(plain.size()));
  seeds.push_back(std::string(1, '\x01') + tenvelope);
  std::wstring setting;
  const std::wstring wide = L"user:password";
  EncryptSettingText(setting, reinterpret_cast<const uint8_t*>(wide.data()), static_cast<unsigned>(wide.size() * 2));
  seeds.push_back(std::string(1, '\x02') + WideToBytes(setting));
  seeds.push_back(std::string(1, '\x03') + plain);
  return seeds;
}

std::wstring FuzzKeyText() { return L"00112233445566778899AABBCCDDEEFF"; }

void RunCipher(const std::string& input, const Sandbox&) {
  if (input.empty()) return;
  SetSettingTextKeyReader(FuzzKeyText);
  const std::string body = input.substr(1);
  const uint8_t* in = reinterpret_cast<const uint8_t*>(body.data());
  const int length = static_cast<int>(body.size());
  const uint8_t keyLength = static_cast<uint8_t>(input[0]) >> 2;  // 0..63: short, single, two-key and long keys
  switch (input[0] & 3) {
    case 0: {
      CDesCipher des;
      des.SetKey(kKey, keyLength % 17 ? keyLength % 17 : 16);
      const int n = des.Decrypt(nullptr, in, length);
      if (n >= 0) {
        std::string plain(n, '\0');
        Check(des.Decrypt(reinterpret_cast<uint8_t*>(&plain[0]), in, length) == n, "the envelope's two reads differ");
      }
      // Round trip of the bytes as plain text.
      const int size = des.Encrypt(nullptr, in, length);
      if (size < 0) return;
      std::string envelope(size, '\0');
      Check(des.Encrypt(reinterpret_cast<uint8_t*>(&envelope[0]), in, length) == size, "enciphering changed its size");
      std::string back(length, '\0');
      Check(des.Decrypt(reinterpret_cast<uint8_t*>(&back[0]), reinterpret_cast<const uint8_t*>(envelope.data()),
                        size) == length && back == body,
            "an envelope does not decipher to its plain text");
      break;
    }
    case 1: {
      CTripleDes tdes;
      tdes.SetKey(kKey, keyLength % 25);
      std::string plain, envelope, back;
      tdes.DecryptString(plain, in, static_cast<unsigned>(length));
      if (!tdes.EncryptString(envelope, in, static_cast<unsigned>(length))) return;
      tdes.DecryptString(back, reinterpret_cast<const uint8_t*>(envelope.data()), static_cast<unsigned>(envelope.size()));
      Check(back.compare(0, body.size(), body) == 0 && back.find_first_not_of('\0', body.size()) == std::string::npos,
            "a triple-DES envelope does not decipher to its plain text");
      break;
    }
    default: {
      std::string plain;
      DecryptSettingText(plain, BytesToWide(body));
      // A setting text made of the input's characters deciphers to them.
      std::wstring text = BytesToWide(body);
      while (!text.empty() && text.back() == L'\0') text.pop_back();
      std::wstring setting;
      if (!EncryptSettingText(setting, reinterpret_cast<const uint8_t*>(text.data()), static_cast<unsigned>(text.size() * 2)))
        return;
      Check(DecryptSettingText(plain, setting) > 0 && plain == WideToBytes(text),
            "a setting text does not decipher to its plain text");
      break;
    }
  }
}

// ---- regular expressions: the pattern compiled in every mode and flag set,
// matched against subjects made of its own text.

std::vector<std::string> RegexSeeds() {
  return {"(a|b)*c\n" "aaabbbc", "^(\\w+)\\s*=\\s*(.*?)$\n" "name = value\nx=y",
          "(?i)<result>(.*?)</result>\n" "<RESULT>text</RESULT>", "(a+)+$\n" "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaab",
          "[^\\x00-\\x7F]{2,}|\\d{3,5}(?=x)\n" "\xC3\xA4\xC3\xB6 12345x",
          "(?:(\\w)\\1)+\\b\n" "aabbcc dd", "a{2,3}?b??[[:alpha:]]\\B.\n" "aaab"};
}

void RunRegex(const std::string& input, const Sandbox&) {
  const std::wstring text = Decode(input);
  const size_t cut = text.find(L'\n');
  const std::wstring pattern = text.substr(0, cut);
  const std::wstring subject = cut == std::wstring::npos ? text : text.substr(cut + 1);
  const std::wstring replacement = L"[$1]\\2$&";
  static const uint32_t kFlags[] = {0,
                                    regex::ignore_case | regex::multi_line,
                                    regex::dot_all | regex::find_all | regex::keep_all_groups,
                                    regex::from_right | regex::text_escapes,
                                    regex::free_spacing | regex::find_all | regex::keep_whole_matches};
  // One mode and one set of flags per input, chosen by its size, so that an
  // input's time is that of one match and one substitution.
  const uint32_t mode = static_cast<uint32_t>(input.size() % 3);
  const uint32_t flags = kFlags[(input.size() / 3) % (sizeof(kFlags) / sizeof(kFlags[0]))];
  try {
    regex::compiled_pattern compiled(pattern, flags, mode);
    regex::match_results results;
    compiled.match(subject, results);
    regex::substitution substitution(pattern, replacement, flags, mode);
    substitution.match(pattern, results);
  } catch (const regex::bad_regexpr&) {
  }
}

// ---- engine replies: the engine's pattern cuts the translation, which the
// reply filter turns into text-only HTML.

std::vector<std::string> ReplySeeds() {
  return {"<result>(.*?)</result>\n<html><body><result>Guten <b>Tag</b> &amp; &#x263A;<script>alert(1)</script>"
          "<br/>zwei</result></body></html>",
          "\"translatedText\":\"(.*?)\"\n{\"data\":{\"translatedText\":\"Hallo &lt;Welt&gt;\"}}",
          "<div id=\"r\">(.*)</div>\n<div id=\"r\"><style>p{}</style><a href='app://x'>link</a>&nbsp;&#0;&#xFFFFFF;"
          "&unknown;<br><BR></div>"};
}

void RunReply(const std::string& input, const Sandbox&) {
  const std::wstring text = Decode(input);
  const size_t cut = text.find(L'\n');
  if (cut == std::wstring::npos) return;
  std::wstring out;
  if (CutTranslation(out, text.substr(0, cut), text.substr(cut + 1)) <= 0) return;
  // Nothing that makes markup survives the filter.
  for (size_t at = out.find(L'<'); at != std::wstring::npos; at = out.find(L'<', at + 1))
    Check(out.compare(at, 4, L"<br>") == 0, "a tag other than <br> survived the reply filter");
}

// ---- grab records: the popup's copy of the record and its word extraction.

std::vector<std::string> GrabSeeds() {
  std::vector<std::string> seeds;
  const wchar_t* lines[] = {L"The quick brown fox's tail-end", L"\x041F\x0440\x0438\x0432\x0435\x0442 world",
                            L"\x4E2D\x6587\x5B57\x5178 test", L"\x65E5\x672C\x8A9E\x3068\xD55C\xAD6D\xC5B4"};
  for (const wchar_t* line : lines) {
    GrabTextResult record = {};
    record.x = 100, record.y = 200;
    record.length = static_cast<int32_t>(wcslen(line));
    record.index = record.length / 2;
    wcscpy(record.text, line);
    seeds.emplace_back(reinterpret_cast<const char*>(&record), sizeof(record));
  }
  return seeds;
}

void RunGrab(const std::string& input, const Sandbox&) {
  // As the popup takes the record in: only a record of the full size, its
  // text closed, its length brought into the text's capacity.
  if (input.size() < sizeof(GrabTextResult)) return;
  GrabTextResult grab;
  memcpy(&grab, input.data(), sizeof(grab));
  grab.text[kGrabTextCapacity - 1] = 0;
  const int length = grab.length < 0 ? 0 : grab.length > kGrabTextCapacity ? kGrabTextCapacity : grab.length;
  const uint8_t choice = static_cast<uint8_t>(input.size() > sizeof(grab) ? input[sizeof(grab)] : 0);
  GrabIgnore ignore;
  ignore.latin = choice & 1, ignore.cyrillic = choice & 2, ignore.cjk = choice & 4;
  std::wstring word;
  if (length != 0 && grab.index != -1) {
    ExtractWord(word, grab.text, length, grab.index, ignore, [&](const wchar_t* w, uint32_t n) {
      // A lookup reads either the record's own text or a copy of a piece of it.
      const bool inRecord = w >= grab.text && w < grab.text + kGrabTextCapacity;
      Check(inRecord ? w + n <= grab.text + length : n <= static_cast<uint32_t>(length),
            "a lookup was asked beyond the record's text");
      return n % 3 == 0;
    });
    Check(word.size() <= static_cast<size_t>(length), "the extracted word is longer than the line");
  }
  RECT window, zone;
  const POINT point = {grab.x, grab.y}, current = {grab.y, grab.x};
  PlaceGrabWindow(window, zone, static_cast<int>(grab.hwnd & 0xFFFF), static_cast<int>(grab.hwnd >> 16), point,
                  choice & 8, current, choice & 16, SIZE{1024, 768});
}

}  // namespace

void AddTextTargets(std::vector<Target>& targets) {
  targets.push_back({"config", {"data/*.ini", "data/text/*.ini", "data/dict/*.cfg", "*.ini", "update/*.ini"},
                     ConfigSeeds, {"[", "]", "=", ";", "\\", "\"", "\r\n", "\\\r\n", "\\x3B", "'", "\t"}, RunConfig});
  targets.push_back({"xml", {"data/tt/*.xml", "data/dict/*.xml"}, XmlSeeds,
                     {"<?xml version=\"1.0\"?>", "<a>", "</a>", "<b x='&quot;'/>", "&amp;", "&#", "<![CDATA[", "]]>",
                      "<!--", "-->", "<!DOCTYPE", "<?", "?>", "\"", "'", "&#xD800;"},
                     RunXml});
  targets.push_back({"cipher", {}, CipherSeeds, {"?VKC", "?TDC", "\x10\0\0\0", "\xF8\xFF\xFF\x7F"}, RunCipher});
  targets.push_back({"regex", {}, RegexSeeds,
                     {"(", ")", "*", "+?", "{1,", "}", "[", "]", "\\", "|", "(?:", "(?=", "(?!", "(?<=", "\\1", "^", "$",
                      ".*", "(?i)", "[[:", ":]]", "\\b", "\\x{", "#", "\n"},
                     RunRegex});
  targets.push_back({"reply", {}, ReplySeeds,
                     {"<br>", "<script>", "</script>", "<style>", "&#", "&lt;", "&amp;", "<", ">", "(.*)", "(.*?)", "\n"},
                     RunReply});
  targets.push_back({"grab", {}, GrabSeeds, {"\xFF\xFF\xFF\xFF", "\0\x01\0\0", "\x4E\x2D", " \0-\0'\0"}, RunGrab});
}

}  // namespace fuzz
