// The pattern compiler: reads the pattern text and links the node graph.
#include "regex/RegexNodes.h"

#include <cctype>
#include <cstring>
#include <cwctype>

namespace regex {

using namespace detail;

namespace {

bool is_digit(wchar_t c) { return c >= '0' && c <= '9'; }
bool is_octal(wchar_t c) { return c >= '0' && c <= '7'; }

struct atom_t {
  sub_expr* node = nullptr;  // null: the construct added no node
  bool quantifiable = false;
};

class compiler {
 public:
  compiler(const std::wstring& pattern, uint32_t flags, arena_allocator& arena, uint32_t& counter,
           uint32_t& capturing, std::vector<uint32_t>& hidden, bool& recursionSafe)
      : pat_(pattern), n_(pattern.size()), flags_(flags), arena_(arena), counter_(counter),
        capturing_(capturing), hidden_(hidden), recursion_safe_(recursionSafe), stack_limit_(stack_limit()) {}

  void read_alternatives(match_group* group, bool top);

 private:
  bool ignore_case() const { return flags_ & regex::ignore_case; }
  void skip_space();
  bool ordinary(wchar_t c) const;
  bool counted_form(size_t at, uint32_t* min, uint32_t* max, size_t* after) const;
  bool quantifier_at(size_t at) const;
  void attach(sub_expr* node);
  void read_quantifier(atom_t atom);
  atom_t read_atom();
  atom_t read_run(std::wstring text, bool continueRun);
  atom_t read_escape();
  atom_t read_group();
  atom_t make_group(match_group* group, uint32_t groupFlags, uint32_t nestedFirst);
  sub_expr* make_char(wchar_t c);
  sub_expr* make_literal(const std::wstring& text);
  sub_expr* read_class_set();
  [[noreturn]] void set_unfinished() const { throw bad_regexpr("expecting end of character set"); }
  bool read_set_unit(class_set* set, wchar_t* out);

