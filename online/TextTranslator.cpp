#include "online/TextTranslator.h"

#include <cwchar>

#include "core/ConfigFile.h"
#include "core/KeyTree.h"
#include "core/StrUtil.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "core/TextCodec.h"
#include "dict/DictHost.h"
#include "dict/DictResources.h"
#include "http/HttpText.h"
#include "online/OnlineHost.h"
#include "online/OnlineText.h"
#include "regex/Regex.h"

namespace {

constexpr int32_t kElementKind = 5;

std::wstring Attr(CXmlNode* node, const wchar_t* name) {
  std::wstring v;
  if (node) node->GetAttribute(v, name);
  return v;
}

std::wstring TrimBlanks(std::wstring s) {
  TrimWString(s, L" \t", 0);
  return s;
}

// Items end at a comma followed by a blank or a tab, outside double quotes.
std::vector<std::wstring> SplitList(const std::wstring& text) {
  std::vector<std::wstring> items;
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c == L'"' && (i == 0 || text[i - 1] != L'\\')) quoted = !quoted;
    if (!quoted && (c == L' ' || c == L'\t') && i > 0 && text[i - 1] == L',') {
      items.push_back(TrimBlanks(text.substr(start, i - 1 - start)));
      start = i + 1;
    }
  }
  std::wstring last = text.substr(start);
  if (!last.empty() && last.back() == L',') last.pop_back();
  last = TrimBlanks(last);
  if (!last.empty() || !items.empty()) items.push_back(last);
  return items;
}

std::wstring EscapeLabel(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'&') out += L"&amp;";
    else if (c == L'<') out += L"&lt;";
    else if (c == L'>') out += L"&gt;";
    else out.push_back(c);
  }
  return out;
}

std::wstring Option(const std::wstring& value, const std::wstring& label, bool selected) {
  return L"<option value=\"" + value + L"\"" + (selected ? L" SELECTED>" : L">") + EscapeLabel(label) +
         L"</option>";
}

}  // namespace

CTextTranslator::CTextTranslator() : m_engines(new CXmlElement) { m_engines->SetName(L"engines"); }

CTextTranslator::~CTextTranslator() { Clear(); }

void CTextTranslator::Clear() {
  m_engines->DeleteChildren();
  m_http.StopThread();
  m_http.Reset();
  m_sourceText.clear();
  m_resultText.clear();
  m_langSrc.clear();
  m_langDest.clear();
  m_engineId = 0;
}

bool CTextTranslator::Load() {
  uint8_t key[16] = {};
  std::wstring hex = DictHost().GetUiText(L"", L"3");
  if (hex.size() % 2 == 0)
    for (size_t i = 0; i < 16 && 2 * i + 1 < hex.size(); ++i)
      if (!HexPairToByte(&key[i], hex[2 * i], hex[2 * i + 1])) break;
  CXmlDocument doc;
  std::wstring path = DictHost().GetDataFolder() + L"tt\\tt.xmc";
  CXmlNode* root = doc.LoadFile(path.c_str(), 31, key) ? doc.GetRoot() : nullptr;
  if (!root || !root->FindChildElement(L"engine", kElementKind, 0)) {
    Clear();
    return false;
  }
  m_engines->SwapChildren(root);
  std::vector<CXmlNode*> engines;
  GetEngines(engines);
  uint32_t first = 0;
  if (!engines.empty()) engines[0]->GetIntAttribute(&first, L"id", 0);
  SelectEngine(first);
  std::wstring chosen;
  SelectSourceLanguage(chosen, L"en");
  SelectTargetLanguage(chosen, DictHost().GetUiLanguageCode().c_str());
  return true;
}

CXmlNode* CTextTranslator::FindEngine(uint32_t id) const {
  for (int i = 0;; ++i) {
    CXmlNode* e = m_engines->FindChildElement(L"engine", kElementKind, i);
    if (!e) return nullptr;
    uint32_t v = 0;
    e->GetIntAttribute(&v, L"id", 0);
    if (v == id) return e;
  }
}

uint32_t CTextTranslator::GetEngines(std::vector<CXmlNode*>& engines) const {
  engines.clear();
  for (int i = 0;; ++i) {
    CXmlNode* e = m_engines->FindChildElement(L"engine", kElementKind, i);
    if (!e) break;
    engines.push_back(e);
  }
  return static_cast<uint32_t>(engines.size());
}

