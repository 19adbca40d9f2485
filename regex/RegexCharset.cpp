#include "regex/RegexNodes.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cwctype>

namespace regex {
namespace detail {

uint16_t class_mask(const char* name) {
  struct entry {
    const char* name;
    uint16_t mask;
  };
  static const entry classes[] = {
      {"alnum", _ALPHA | _DIGIT}, {"alpha", _ALPHA},  {"blank", _BLANK},
      {"cntrl", _CONTROL},        {"digit", _DIGIT},  {"graph", _PUNCT | _ALPHA | _DIGIT},
      {"lower", _LOWER},          {"print", _BLANK | _PUNCT | _ALPHA | _DIGIT},
      {"punct", _PUNCT},          {"space", _SPACE},  {"upper", _UPPER},
      {"xdigit", _HEX},
  };
  for (const entry& e : classes)
    if (std::strcmp(e.name, name) == 0) return e.mask;
  return 0;
}

class_set::class_set(bool negated, uint16_t mask, const char* extras) : negated_(negated), mask_(mask) {
  for (; *extras; ++extras) add(wchar_t(static_cast<unsigned char>(*extras)), false);
  finish();
}

// Under ignore_case a code unit below 256 enters the set in the runtime's
// narrow case forms; above 255 the matching node folds the subject instead.
void class_set::add(wchar_t c, bool ignoreCase) {
  if (c >= 256) {
    ranges_.push_back({c, c});
    return;
  }
  if (!ignoreCase) {
    table_[c >> 5] |= 1u << (c & 31);
    return;
  }
  unsigned upper = unsigned(toupper(int(c))) & 0xFF, lower = unsigned(tolower(int(c))) & 0xFF;
  table_[upper >> 5] |= 1u << (upper & 31);
  table_[lower >> 5] |= 1u << (lower & 31);
}

void class_set::add_range(wchar_t lo, wchar_t hi, bool ignoreCase) {
  if (hi < lo) throw bad_regexpr("invalid range specified in character set");
  for (unsigned c = lo; c <= std::min<unsigned>(hi, 255); ++c) add(wchar_t(c), ignoreCase);
  if (hi >= 256) ranges_.push_back({std::max<wchar_t>(lo, 256), hi});
}

void class_set::merge(const class_set& predefined) {
  for (int i = 0; i < 8; ++i) table_[i] |= predefined.table_[i];
  mask_ |= predefined.mask_;
}

void class_set::finish() {
  std::sort(ranges_.begin(), ranges_.end());
  std::vector<std::pair<wchar_t, wchar_t>> merged;
  for (const auto& r : ranges_) {
    if (!merged.empty() && unsigned(r.first) <= unsigned(merged.back().second) + 1)
      merged.back().second = std::max(merged.back().second, r.second);
    else
      merged.push_back(r);
  }
  ranges_.swap(merged);
  if (mask_)
    for (int c = 0; c < 256; ++c)
      if (_isctype(c, mask_)) table_[c >> 5] |= 1u << (c & 31);
  no_extras_ = negated_classes_.empty() && nested_.empty();
}

bool class_set::raw(wchar_t c) const {
  bool in;
  if (c < 256) {
    in = (table_[c >> 5] >> (c & 31)) & 1;
  } else {
    auto it = std::lower_bound(ranges_.begin(), ranges_.end(), c,
                               [](const std::pair<wchar_t, wchar_t>& r, wchar_t v) { return r.second < v; });
    in = (it != ranges_.end() && it->first <= c) || (mask_ && iswctype(c, mask_));
  }
  if (!in && !no_extras_) {
    for (uint16_t mask : negated_classes_)
      if (!iswctype(c, mask)) return true;
    for (const class_set* set : nested_)
      if (set->contains(c)) return true;
  }
  return in;
}

bool class_set::contains_nocase(wchar_t c) const {
  if (c < 256) return contains(c);
  wchar_t upper = wchar_t(towupper(c)), lower = wchar_t(towlower(c));
  bool in = raw(upper) || (lower != upper && raw(lower));
  return in != negated_;
}

const class_set& predefined(predefined_kind kind, bool negated) {
  // Built on first use and shared by every pattern for the rest of the run.
  static const class_set sets[3][2] = {
      {class_set(false, _ALPHA | _DIGIT, "_"), class_set(true, _ALPHA | _DIGIT, "_")},
      {class_set(false, _DIGIT, ""), class_set(true, _DIGIT, "")},
      {class_set(false, _SPACE, ""), class_set(true, _SPACE, "")},
  };
  return sets[kind][negated ? 1 : 0];
}

}  // namespace detail
}  // namespace regex
