// Targets of what arrives from the web and is shown in the HTML view: HTTP
// responses, pages through parse, layout and paint, and update scripts.
#include <windows.h>

#include <string>
#include <vector>

#include "core/TextCodec.h"
#include "core/FileUtil.h"
#include "core/XmlDocument.h"
#include "http/HttpResponse.h"
#include "online/OnlineHost.h"
#include "online/OnlineUpdate.h"
#include "platform/htmlview/HtmlDom.h"
#include "tools/fuzz/Fuzz.h"
#include "tools/fuzz/FuzzTargets.h"

namespace fuzz {
namespace {

// ---- HTTP responses: the session's loop over received pieces, interim
// answers dropped, then the transfer and content codings taken off.

std::string GzipOf(const std::string& text) {
  // A stored (uncompressed) deflate block inside a gzip member.
  std::string out("\x1F\x8B\x08\x00\x00\x00\x00\x00\x00\x03", 10);
  out += '\x01';
  const uint16_t n = static_cast<uint16_t>(text.size());
  out += static_cast<char>(n & 0xFF);
  out += static_cast<char>(n >> 8);
  out += static_cast<char>(~n & 0xFF);
  out += static_cast<char>((~n >> 8) & 0xFF);
  out += text;
  uint32_t crc = 0xFFFFFFFF;
  for (unsigned char c : text) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  crc ^= 0xFFFFFFFF;
  std::string trailer(8, '\0');
  PutU32(trailer, 0, crc);
  PutU32(trailer, 4, static_cast<uint32_t>(text.size()));
  return out + trailer;
}

std::vector<std::string> HttpSeeds() {
  const std::string gz = GzipOf("<t>Hallo Welt</t>");
  return {"HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: 5\r\n\r\nhello",
          "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
          "5\r\nhello\r\n6;ext=1\r\n world\r\n0\r\nTrailer: x\r\n\r\n",
          "HTTP/1.0 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: " + std::to_string(gz.size()) + "\r\n\r\n" + gz,
          "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Encoding: gzip\r\n\r\n" +
              [&] { char size[16]; snprintf(size, sizeof(size), "%x", static_cast<unsigned>(gz.size())); return std::string(size); }() +
              "\r\n" + gz + "\r\n0\r\n\r\n",
          "HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1/x\r\nSet-Cookie: a=b; Path=/\r\n"
          "Date: Sun, 06 Nov 1994 08:49:37 GMT\r\nFolded: one\r\n two\r\n\r\n"};
}

void RunHttp(const std::string& input, const Sandbox&) {
  CHttpResponse response;
  if (!response.Begin()) return;
  // The pieces' sizes come from the input's own bytes, as a network would cut it.
  size_t at = 0;
  int r = 0;
  uint32_t step = input.empty() ? 1 : 1 + static_cast<uint8_t>(input[0]) % 97;
  while (at < input.size() && r >= 0) {
    const uint32_t count = static_cast<uint32_t>(std::min<size_t>(step, input.size() - at));
    r = response.AppendData(input.data() + at, count);
    at += count;
    step = step * 7 % 1013 + 1;
    if (r == 1) {
      // An answer without a body ends with its header, as the session ends it.
      const uint32_t status = response.GetStatusCode();
      if ((status >= 100 && status <= 199) || status == 204 || status == 304) {
        response.EndAtHeader();
        break;
      }
      r = 0;
    }
  }
  response.Finish(r >= 0);
  std::string body;
  const uint32_t length = response.GetBodyLength();
  response.GetBody(body, 0, length);
  Check(body.size() <= length, "the body read is longer than the body");
  response.GetStatusLine();
  response.GetVersionString();
}

// ---- HTML: a page parsed, laid out at two widths, painted into a memory
// canvas, searched, selected and hit-tested; a fragment set as a result page.

std::vector<std::string> HtmlSeeds() {
  return {"<html><head><style>.k{color:#008000} td{padding:2px} pre{white-space:pre}</style></head>"
          "<body style='margin:0; font-family:Tahoma; font-size:9pt'><div id='main_wnd'>"
          "<div style='padding:4 6 4 6; border-bottom:1px solid #CCCCCC'><b>1.</b> <font color='#366AB3'>noun</font> "
          "a word &amp; more <i>example</i> <a href='dict://headword/x'>x</a> <span class='k'>\xE4\xB8\xAD</span>"
          "<sup>2</sup></div><table cellpadding='2' cellspacing='0' width='100%'><tr><td nowrap>see</td>"
          "<td width='100%'>related<pre>a  b\n c</pre></td></tr></table><ul><li>one<li>two</ul>"
          "<img src='x.png' width=10 height=10><br><input type=text value='v'><select><option>o</select>"
          "</div></body></html>",
          "<table><tr><td><table><tr><td><div style='display:inline-block'><table><tr><td>deep</td></tr></table>"
          "</div></td></tr></table></td></tr></table>",
          "<style>p{margin:1px}</style><style>b{color:red}</style><p>text<b>bold</b></p>"};
}

// The view's measuring DC for layout, like the window's.
class CanvasSite : public htmlview::DocumentSite {
 public:
  explicit CanvasSite(HDC dc) : dc_(dc) {}
  void OnDocumentChanged() override {}
  void OnScrollRequest(int, int) override {}
  void OnControlDestroyed(htmlview::Element*) override {}
  void OnFocusRequest(htmlview::Element*) override {}
  HDC MeasureDC() override { return dc_; }