void CTextTranslator::GetEngineName(std::wstring& out, CXmlNode* engine, const wchar_t* languageCode) const {
  out.clear();
  CXmlNode* name = engine ? engine->FindChildElement(L"name", kElementKind, 0) : nullptr;
  if (!name) return;
  CXmlNode* prefix = nullptr;
  for (CXmlNode* a = name->Attributes() ? name->Attributes()->First() : nullptr; a; a = a->NextSibling()) {
    int m = DictHost().MatchLanguageCode(a->NamePtr(), languageCode);
    if (m == 1) {
      out = a->ValuePtr();
      return;
    }
    if (m == 2 && !prefix) prefix = a;
  }
  if (prefix) out = prefix->ValuePtr();
  else name->GetText(out);
}

bool CTextTranslator::GetSourceLanguages(std::vector<std::wstring>& out, CXmlNode* engine) const {
  out.clear();
  CXmlNode* translate = engine ? engine->FindChildElement(L"translate", kElementKind, 0) : nullptr;
  if (!translate) return false;
  for (int i = 0;; ++i) {
    CXmlNode* lang = translate->FindChildElement(L"lang", kElementKind, i);
    if (!lang) break;
    out.push_back(Attr(lang, L"from"));
  }
  return true;
}

bool CTextTranslator::GetTargetLanguages(std::vector<std::wstring>& out, CXmlNode* engine,
                                         const wchar_t* source) const {
  out.clear();
  CXmlNode* translate = engine ? engine->FindChildElement(L"translate", kElementKind, 0) : nullptr;
  if (!translate || !source) return false;
  for (int i = 0;; ++i) {
    CXmlNode* lang = translate->FindChildElement(L"lang", kElementKind, i);
    if (!lang) return false;
    if (Attr(lang, L"from") == source) {
      out = SplitList(Attr(lang, L"to"));
      return true;
    }
  }
}

void CTextTranslator::GetCopyright(std::wstring& out, CXmlNode* engine) const {
  out.clear();
  CXmlNode* c = engine ? engine->FindChildElement(L"copyright", kElementKind, 0) : nullptr;
  if (c) c->GetText(out);
}

bool CTextTranslator::SelectEngine(uint32_t id) {
  if (!FindEngine(id)) return false;
  m_engineId = id;
  std::wstring chosen, source = m_langSrc;
  SelectSourceLanguage(chosen, source.c_str());
  return true;
}

void CTextTranslator::SelectSourceLanguage(std::wstring& chosen, const wchar_t* code) {
  CXmlNode* engine = GetCurrentEngine();
  if (engine && code) {
    std::vector<std::wstring> sources;
    GetSourceLanguages(sources, engine);
    bool offered = false;
    for (const std::wstring& s : sources) offered = offered || s == code;
    m_langSrc = offered ? std::wstring(code) : sources.empty() ? std::wstring() : sources[0];
    std::wstring target = m_langDest, ignored;
    SelectTargetLanguage(ignored, target.c_str());
  }
  chosen = m_langSrc;
}

void CTextTranslator::SelectTargetLanguage(std::wstring& chosen, const wchar_t* code) {
  CXmlNode* engine = GetCurrentEngine();
  if (engine && code) {
    std::vector<std::wstring> targets;
    GetTargetLanguages(targets, engine, m_langSrc.c_str());
    bool offered = false;
    for (const std::wstring& t : targets) offered = offered || t == code;
    m_langDest = offered ? std::wstring(code) : targets.empty() ? std::wstring() : targets[0];
  }
  chosen = m_langDest;
}

