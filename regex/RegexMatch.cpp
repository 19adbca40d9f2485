// The match driver: start positions, find_all, the stack and work guard,
// and the substitution object's replacement parser.
#include "regex/RegexNodes.h"

#include <algorithm>
#include <cwchar>

namespace regex {

using namespace detail;

namespace {

const backref_tag kUnmatched = {};

}  // namespace

const backref_tag& match_results::operator[](size_t index) const {
  return index < groups.size() ? groups[index] : kUnmatched;
}

namespace detail {

struct driver {
  template <class Attempt>
  static bool search(const pattern_base& pattern, match_param& m, const wchar_t* from, const wchar_t* end,
                     Attempt attempt) {
    if (size_t(end - from) < pattern.min_length_) return false;
    const wchar_t* last = end - pattern.min_length_;
    if (pattern.flags_ & from_right) {
      for (const wchar_t* p = last;; --p) {
        if (attempt(p)) return true;
        if (p == from) return false;
      }
    }
    if (!pattern.searcher_) {
      for (const wchar_t* p = from;; ++p) {
        if (attempt(p)) return true;
        if (!pattern.must_scan_ || p >= last) return false;
        m.reject_empty = false;
      }
    }
    for (const wchar_t* p = pattern.searcher_->find(from, end); p != end && p <= last;
         p = pattern.searcher_->find(p + 1, end)) {
      if (attempt(p)) return true;
      if (!pattern.must_scan_) return false;
      m.reject_empty = false;
    }
    return false;
  }

  // One search from `from`. The work it does is taken from `budget`, which
  // the caller shares among the searches of one call; `aborted` is set when
  // the stack or the budget ran out.
  static bool match_once(const pattern_base& pattern, std::vector<backref_tag>& records, const wchar_t* subject,
                         const wchar_t* from, const wchar_t* end, bool rejectEmpty, const char* limit,
                         uint32_t& budget, bool& aborted) {
    records.assign(pattern.group_counter_, kUnmatched);
    backtrack_stack stack;
    const bool recursive = pattern.use_recursion();
    match_param m{records.data(), end,  nullptr,     records.size(), nullptr, subject, from, pattern.top_,
                  recursive ? nullptr : &stack, rejectEmpty, limit, budget};
    const sub_expr* top = pattern.top_;
    bool matched;
    aborted = false;
    try {
      if (recursive) {
        matched = search(pattern, m, from, end, [&](const wchar_t* p) { return top->match_rest(m, p); });
      } else {
        matched = search(pattern, m, from, end, [&](const wchar_t* p) {
          m.cur = p;
          return run_iterative(m, top);
        });
      }
    } catch (const match_abort&) {
      std::fill(records.begin(), records.end(), kUnmatched);
      matched = false;
      aborted = true;
    }
    budget = m.budget;
    // From the highest hidden number down, so that each removal leaves the
    // places of the numbers still to be removed as they were.
    if (matched)
      for (auto it = pattern.hidden_groups_.rbegin(); it != pattern.hidden_groups_.rend(); ++it)
        records.erase(records.begin() + *it);
    records.resize(pattern.group_counter_ - pattern.hidden_groups_.size());
    return matched;
  }

