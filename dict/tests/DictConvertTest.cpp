#include <gtest/gtest.h>

#include <windows.h>
#include <zlib.h>

#include <string>

#include "core/TextCodec.h"
#include "dict/DictFile.h"
#include "dict/tests/DictTestKit.h"

namespace {

std::string Gzip(const std::string& data) {
  z_stream z{};
  deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, data.size()) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// dictd's numbers: base 64 digits (A-Z a-z 0-9 + /), most significant first.
std::string DictdNumber(uint32_t v) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string s;
  do {
    s.insert(s.begin(), kDigits[v % 64]);
    v /= 64;
  } while (v);
  return s;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  fwrite(bytes.data(), 1, bytes.size(), f);
  return fclose(f) == 0;
}

TEST(DictdConversionTest, IndexAndDataBecomeEntriesWithLevels) {
  CTestHost host;
  const std::string records[] = {
      "00-database-info\nabout this database\n",
      "eel /i:l/\nAal <masc>\n see: {eel spear}\n",
      "eel /i:l/\nAale <pl>\n",
      "\xc3\xa9t\xc3\xa9 /ete/\nSommer <masc> & <b>\n",
  };
  const char* heads[] = {"00-database-info", "eel", "eel", "\xc3\xa9t\xc3\xa9"};
  std::string data, index;
  for (int i = 0; i < 4; ++i) {
    index += std::string(heads[i]) + "\t" + DictdNumber(static_cast<uint32_t>(data.size())) + "\t" +
             DictdNumber(static_cast<uint32_t>(records[i].size())) + "\n";
    data += records[i];
  }
  index += "broken\t!!\tB\n";  // a line whose numbers are not dictd's is skipped
  std::wstring folder = host.root + L"src\\";
  ASSERT_TRUE(WriteBytes(folder + L"t.index", index));
  ASSERT_TRUE(WriteBytes(folder + L"t.dict.dz", Gzip(data)));

  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring writer(exe);
  writer = writer.substr(0, writer.find_last_of(L'\\') + 1) + L"quorindo_dictwriter.exe";
  std::wstring out = folder + L"t.tdc";
  std::wstring command = L"\"" + writer + L"\" --dictd \"" + folder + L"t.index\" \"" + folder + L"t.dict.dz\" \"" +
                         out + L"\" --id=0x300 --key-block=64";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_EQ(code, 0u);

  CDictFile dict;
  ASSERT_TRUE(dict.Open(out.c_str()));
  EXPECT_EQ(dict.GetId(), 0x300u);
  std::string why;
  EXPECT_TRUE(IsListIcon(dict.GetIcon(), why)) << "a converted dictionary's icon: " << why;
  ASSERT_EQ(dict.GetKeyCount(), 3u);
  std::vector<uint32_t> entries;
  ASSERT_EQ(dict.FindMatches(entries, L"EEL", 3), 2u);
  std::wstring first = dict.GetData(entries[0]) + dict.GetData(entries[1]);
  EXPECT_NE(first.find(L"<c>i:l</c>"), std::wstring::npos) << first;
  EXPECT_NE(first.find(L"<e>eel spear</e>"), std::wstring::npos) << first;
  int summer = dict.FindExact(L"\u00e9t\u00e9", 3);
  ASSERT_GE(summer, 0);
  EXPECT_NE(dict.GetData(static_cast<uint32_t>(summer)).find(L"Sommer &lt;masc&gt; &amp; &lt;b&gt;"), std::wstring::npos);
}

}  // namespace