void CTextTranslator::BuildFormPage(std::wstring& html, bool showSource, bool showResult) {
  html.clear();
  CXmlNode* form = m_engines->FindPath(L"/ui/form");
  if (!form || !form->ToElement()) return;
  CXmlNode* engine = GetCurrentEngine();
  if (!engine) engine = m_engines->FindChildElement(L"engine", kElementKind, 0);
  if (!engine) return;
  std::wstring formTemplate;
  form->GetText(formTemplate);

  IDictHost& host = DictHost();
  CStringMap vars;
  FillPageVars(vars);
  auto set = [&vars](const wchar_t* name, const std::wstring& value) { SetTemplateVar(vars, name, value); };

  std::vector<CXmlNode*> engines;
  GetEngines(engines);
  std::wstring engineList;
  for (CXmlNode* e : engines) {
    std::wstring idText = Attr(e, L"id"), name;
    GetEngineName(name, e, host.GetUiLanguageCode().c_str());
    engineList += Option(idText, name, wcstoul(idText.c_str(), nullptr, 0) == m_engineId);
  }
  set(L"EngineList", engineList);
  set(L"ShowTextSrc", showSource ? L"" : L"none");
  set(L"ShowTextDest", showResult ? L"" : L"none");
  set(L"To", host.GetUiText(L"TextTranslation", L"To"));
  set(L"Translate", host.GetUiText(L"TextTranslation", L"Translate"));
  set(L"TextSrc", EscapeLabel(m_sourceText));
  set(L"TextDest", EscapeLabel(m_resultText));

  std::vector<std::wstring> sources, targets;
  if (GetSourceLanguages(sources, engine)) GetTargetLanguages(targets, engine, m_langSrc.c_str());
  if (sources.empty()) {
    sources.assign(1, std::wstring());
    targets.assign(1, std::wstring());
  } else if (targets.empty()) {
    targets.assign(1, std::wstring());
  }
  std::wstring sourceList, targetList;
  for (const std::wstring& s : sources) sourceList += Option(s, LanguageLabel(s), s == m_langSrc);
  for (const std::wstring& t : targets) targetList += Option(t, LanguageLabel(t), t == m_langDest);
  set(L"LangSrcList", sourceList);
  set(L"LangDestList", targetList);
  std::wstring copyright;
  GetCopyright(copyright, engine);
  set(L"Copyright", copyright);
  ExpandTemplateVars(html, formTemplate.c_str(), vars);
}

void CTextTranslator::FillPageVars(CStringMap& vars) const {
  IDictHost& host = DictHost();
  SetTemplateVar(vars, L"ImgPath", host.GetImageFolder());
  SetTemplateVar(vars, L"IconPath", host.GetIconFolder());
  SetTemplateVar(vars, L"TextFont", host.GetSetting(L"Appearance", L"TextFont"));
  std::wstring sizeName = host.GetSetting(L"Appearance", L"FontSize");
  std::wstring size = host.GetUiText(L"FontSize", sizeName.c_str(), 0);
  SetTemplateVar(vars, L"FontSize", IntToWString(wcstoul(size.c_str(), nullptr, 0), 10));
}

bool CTextTranslator::BuildUiPage(std::wstring& out, const wchar_t* name, const std::wstring& content) {
  out.clear();
  if (!name || !*name) return false;
  CXmlNode* page = m_engines->FindPath((std::wstring(L"/ui/") + name).c_str());
  if (!page || !page->ToElement()) return false;
  std::wstring pageTemplate;
  page->GetText(pageTemplate);
  CStringMap vars;
  FillPageVars(vars);
  SetTemplateVar(vars, L"Content", content);
  ExpandTemplateVars(out, pageTemplate.c_str(), vars);
  return true;
}

std::wstring CTextTranslator::LanguageLabel(const std::wstring& code) const {
  std::wstring name = DictHost().GetLanguageName(code.c_str());
  return name.empty() ? code : name;
}

void CTextTranslator::MapLanguageCode(std::wstring& out, const wchar_t* code, CXmlNode* transform) const {
  out = code ? code : L"";
  CXmlNode* attribute = transform && transform->Attributes() ? transform->Attributes()->First() : nullptr;
  for (; attribute; attribute = attribute->NextSibling())
    if (out == attribute->NamePtr()) {
      out = attribute->ValuePtr();
      return;
    }
}

void CTextTranslator::SetConnection(IOnlineHost* host, HttpCredentialCallback credentials) {
  m_host = host;
  m_credentials = credentials;
}