 private:
  HDC dc_;
};

void RunHtml(const std::string& input, const Sandbox&) {
  std::wstring html;
  DecodeTextBuffer(html, input.data(), static_cast<uint32_t>(input.size()), CP_UTF8);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 320, 240);
  HGDIOBJ old = SelectObject(dc, bitmap);
  {
    CanvasSite site(dc);
    auto doc = htmlview::Document::Parse(html);
    doc->SetSite(&site);
    const RECT clip = {0, 0, 320, 240};
    doc->SetViewport(320, 240);
    doc->Paint(dc, clip);
    doc->ScrollTo(0, doc->ContentHeight() / 2);
    doc->Paint(dc, clip);
    doc->HitTest(40, 30);
    doc->WordAtPoint(20, 10);
    doc->SetViewport(37, 500);
    doc->EnsureLayout();
    doc->Paint(dc, clip);
    doc->SelectAll();
    doc->SelectionText();
    doc->FindText(L"a", false);
    // The same markup as a result fragment in the program's page shell.
    auto shell = htmlview::Document::Parse(L"<html><body><div id='main_wnd'></div></body></html>");
    shell->SetSite(&site);
    if (htmlview::Element* main = shell->GetItem(L"main_wnd")) main->SetInnerHtml(html);
    shell->Paint(dc, clip);
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

// ---- update scripts: run against a program folder inside the sandbox;
// nothing may appear anywhere else in the sandbox.

class NoDicts : public IUpdateDictManager {
 public:
  bool InstallDict(uint32_t& id, const wchar_t*, uint32_t) override { return id = 5, true; }
  bool AddToGroup(int, uint32_t) override { return true; }
  bool SaveConfig() override { return true; }
};

class SandboxHost : public IOnlineHost {
 public:
  explicit SandboxHost(const std::wstring& root) : program(root + L"app\\"), windows(root + L"windows\\") {}
  std::wstring GetProgramFolder() const override { return program; }
  std::wstring GetDataFolder() const override { return program + L"data\\"; }
  std::wstring GetImageFolder() const override { return program + L"image\\"; }
  std::wstring GetIconFolder() const override { return program + L"icon\\"; }
  std::wstring GetUpdateFolder() const override { return program + L"update\\"; }
  std::wstring GetTempFolder() const override { return program + L"temp\\"; }
  std::wstring GetWindowsFolder() const override { return windows; }
  std::wstring GetSystemFolder() const override { return windows + L"system32\\"; }
  const CConfigFile& GetUiTexts() const override { return texts; }
  const CConfigFile& GetSettings() const override { return texts; }
  std::wstring GetUiLanguage() const override { return L"en-US"; }
  uint32_t GetBuildNumber() const override { return 0x10012; }
  std::wstring GetVersionText() const override { return L"3.0"; }
  bool GetConnectionSetting(std::wstring&, uint16_t&, std::wstring&, std::wstring&) const override { return false; }
  IUpdateDictManager* GetDictManager() override { return &dicts; }
  HWND GetMainWindow() const override { return nullptr; }
  bool ConfirmRun(const std::wstring&) override { return false; }

  std::wstring program, windows;
  CConfigFile texts;
  NoDicts dicts;
};

std::vector<std::string> UpdateSeeds() {
  return {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?><upgrade id=\"42\"><action>"
          "<cmd act=\"create_dir\" name=\"[$AppPath]a\\b\"/>"
          "<cmd act=\"create_file\" name=\"[$AppPath]a\\b\\two.bin\" data=\"4a4B\"/>"
          "<cmd act=\"copy_file\" name=\"[$AppPath]a\\b\\two.bin\" destname=\"[$DataPath]copy.bin\" overwrite=\"1\"/>"
          "<cmd act=\"move_file\" name=\"[$DataPath]copy.bin\" destname=\"[$AppPath]moved.bin\" replace=\"y\"/>"
          "<cmd act=\"move_dir\" name=\"[$AppPath]a\" destname=\"[$ImgPath]c\"/>"
          "<cmd act=\"delete_file\" name=\"[$AppPath]moved.bin\"/>"
          "<cmd act=\"delete_dir\" name=\"[$ImgPath]c\" includechild=\"1\"/>"
          "<cmd act=\"install_dict\" name=\"[$DownPath]d.tdc\" index=\"1\" grab=\"0\"/>"
          "<cmd act=\"uninstall_dict\" dictid=\"0x5\"/>"
          "<cmd act=\"create_file\" name=\"[$TempPath]..\\x\" data=\"00\"/>"
          "<cmd act=\"exit\"/></action></upgrade>"};
}

// Every path below folder, relative to root.
void ListTree(std::vector<std::wstring>& out, const std::wstring& root, const std::wstring& relative) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((root + relative + L"*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    out.push_back(relative + name);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListTree(out, root, relative + name + L"\\");
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

void RunUpdate(const std::string& input, const Sandbox& box) {
  std::string buffer = input;
  buffer.append(4, '\0');
  CXmlDocument document;
  if (!document.Parse(buffer.data(), kXmlAllFlags) || !document.GetRoot()) return;
  SandboxHost host(box.folder);
  for (const wchar_t* folder : {L"app\\data\\", L"app\\image\\", L"app\\icon\\", L"app\\temp\\",
                                L"app\\update\\42\\", L"windows\\system32\\"})
    CreateDirectoryPath((box.folder + folder).c_str());
  std::vector<std::wstring> before;
  ListTree(before, box.folder, L"");
  {
    COnlineUpdate update(&host);
    CXmlNode* action = document.GetRoot()->FindChildElement(L"action", kXmlElement, 0);
    update.RunScript(action ? action : document.GetRoot(), host.GetUpdateFolder() + L"42\\");
  }
  std::vector<std::wstring> after;
  ListTree(after, box.folder, L"");
  for (const std::wstring& path : after) {
    const bool inside = path.compare(0, 4, L"app\\") == 0;
    bool existed = false;
    for (const std::wstring& old : before) existed = existed || old == path;
    if (!inside && !existed) {
      std::string narrow;
      WStringToMultiByte(narrow, path.c_str(), static_cast<int>(path.size()), CP_UTF8, 0);
      Fail("an update script wrote outside the program folder: " + narrow);
    }
  }
}

}  // namespace

void AddWebTargets(std::vector<Target>& targets) {
  targets.push_back({"http", {}, HttpSeeds,
                     {"\r\n", "HTTP/1.1 ", "100 Continue\r\n\r\n", "Transfer-Encoding: chunked\r\n",
                      "Content-Encoding: gzip\r\n", "Content-Length: ", "ffffffff\r\n", "0\r\n\r\n", ": ", "\r\n "},
                     RunHttp});
  targets.push_back({"html", {"data/*.htm"}, HtmlSeeds,
                     {"<table>", "<tr>", "<td>", "</td>", "</table>", "<pre>", "</pre>", "<div style='display:inline-block'>",
                      "</div>", "<style>p{color:red}</style>", "<b>", "<i>", "<br>", "<li>", "<ul>", "&nbsp;", "&#",
                      " style='width:100%; padding:3px'", " colspan=3", " width=", "<img src=a.png>", "<select>",
                      "<option>", "<input>", "<span>", "<p>", "<a href='x'>", "\n", "<!--", "-->", "<script>"},
                     RunHtml});
  targets.push_back({"update", {}, UpdateSeeds,
                     {"<cmd act=\"", "create_file", "copy_file", "move_dir", "delete_dir", "run", "install_dict",
                      "\" name=\"", "[$AppPath]", "[$WinPath]", "[$SysPath]", "[$DownPath]", "[$TempPath]", "..\\", "\\\\",
                      ". \\", "http://", "\" destname=\"", "\"/>", "includechild=\"1\" ", "data=\"00\" "},
                     RunUpdate});
}

}  // namespace fuzz
