// The web text translator: engine definitions, the chosen engine and
// languages, the source text, and the text-translation form page. (Requests
// and replies come with the HTTP client.)
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CXmlElement;
class CXmlNode;

class CTextTranslator {
 public:
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

 private:
  std::unique_ptr<CXmlElement> m_engines;
  uint32_t m_engineId = 0;
  std::wstring m_langSrc;
  std::wstring m_langDest;
  std::wstring m_sourceText;
  std::wstring m_resultText;
};