namespace {

// The engine's child for the language pair ("request_en2fr"), else the general one.
CXmlNode* PairChild(CXmlNode* engine, const wchar_t* kind, const std::wstring& pair) {
  CXmlNode* child = engine->FindChildElement((std::wstring(kind) + L"_" + pair).c_str(), kElementKind, 0);
  return child ? child : engine->FindChildElement(kind, kElementKind, 0);
}

std::string ToCodePage(const std::wstring& text, uint32_t codePage) {
  std::string out;
  WStringToMultiByte(out, text.c_str(), static_cast<int>(text.size()), codePage, 0);
  return out;
}

uint32_t CodePageOf(CXmlNode* charset) {
  uint32_t codePage = 0;
  charset->GetIntAttribute(&codePage, L"codepage", 0);
  return codePage ? codePage : 65001;
}

}  // namespace

uint32_t CTextTranslator::Translate(const std::wstring& text, HWND window, UINT message) {
  m_http.Cancel();
  m_sourceText = text;
  CXmlNode* engine = GetCurrentEngine();
  if (!engine) return 0;
  const std::wstring pair = m_langSrc + L"2" + m_langDest;
  CXmlNode* request = PairChild(engine, L"request", pair);
  CXmlNode* transform = engine->FindPath(L"/translate/transform");
  if (!request || !transform) return 0;
  CXmlNode* parts[7];
  const wchar_t* names[7] = {L"url", L"method", L"param", L"cookie", L"referer", L"charset", L"maxlength"};
  for (int i = 0; i < 7; ++i)
    if (!(parts[i] = request->FindChildElement(names[i], kElementKind, 0))) return 0;
  CXmlNode *url = parts[0], *method = parts[1], *param = parts[2], *cookie = parts[3], *referer = parts[4];

  std::wstring value;
  parts[6]->GetText(value);
  const uint32_t maxLength = static_cast<uint32_t>(wcstoul(value.c_str(), nullptr, 0));
  const uint32_t codePage = CodePageOf(parts[5]);

  CHttpRequest& http = m_http.GetRequest();
  std::string narrow;
  if (!url->GetAttribute(value, pair.c_str())) url->GetText(value);
  WStringToUtf8(narrow, value.c_str(), static_cast<int>(value.size()));
  if (!http.SetUrl(narrow.c_str())) return 0;
  method->GetText(value);
  WStringToUtf8(narrow, value.c_str(), static_cast<int>(value.size()));
  int32_t methodCode = ParseHttpMethod(narrow.c_str());
  if (methodCode != kHttpGet && methodCode != kHttpPost) return 0;
  http.SetMethod(methodCode);

  CStringMap vars;
  MapLanguageCode(value, m_langSrc.c_str(), transform);
  SetTemplateVar(vars, L"LangSrc", value);
  MapLanguageCode(value, m_langDest.c_str(), transform);
  SetTemplateVar(vars, L"LangDest", value);
  SetTemplateVar(vars, L"TextSrc", m_sourceText.substr(0, maxLength));

  http.ClearFormFields();
  for (CXmlNode* a = param->Attributes() ? param->Attributes()->First() : nullptr; a; a = a->NextSibling()) {
    ExpandTemplateVars(value, a->ValuePtr(), vars);
    http.AddFormField(ToCodePage(a->NamePtr(), codePage).c_str(), ToCodePage(value, codePage).c_str());
  }
  http.ClearCookies();
  for (CXmlNode* a = cookie->Attributes() ? cookie->Attributes()->First() : nullptr; a; a = a->NextSibling())
    http.AddCookie(ToCodePage(a->NamePtr(), codePage).c_str(), ToCodePage(a->ValuePtr(), codePage).c_str(), nullptr,
                   nullptr, nullptr, false);
  referer->GetText(value);
  std::string refererText;
  WStringToUtf8(refererText, value.c_str(), static_cast<int>(value.size()));

  std::wstring host, user, password;
  uint16_t port = 0;
  const bool once = m_hasOnceCredentials;
  m_hasOnceCredentials = false;
  m_sentProxyCredentials = false;
  if (m_host && m_host->GetConnectionSetting(host, port, user, password)) {
    std::string h, u, p;
    WStringToUtf8(h, host.c_str(), -1);
    WStringToUtf8(u, user.c_str(), -1);
    WStringToUtf8(p, password.c_str(), -1);
    if (once) u = m_onceUser, p = m_oncePassword;
    m_sentProxyCredentials = !u.empty();
    m_http.SetProxy(h.c_str(), port, u.c_str(), p.c_str());
    m_http.EnableProxy(true);
    m_http.SetCredentialCallback(m_credentials);
  } else {
    m_http.SetProxy("", 0, "", "");
    m_http.EnableProxy(false);
    m_http.SetCredentialCallback(nullptr);
  }
  if (!m_http.IsThreadStarted() && !m_http.StartThread()) return 0;
  m_http.GetResponse().SetMaxBodyLength(kMaxReply);
  m_http.SetNotify(window, message);
  if (!m_http.PostRequest(true, refererText.c_str(), nullptr)) return 0;
  return m_http.GetRequestNumber();
}