  // The work allowance is one per call: find_all's searches share it, so that
  // a subject with many matches costs no more than one search over it could.
  static bool run(const pattern_base& pattern, match_results& results, const wchar_t* begin, const wchar_t* end) {
    results.subject = begin;
    const char* limit = stack_limit();
    uint32_t budget = uint32_t(std::min<uint64_t>((uint64_t(1) << 22) + uint64_t(end - begin) * 16, 0xFFFFFFF0u));
    bool aborted = false;
    if (!(pattern.flags_ & find_all))
      return match_once(pattern, results.groups, begin, begin, end, false, limit, budget, aborted);
    std::vector<backref_tag> collected, records;
    bool reject = false;
    for (const wchar_t* from = begin;
         from <= end && match_once(pattern, records, begin, from, end, reject, limit, budget, aborted);) {
      if (pattern.flags_ & keep_whole_matches) collected.push_back(records[0]);
      else if (pattern.flags_ & keep_all_groups) collected.insert(collected.end(), records.begin(), records.end());
      else collected = records;
      // After an empty match the next one may not be empty at the same place.
      reject = records[0].begin == records[0].end;
      from = records[0].end;
    }
    // Out of stack or allowance part way: the matches found so far are not
    // all there are, and are not given as if they were.
    if (aborted) collected.clear();
    results.groups.swap(collected);
    return !results.groups.empty();
  }
};

}  // namespace detail

pattern_base::pattern_base(const std::wstring& pattern, uint32_t flags, uint32_t mode)
    : flags_(flags), mode_(mode), pattern_(pattern) {}

pattern_base::pattern_base(const std::wstring& pattern, const std::wstring& replacement, uint32_t flags, uint32_t mode)
    : flags_(flags), mode_(mode), pattern_(pattern), replacement_(replacement) {}

pattern_base::~pattern_base() = default;

bool pattern_base::use_recursion() const {
  if (mode_ == recursive) return true;
  return mode_ == automatic && recursion_safe_;
}

void pattern_base::swap(pattern_base& other) {
  std::swap(arena_, other.arena_);
  std::swap(must_scan_, other.must_scan_);
  std::swap(recursion_safe_, other.recursion_safe_);
  std::swap(group_counter_, other.group_counter_);
  std::swap(capturing_count_, other.capturing_count_);
  std::swap(flags_, other.flags_);
  std::swap(mode_, other.mode_);
  std::swap(min_length_, other.min_length_);
  std::swap(max_length_, other.max_length_);
  pattern_.swap(other.pattern_);
  replacement_.swap(other.replacement_);
  std::swap(top_, other.top_);
  hidden_groups_.swap(other.hidden_groups_);
  std::swap(searcher_, other.searcher_);
}

const backref_tag& pattern_base::match(const wchar_t* begin, const wchar_t* end, match_results& results) const {
  return driver::run(*this, results, begin, end) ? results.groups[0] : kUnmatched;
}

const backref_tag& pattern_base::match(const std::wstring& subject, match_results& results) const {
  return match(subject.data(), subject.data() + subject.size(), results);
}

const backref_tag& pattern_base::match(const wchar_t* nulTerminated, match_results& results) const {
  return match(nulTerminated, nulTerminated + std::wcslen(nulTerminated), results);
}

compiled_pattern::compiled_pattern(const std::wstring& pattern, uint32_t flags, uint32_t mode)
    : pattern_base(pattern, flags, mode) {
  compile(flags);
}

// ---- substitution ----

namespace {

// Control-character escapes become their values; octal digits and escaped
// backslashes are left for the replacement parser.
void unescape(std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      out += text[i++];
      continue;
    }
    wchar_t e = text[i + 1];
    i += 2;
    switch (e) {
      case 'a': out += wchar_t(7); break;
      case 'b': out += wchar_t(8); break;
      case 'e': out += wchar_t(27); break;
      case 'f': out += wchar_t(12); break;
      case 'n': out += wchar_t(10); break;
      case 'r': out += wchar_t(13); break;
      case 't': out += wchar_t(9); break;
      case 'v': out += wchar_t(11); break;
      case 'c':
        if (i < text.size()) {
          wchar_t x = text[i++];
          if (x >= 'a' && x <= 'z') x = wchar_t(x - 'a' + 'A');
          out += wchar_t(x ^ 0x40);
        } else {
          out += L"\\c";
        }
        break;
      case 'x': {
        int value = 0;
        for (int k = 0; k < 2 && i < text.size() && hex_value(text[i]) >= 0; ++k) value = value * 16 + hex_value(text[i++]);
        out += wchar_t(value);
        break;
      }
      case '\\':
        out += L"\\\\";
        if (i + 1 < text.size() && text[i] == '\\' && text[i + 1] == '\\') i += 2;
        break;
      default:
        out += '\\';
        out += e;
    }
  }
  text.swap(out);
}

