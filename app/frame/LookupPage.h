// The lookup road's pure part: a word queried over the query group becomes
// one result page (the matching fragments joined, or the "no match" text).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDictFile;
class CDictManager;

// The id of the dictionary that matches every word.
constexpr uint32_t kCatchAllDictId = 1;

struct LookupOutcome {
  std::wstring html;               // the fragments without separators, plus the no-match text
  std::vector<CDictFile*> dicts;   // the dictionaries that matched, in group order (not owned)
  bool speak = false;              // the word is to be spoken
};

// Escapes a word for the no-match text: quotes, ampersands and angle brackets
// become references; in a run of white space (CR LF counting as one) the first
// character stays and each further one becomes "&nbsp;".
void EscapeWordForHtml(std::wstring& out, const wchar_t* word);

// Queries the query group for the word. noMatchFormat is the printf-style
// text shown when nothing matched (or only the catch-all dictionary did), with
// the escaped word for its "%s"; realtimePron says whether a match is spoken.
// The number of dictionaries that matched.
uint32_t QueryLookup(LookupOutcome& outcome, CDictManager& manager, const wchar_t* word,
                     const std::wstring& noMatchFormat, bool realtimePron);