int CutTranslation(std::wstring& out, const std::wstring& patternText, const std::wstring& reply) {
  out.clear();
  try {
    regex::compiled_pattern compiled(patternText, regex::ignore_case | regex::dot_all, regex::recursive);
    if (compiled.capturing_count() < 2) return -1;
    regex::match_results groups;
    if (!compiled.match(reply, groups).matched) return 0;
    // The reply is the engine's, not ours: it is shown as text, so that no
    // link or script in it can reach the program's own commands.
    ReplyToSafeHtml(out, groups.str(1));
    return 1;
  } catch (...) {
    out.clear();
    return -1;
  }
}

void CTextTranslator::SetProxyCredentialsOnce(const std::string& user, const std::string& password) {
  m_hasOnceCredentials = true;
  m_onceUser = user;
  m_oncePassword = password;
}

bool CTextTranslator::IsProxyAuthRequest(uint32_t requestNumber, std::string& realm) {
  realm.clear();
  m_http.StopThread();
  if (requestNumber != m_http.GetRequestNumber() || !m_http.IsResponseComplete()) return false;
  const CHttpResponse& response = m_http.GetResponse();
  if (response.GetStatusCode() != 407) return false;
  // Proxy-Authenticate: Basic realm="name"
  if (const CHttpHeaderList::Entry* challenge = response.GetHeaders().Find("Proxy-Authenticate")) {
    const std::string& value = challenge->second;
    const size_t at = value.find("realm=\"");
    const size_t end = at == std::string::npos ? at : value.find('"', at + 7);
    if (end != std::string::npos) realm = value.substr(at + 7, end - at - 7);
  }
  return true;
}

bool CTextTranslator::ParseResult(int httpResult, uint32_t requestNumber) {
  // The worker goes first: the response is never read while it can still write.
  m_http.StopThread();
  if (requestNumber != m_http.GetRequestNumber() || httpResult != kHttpResultOk) return false;
  // An answer that came (a broken one too) leaves no earlier translation behind.
  m_resultText.clear();
  if (!m_http.IsResponseComplete()) return false;
  CXmlNode* engine = GetCurrentEngine();
  CXmlNode* reply = engine ? PairChild(engine, L"response", m_langSrc + L"2" + m_langDest) : nullptr;
  CXmlNode* pattern = reply ? reply->FindPath(L"/parse_result/regex") : nullptr;
  CXmlNode* charset = reply ? reply->FindChildElement(L"charset", kElementKind, 0) : nullptr;
  if (!pattern || !charset) return false;
  const CHttpResponse& response = m_http.GetResponse();
  std::string body;
  const uint32_t length = response.GetBodyLength();
  if (response.GetBody(body, 0, length) < length) return false;
  std::wstring text;
  MultiByteToWString(text, body.data(), static_cast<int>(body.size()), CodePageOf(charset), 0);

  std::wstring patternText;
  pattern->GetText(patternText);
  const int cut = CutTranslation(m_resultText, patternText, text);
  if (cut > 0) return true;
  if (cut < 0) return false;

  std::wstring message = DictHost().GetUiText(L"TextTranslation", L"ParseResultFailed");
  std::wstring filtered;
  FilterNameChars(filtered, m_sourceText.c_str());
  ReplaceAll(message, L"[$Engine]", IntToWString(m_engineId, 10).c_str());
  ReplaceAll(message, L"[$LangSrc]", m_langSrc.c_str());
  ReplaceAll(message, L"[$LangDest]", m_langDest.c_str());
  ReplaceAll(message, L"[$TextSrc]", filtered.c_str());
  BuildUiPage(m_resultText, L"parse_failed", message);
  return false;
}
