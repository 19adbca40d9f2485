// The web text translator: engine definitions, the chosen engine and
// languages, the source text, the text-translation form and status pages, and
// one request at a time to the chosen engine on the HTTP client's worker,
// whose reply a regular expression of the engine cuts the translation from.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "http/HttpClient.h"

class CXmlElement;
class CXmlNode;
class CStringMap;
class IOnlineHost;

constexpr UINT WM_TRANSLATE_DONE = 2034;

class CTextTranslator {
 public:
  // The largest reply an engine may send: a page many times a translation's size.
  static constexpr uint32_t kMaxReply = 4u << 20;

  CTextTranslator();
  virtual ~CTextTranslator();
  CTextTranslator(const CTextTranslator&) = delete;
  CTextTranslator& operator=(const CTextTranslator&) = delete;

  // Loads "tt\tt.xmc" of the data folder and selects the first engine.
  bool Load();
  void Clear();

  CXmlNode* FindEngine(uint32_t id) const;
  CXmlNode* GetCurrentEngine() const { return FindEngine(m_engineId); }
  uint32_t GetEngines(std::vector<CXmlNode*>& engines) const;
  void GetEngineName(std::wstring& out, CXmlNode* engine, const wchar_t* languageCode) const;
  bool GetSourceLanguages(std::vector<std::wstring>& out, CXmlNode* engine) const;
  bool GetTargetLanguages(std::vector<std::wstring>& out, CXmlNode* engine, const wchar_t* source) const;
  void GetCopyright(std::wstring& out, CXmlNode* engine) const;

  bool SelectEngine(uint32_t id);
  void SelectSourceLanguage(std::wstring& chosen, const wchar_t* code);
  void SelectTargetLanguage(std::wstring& chosen, const wchar_t* code);
  uint32_t GetEngineNumber() const { return m_engineId; }
  std::wstring GetSourceLanguage() const { return m_langSrc; }
  std::wstring GetTargetLanguage() const { return m_langDest; }

  void SetSourceText(const std::wstring& text) { m_sourceText = text; }
  const std::wstring& GetSourceText() const { return m_sourceText; }
  void GetResultText(std::wstring& out) const { out = m_resultText; }

  // The form page for the current source text; empty when there is no form template.
  void BuildFormPage(std::wstring& html, bool showSource, bool showResult);
  // A status page from the "ui" template of that name with the content text.
  bool BuildUiPage(std::wstring& out, const wchar_t* name, const std::wstring& content);
  void MapLanguageCode(std::wstring& out, const wchar_t* code, CXmlNode* transform) const;
  // A language's name for the form's lists: the code itself where the
  // language list has no name for it, never a blank entry.
  std::wstring LanguageLabel(const std::wstring& code) const;

  // The application's connection setting (proxy) and the proxy-credential
  // callback handed to the HTTP session when a proxy is on.
  void SetConnection(IOnlineHost* host, HttpCredentialCallback credentials);
  // What the HTTP session holds now: the callback while a proxy is on, else null.
  HttpCredentialCallback GetSessionCredentialCallback() const { return m_http.GetCredentialCallback(); }
  // Posts the request for the text; its end comes as message (HttpResult,
  // request number) to the window. The request number, or 0 when nothing was sent.
  uint32_t Translate(const std::wstring& text, HWND window, UINT message);
  // The user's answer to a proxy that asked for credentials: used by the next
  // request in place of the stored ones, then forgotten.
  void SetProxyCredentialsOnce(const std::string& user, const std::string& password);
  // True when that request's reply was a proxy asking for credentials (407);
  // then the realm it named. The worker is stopped first, as for ParseResult.
  bool IsProxyAuthRequest(uint32_t requestNumber, std::string& realm);
  // The last request went through a proxy with a user name.
  bool SentProxyCredentials() const { return m_sentProxyCredentials; }
  void Cancel() { m_http.Cancel(); }
  uint32_t GetRequestNumber() const { return m_http.GetRequestNumber(); }
  // True when the result text holds the translation of that request (as
  // HTML that only shows text); else the result is a status page or unchanged.
  bool ParseResult(int httpResult, uint32_t requestNumber);

 private:
  void FillPageVars(CStringMap& vars) const;

  CHttpClient m_http;
  std::unique_ptr<CXmlElement> m_engines;
  uint32_t m_engineId = 0;
  std::wstring m_langSrc;
  std::wstring m_langDest;
  std::wstring m_sourceText;
  std::wstring m_resultText;
  IOnlineHost* m_host = nullptr;
  HttpCredentialCallback m_credentials = nullptr;
  bool m_hasOnceCredentials = false;
  std::string m_onceUser;
  std::string m_oncePassword;
  bool m_sentProxyCredentials = false;
};

// The translation cut from an engine's reply by the engine's pattern (its
// group 1, as HTML that only shows text): 1 when it matched, 0 when it did
// not, -1 for a pattern that does not compile or has no group.
int CutTranslation(std::wstring& out, const std::wstring& patternText, const std::wstring& reply);