void read_replacement(const std::wstring& text, uint32_t capturingCount, std::vector<replacement_part>& parts,
                      bool& needsSubject) {
  parts.clear();
  needsSubject = false;
  auto literal = [&](size_t offset, size_t length) {
    if (!parts.empty() && parts.back().kind == replacement_part::literal &&
        parts.back().value + parts.back().length == offset)
      parts.back().length += uint32_t(length);
    else
      parts.push_back({replacement_part::literal, uint32_t(offset), uint32_t(length)});
  };
  auto add = [&](replacement_part::kind_t kind, uint32_t value) {
    parts.push_back({kind, value, 0});
    if (kind == replacement_part::group || kind == replacement_part::before_match ||
        kind == replacement_part::after_match || kind == replacement_part::whole_match)
      needsSubject = true;
  };
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    wchar_t c = text[i];
    if (c == '$') {
      if (i + 1 >= n) throw bad_regexpr("invalid backreference in substitution");
      wchar_t d = text[i + 1];
      if (d == '&') add(replacement_part::whole_match, 0), i += 2;
      else if (d == '`') add(replacement_part::before_match, 0), i += 2;
      else if (d == '\'') add(replacement_part::after_match, 0), i += 2;
      else {
        uint32_t number = 0;
        size_t k = i + 1;
        while (k < n && text[k] >= '0' && text[k] <= '9' && number * 10 + (text[k] - '0') < capturingCount)
          number = number * 10 + (text[k++] - '0');
        if (k == i + 1 || number == 0) throw bad_regexpr("invalid backreference in substitution");
        add(replacement_part::group, number);
        i = k;
      }
      continue;
    }
    if (c == '\\') {
      if (i + 1 >= n) throw bad_regexpr("expecting escape sequence in substitution string");
      wchar_t e = text[i + 1];
      i += 2;
      switch (e) {
        case 'u': add(replacement_part::upper_next, 0); break;
        case 'l': add(replacement_part::lower_next, 0); break;
        case 'U': add(replacement_part::upper_until_end, 0); break;
        case 'L': add(replacement_part::lower_until_end, 0); break;
        case 'E': add(replacement_part::end_case, 0); break;
        case 'Q': {
          size_t close = text.find(L"\\E", i);
          if (close == std::wstring::npos) close = n;
          if (close > i) literal(i, close - i);
          i = close == n ? n : close + 2;
          break;
        }
        default: literal(i - 1, 1);
      }
      continue;
    }
    literal(i++, 1);
  }
}

}  // namespace

substitution::substitution(const std::wstring& pattern, const std::wstring& replacement, uint32_t flags, uint32_t mode)
    : pattern_base(pattern, replacement, flags, mode) {
  compile(flags);
  if (flags & text_escapes) unescape(replacement_);
  read_replacement(replacement_, capturing_count_, parts_, needs_subject_);
}

void substitution::set_pattern(const std::wstring& pattern, uint32_t flags, uint32_t mode) {
  // The replacement is parsed again against the new pattern's groups.
  substitution fresh(pattern, replacement_, flags, mode);
  swap(fresh);
  parts_.swap(fresh.parts_);
  std::swap(needs_subject_, fresh.needs_subject_);
}

void substitution::set_replacement(const std::wstring& replacement) {
  std::wstring text(replacement);
  if (flags_ & text_escapes) unescape(text);
  std::vector<replacement_part> parts;
  bool needsSubject;
  read_replacement(text, capturing_count_, parts, needsSubject);
  replacement_.swap(text);
  parts_.swap(parts);
  needs_subject_ = needsSubject;
}

}  // namespace regex