  const std::wstring& pat_;
  size_t n_;
  size_t pos_ = 0;
  uint32_t flags_;
  arena_allocator& arena_;
  uint32_t& counter_;
  uint32_t& capturing_;
  std::vector<uint32_t>& hidden_;
  bool& recursion_safe_;
  const char* stack_limit_;
  // The alternative being built: where the next node goes, and the slot of the last atom.
  sub_expr** tail_ = nullptr;
  sub_expr** last_slot_ = nullptr;
};

void compiler::skip_space() {
  if (!(flags_ & free_spacing)) return;
  while (pos_ < n_) {
    if (iswctype(pat_[pos_], _SPACE)) {
      ++pos_;
    } else if (pat_[pos_] == '#') {
      while (pos_ < n_ && pat_[pos_] != 10) ++pos_;
      if (pos_ < n_) ++pos_;
    } else {
      break;
    }
  }
}

bool compiler::ordinary(wchar_t c) const {
  if (c >= 256) return true;
  if ((flags_ & free_spacing) && (c == '#' || iswctype(c, _SPACE))) return false;
  return !std::strchr("()|^$[.\\*+?", char(c)) || c == 0;
}

bool compiler::counted_form(size_t at, uint32_t* min, uint32_t* max, size_t* after) const {
  if (at >= n_ || pat_[at] != '{') return false;
  size_t i = at + 1;
  auto number = [&](uint32_t* out) {
    uint64_t v = 0;
    size_t start = i;
    while (i < n_ && is_digit(pat_[i])) {
      v = v * 10 + (pat_[i++] - '0');
      if (v >= kUnbounded) return false;
    }
    *out = uint32_t(v);
    return i > start;
  };
  if (!number(min)) return false;
  if (i < n_ && pat_[i] == '}') {
    *max = *min;
  } else if (i < n_ && pat_[i] == ',') {
    ++i;
    if (i < n_ && is_digit(pat_[i])) {
      if (!number(max)) return false;
    } else {
      *max = kUnbounded;
    }
    if (i >= n_ || pat_[i] != '}') return false;
  } else {
    return false;
  }
  *after = i + 1;
  return true;
}

bool compiler::quantifier_at(size_t at) const {
  if (at >= n_) return false;
  wchar_t c = pat_[at];
  uint32_t a, b;
  size_t after;
  return c == '*' || c == '+' || c == '?' || counted_form(at, &a, &b, &after);
}

void compiler::attach(sub_expr* node) {
  *tail_ = node;
  last_slot_ = tail_;
  tail_ = &node->next;
}

void compiler::read_quantifier(atom_t atom) {
  if (!atom.quantifiable) return;
  skip_space();
  if (pos_ >= n_) return;
  uint32_t min, max;
  size_t after;
  switch (pat_[pos_]) {
    case '*': min = 0, max = kUnbounded, ++pos_; break;
    case '+': min = 1, max = kUnbounded, ++pos_; break;
    case '?': min = 0, max = 1, ++pos_; break;
    default:
      if (!counted_form(pos_, &min, &max, &after)) return;
      if (min > max) throw bad_regexpr("Can't do {n, m} with n > m");
      pos_ = after;
  }
  skip_space();
  bool greedy = true;
  if (pos_ < n_ && pat_[pos_] == '?') greedy = false, ++pos_;
  sub_expr* quantified = atom.node->quantify(min, max, greedy, arena_);
  if (!quantified) throw bad_regexpr("quantifier not expected");
  if (dynamic_cast<match_group*>(atom.node) && (max == kUnbounded || max >= 17)) recursion_safe_ = false;
  *last_slot_ = quantified;
  tail_ = &quantified->next;
}

void compiler::read_alternatives(match_group* group, bool top) {
  check_compile_stack(stack_limit_);
  const uint32_t flagsAtOpen = flags_;
  sub_expr** savedTail = tail_;
  sub_expr** savedLast = last_slot_;
  sub_expr* head = nullptr;
  tail_ = &head;
  last_slot_ = nullptr;
  auto end_alternative = [&] {
    *tail_ = group->end_node();
    group->alternatives.push_back(head);
    head = nullptr;
    tail_ = &head;
    last_slot_ = nullptr;
  };
  for (;;) {
    skip_space();
    if (pos_ >= n_) {
      if (!top) throw bad_regexpr("mismatched parenthesis");
      break;
    }
    wchar_t c = pat_[pos_];
    if (c == ')') {
      if (top) throw bad_regexpr("mismatched parenthesis");
      ++pos_;
      break;
    }
    if (c == '|') {
      ++pos_;
      end_alternative();
      continue;
    }
    if (c == '*' || c == '+' || c == '?') throw bad_regexpr("quantifier not expected");
    atom_t atom = read_atom();
    if (!atom.node) continue;
    attach(atom.node);
    read_quantifier(atom);
  }
  end_alternative();
  group->close();
  flags_ = flagsAtOpen;
  tail_ = savedTail;
  last_slot_ = savedLast;
}

sub_expr* compiler::make_char(wchar_t c) {
  if (ignore_case() && towlower(c) != towupper(c)) return arena_.make<match_char_nocase>(c);
  return arena_.make<match_char>(c);
}

sub_expr* compiler::make_literal(const std::wstring& text) {
  if (!ignore_case()) return arena_.make<match_literal>(arena_.copy(text.data(), text.size()), text.size(), nullptr);
  std::wstring lower(text), upper(text);
  for (wchar_t& c : lower) c = wchar_t(towlower(c));
  for (wchar_t& c : upper) c = wchar_t(towupper(c));
  const wchar_t* other = lower == upper ? nullptr : arena_.copy(upper.data(), upper.size());
  return arena_.make<match_literal>(arena_.copy(lower.data(), lower.size()), lower.size(), other);
}

// A run of ordinary characters is one literal, except that a quantifier after
// it applies to its last character alone.
atom_t compiler::read_run(std::wstring text, bool continueRun) {
  for (;;) {
    skip_space();
    if (quantifier_at(pos_)) {
      wchar_t last = text.back();
      text.pop_back();
      if (!text.empty()) attach(make_literal(text));
      return {make_char(last), true};
    }
    if (!continueRun || pos_ >= n_ || !ordinary(pat_[pos_])) break;
    text += pat_[pos_++];
  }
  return {make_literal(text), true};
}

atom_t compiler::read_atom() {
  wchar_t c = pat_[pos_];
  switch (c) {
    case '(': return read_group();
    case '^':
      ++pos_;
      return {arena_.make<match_assertion>((flags_ & multi_line) ? bol : bos), false};
    case '$':
      ++pos_;
      return {arena_.make<match_assertion>((flags_ & multi_line) ? eol : eos_or_final_newline), false};
    case '.':
      ++pos_;
      return {arena_.make<match_any>((flags_ & dot_all) != 0), true};
    case '[':
      ++pos_;
      return {read_class_set(), true};
    case '\\': return read_escape();
  }
  ++pos_;
  return read_run(std::wstring(1, c), true);
}

atom_t compiler::read_escape() {
  ++pos_;
  if (pos_ >= n_) return {make_char('\\'), true};
  wchar_t e = pat_[pos_++];
  auto cls = [&](predefined_kind kind, bool negated) -> atom_t {
    return {arena_.make<match_charset>(&predefined(kind, negated), ignore_case()), true};
  };
  auto assertion = [&](assertion_kind kind) -> atom_t { return {arena_.make<match_assertion>(kind), false}; };
  switch (e) {
    case 'd': return cls(digit_class, false);
    case 'D': return cls(digit_class, true);
    case 's': return cls(space_class, false);
    case 'S': return cls(space_class, true);
    case 'w': return cls(word_class, false);
    case 'W': return cls(word_class, true);
    case 'A': return assertion(bos);
    case 'Z': return assertion(eos_or_final_newline);
    case 'z': return assertion(eos);
    case 'b': return assertion(word_boundary);
    case 'B': return assertion(not_word_boundary);
    case 'E': throw bad_regexpr("quotemeta turned off, but was never turned on");
    case 'Q': {
      size_t close = pat_.find(L"\\E", pos_);
      if (close == std::wstring::npos) close = n_;
      std::wstring text = pat_.substr(pos_, close - pos_);
      pos_ = close == n_ ? n_ : close + 2;
      if (text.empty()) return {};
      return read_run(text, false);
    }
    case 'e': return {make_char(27), true};
    case 'x': {
      int value = 0;
      for (int i = 0; i < 2 && pos_ < n_ && hex_value(pat_[pos_]) >= 0; ++i) value = value * 16 + hex_value(pat_[pos_++]);
      return {make_char(wchar_t(value)), true};
    }
    case 'c': {
      if (pos_ >= n_) throw bad_regexpr("incomplete escape sequence \\c");
      wchar_t x = pat_[pos_++];
      if (x >= 'a' && x <= 'z') x = wchar_t(x - 'a' + 'A');
      return {make_char(wchar_t(x ^ 0x40)), true};
    }
  }
  if (is_digit(e)) {
    size_t start = pos_ - 1;
    uint32_t value = 0;
    size_t i = start;
    while (i < n_ && is_digit(pat_[i]) && value * 10 + (pat_[i] - '0') <= 999) value = value * 10 + (pat_[i++] - '0');
    if (e != '0' && (value <= 9 || value < counter_)) {
      pos_ = i;
      return {arena_.make<match_backref>(value, ignore_case()), true};
    }
    pos_ = start;
    int code = 0, digits = 0;
    while (digits < 3 && pos_ < n_ && is_octal(pat_[pos_])) code = code * 8 + (pat_[pos_++] - '0'), ++digits;
    if (digits == 0) code = pat_[pos_++];
    return {make_char(wchar_t(code)), true};
  }
  if (flags_ & text_escapes) {
    switch (e) {
      case 'a': return {make_char(7), true};
      case 'f': return {make_char(12), true};
      case 'n': return {make_char(10), true};
      case 'r': return {make_char(13), true};
      case 't': return {make_char(9), true};
    }
  }
  return {make_char(e), true};
}

atom_t compiler::make_group(match_group* group, uint32_t groupFlags, uint32_t nestedFirst) {
  const uint32_t outer = flags_;
  flags_ = groupFlags;
  read_alternatives(group, false);
  flags_ = outer;
  group->set_nested_groups(nestedFirst, counter_ - nestedFirst);
  return {group, !group->is_zero_width_assertion()};
}

atom_t compiler::read_group() {
  ++pos_;
  auto ill_formed = [&] {
    if (pos_ >= n_) throw bad_regexpr("ill-formed regular expression");
  };
  auto bad_extension = [] { throw bad_regexpr("bad extension sequence"); };
  // An extension closed at once adds no node.
  auto closed_at_once = [&] {
    ill_formed();
    if (pat_[pos_] != ')') return false;
    ++pos_;
    return true;
  };
  if (pos_ >= n_ || pat_[pos_] != '?') {
    uint32_t number = counter_++;
    ++capturing_;
    return make_group(arena_.make<match_group>(number), flags_, number);
  }
  ++pos_;
  ill_formed();
  wchar_t c = pat_[pos_++];
  switch (c) {
    case ':': {
      if (closed_at_once()) return {};
      uint32_t number = counter_++;
      hidden_.push_back(number);
      return make_group(arena_.make<match_group>(number), flags_, number);
    }
    case '=':
    case '!':
    case '<':
    case '>': {
      assertion_group::kind_t kind = c == '>' ? assertion_group::independent
                                     : c == '<' ? assertion_group::behind : assertion_group::ahead;
      bool expected = c != '!';
      if (c == '<') {
        ill_formed();
        wchar_t d = pat_[pos_++];
        if (d != '=' && d != '!') bad_extension();
        expected = d == '=';
      }
      // An empty negative look-around never holds: it keeps its node, so
      // "(?!)" fails as its writer meant instead of vanishing.
      if (expected) {
        if (closed_at_once()) return {};
      } else {
        ill_formed();
      }
      uint32_t number = kNoGroup;
      if (kind == assertion_group::independent) {
        number = counter_++;
        hidden_.push_back(number);
      }
      uint32_t nestedFirst = number == kNoGroup ? counter_ : number;
      return make_group(arena_.make<assertion_group>(kind, expected, number), flags_, nestedFirst);
    }
    case '#': {
      size_t close = pat_.find(L')', pos_);
      if (close == std::wstring::npos) throw bad_regexpr("Expecting end of comment");
      pos_ = close + 1;
      return {};
    }
    case 'R':
      ill_formed();
      if (pat_[pos_] != ')') bad_extension();
      ++pos_;
      recursion_safe_ = false;
      return {arena_.make<match_recursion>(), false};
    case '(': {
      ill_formed();
      uint32_t number = counter_++;
      hidden_.push_back(number);
      uint32_t condition = 0;
      assertion_group* assertion = nullptr;
      if (is_digit(pat_[pos_])) {
        uint64_t value = 0;
        while (pos_ < n_ && is_digit(pat_[pos_]) && value < kUnbounded) value = value * 10 + (pat_[pos_++] - '0');
        ill_formed();
        if (pat_[pos_] != ')' || value >= kUnbounded) bad_extension();
        ++pos_;
        condition = uint32_t(value);
      } else {
        bool lookAround = pos_ + 1 < n_ && pat_[pos_] == '?' &&
                          (pat_[pos_ + 1] == '=' || pat_[pos_ + 1] == '!' ||
                           (pat_[pos_ + 1] == '<' && pos_ + 2 < n_ && (pat_[pos_ + 2] == '=' || pat_[pos_ + 2] == '!')));
        if (!lookAround) bad_extension();
        --pos_;
        atom_t condAtom = read_group();
        if (!condAtom.node) bad_extension();
        assertion = static_cast<assertion_group*>(condAtom.node);
      }
      auto* group = arena_.make<match_conditional>(number, condition, assertion);
      atom_t atom = make_group(group, flags_, number);
      if (group->alternatives.size() > 2) throw bad_regexpr("Too many alternates in conditional subexpression");
      return atom;
    }
  }
  // Flag letters: (?i-s) for the rest of the group, (?i-s:...) for a group of their own.
  uint32_t flags = flags_;
  bool set = true;
  --pos_;
  for (;;) {
    ill_formed();
    wchar_t letter = pat_[pos_++];
    uint32_t bit = 0;
    switch (letter) {
      case 'i': bit = regex::ignore_case; break;
      case 'm': bit = multi_line; break;
      case 's': bit = dot_all; break;
      case 'x': bit = free_spacing; break;
      case '-':
        if (!set) bad_extension();
        set = false;
        continue;
      case ')':
        flags_ = flags;
        return {};
      case ':': {
        if (closed_at_once()) return {};
        uint32_t number = counter_++;
        hidden_.push_back(number);
        return make_group(arena_.make<match_group>(number), flags, number);
      }
      default: bad_extension();
    }
    flags = set ? flags | bit : flags & ~bit;
  }
}

bool compiler::read_set_unit(class_set* set, wchar_t* out) {
  if (pos_ >= n_) set_unfinished();
  wchar_t c = pat_[pos_++];
  if (c != '\\') {
    *out = c;
    return true;
  }
  if (pos_ >= n_) set_unfinished();
  wchar_t e = pat_[pos_++];
  const bool te = flags_ & text_escapes;
  switch (e) {
    case 'd': set->merge(predefined(digit_class, false)); return false;
    case 's': set->merge(predefined(space_class, false)); return false;
    case 'w': set->merge(predefined(word_class, false)); return false;
    case 'D': set->add_nested(&predefined(digit_class, true)); return false;
    case 'S': set->add_nested(&predefined(space_class, true)); return false;
    case 'W': set->add_nested(&predefined(word_class, true)); return false;
    case 'b': *out = 8; return true;
    case 'e': *out = 27; return true;
    case 'c': {
      if (pos_ >= n_) set_unfinished();
      wchar_t x = pat_[pos_++];
      if (x >= 'a' && x <= 'z') x = wchar_t(x - 'a' + 'A');
      *out = wchar_t(x ^ 0x40);
      return true;
    }
    case 'x': {
      unsigned value = 0;
      while (pos_ < n_ && hex_value(pat_[pos_]) >= 0) value = (value * 16 + hex_value(pat_[pos_++])) & 0xFFFF;
      *out = wchar_t(value);
      return true;
    }
    case 'a': *out = te ? 7 : e; return true;
    case 'f': *out = te ? 12 : e; return true;
    case 'n': *out = te ? 10 : e; return true;
    case 'r': *out = te ? 13 : e; return true;
    case 't': *out = te ? 9 : e; return true;
    case 'v': *out = te ? 11 : e; return true;
  }
  if (is_octal(e)) {
    unsigned value = e - '0';
    for (int i = 1; i < 3 && pos_ < n_ && is_octal(pat_[pos_]); ++i) value = value * 8 + (pat_[pos_++] - '0');
    *out = wchar_t(value);
    return true;
  }
  *out = e;
  return true;
}

sub_expr* compiler::read_class_set() {
  static const char* const names[] = {"alnum", "alpha", "blank", "cntrl", "digit", "graph",
                                      "lower", "print", "punct", "space", "upper", "xdigit"};
  class_set* set = arena_.make<class_set>();
  const bool nocase = ignore_case();
  if (pos_ < n_ && pat_[pos_] == '^') set->set_negated(true), ++pos_;
  // A POSIX class name at pos_, such as "[:alpha:]" or "[:^alpha:]".
  auto posix_class = [&]() {
    if (pos_ + 1 >= n_ || pat_[pos_] != '[' || pat_[pos_ + 1] != ':') return false;
    size_t i = pos_ + 2;
    bool negated = i < n_ && pat_[i] == '^';
    if (negated) ++i;
    for (const char* name : names) {
      size_t len = std::strlen(name), k = 0;
      while (k < len && i + k < n_ && pat_[i + k] == wchar_t(name[k])) ++k;
      if (k < len || i + len + 1 >= n_ || pat_[i + len] != ':' || pat_[i + len + 1] != ']') continue;
      uint16_t mask = class_mask(name);
      if (nocase && (mask == _LOWER || mask == _UPPER)) mask = _LOWER | _UPPER;
      if (negated) set->add_negated_class(mask);
      else set->add_class(mask);
      pos_ = i + len + 2;
      return true;
    }
    return false;
  };
  for (bool first = true;; first = false) {
    if (pos_ >= n_) set_unfinished();
    if (pat_[pos_] == ']' && !first) {
      ++pos_;
      break;
    }
    if (posix_class()) continue;
    wchar_t lo;
    if (!read_set_unit(set, &lo)) continue;
    if (pos_ + 1 < n_ && pat_[pos_] == '-' && pat_[pos_ + 1] != ']') {
      size_t dash = pos_;
      ++pos_;
      wchar_t hi;
      if (!(pat_[pos_] == '[' && pos_ + 1 < n_ && pat_[pos_ + 1] == ':') && read_set_unit(set, &hi)) {
        set->add_range(lo, hi, nocase);
        continue;
      }
      if (pos_ == dash + 1) {  // a class name follows: the dash is a member
        pos_ = dash;
      } else {
        set->add('-', nocase);
      }
    }
    set->add(lo, nocase);
  }
  set->finish();
  return arena_.make<match_charset>(set, nocase);
}

}  // namespace

void pattern_base::compile(uint32_t flags) {
  flags_ = flags;
  if (!pattern_.empty() && pattern_[0] == '?') throw bad_regexpr("ill-formed regular expression");
  arena_.reset(new arena_allocator(352));
  hidden_groups_.clear();
  group_counter_ = 1;
  capturing_count_ = 1;
  recursion_safe_ = true;
  must_scan_ = true;
  top_ = arena_->make<match_group>(0);
  compiler reader(pattern_, flags, *arena_, group_counter_, capturing_count_, hidden_groups_, recursion_safe_);
  reader.read_alternatives(top_, true);
  top_->next = arena_->make<end_of_pattern>();

  compile_context context;
  context.groups.assign(group_counter_, nullptr);
  context.hidden = &hidden_groups_;
  context.stack_limit = stack_limit();
  width_t w = top_->compute_width(context);
  min_length_ = w.min;
  max_length_ = w.max;

  if (top_->alternatives.size() == 1) {
    size_t i = 0;
    if (flags & free_spacing) {
      while (i < pattern_.size() && (iswctype(pattern_[i], _SPACE) || pattern_[i] == '#')) {
        if (pattern_[i] == '#')
          while (i < pattern_.size() && pattern_[i] != 10) ++i;
        if (i < pattern_.size()) ++i;
      }
    }
    auto at = [&](size_t k) { return k < pattern_.size() ? pattern_[k] : wchar_t(0); };
    if (!(flags & multi_line) && at(i) == '^') {
      must_scan_ = false;
      flags_ &= ~uint32_t(from_right);
    } else if (!(flags & from_right) && (flags & dot_all) && at(i) == '.' && (at(i + 1) == '*' || at(i + 1) == '+')) {
      must_scan_ = false;
    }
  }

  prefix_probe probe;
  searcher_.reset();
  if (top_->probe_prefix(probe) && probe.has_literal)
    searcher_.reset(new literal_searcher(probe.literal, probe.literal_length, probe.other_case));
}

}  // namespace regex
