#include "regex/RegexNodes.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwctype>

namespace regex {
namespace detail {

width_t add_width(width_t a, width_t b) {
  auto sum = [](uint32_t x, uint32_t y) -> uint32_t {
    if (x == kUnbounded || y == kUnbounded) return kUnbounded;
    uint64_t s = uint64_t(x) + y;
    return s >= kUnbounded ? kUnbounded : uint32_t(s);
  };
  return {sum(a.min, b.min), sum(a.max, b.max)};
}

width_t repeat_width(width_t w, uint32_t min, uint32_t max) {
  auto product = [](uint32_t x, uint32_t n) -> uint32_t {
    if (x == 0 || n == 0) return 0;
    if (x == kUnbounded || n == kUnbounded) return kUnbounded;
    uint64_t s = uint64_t(x) * n;
    return s >= kUnbounded ? kUnbounded : uint32_t(s);
  };
  return {product(w.min, min), product(w.max, max)};
}

arena_allocator::~arena_allocator() {
  for (auto it = destructors_.rbegin(); it != destructors_.rend(); ++it) it->destroy(it->object);
  while (newest_) {
    block* prev = newest_->prev;
    std::free(newest_);
    newest_ = prev;
  }
}

namespace {

// The engine reports an exhausted heap in the words its callers know.
class arena_bad_alloc : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "bad allocation"; }
};

}  // namespace

void* arena_allocator::allocate(size_t bytes) {
  bytes = (bytes + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
  constexpr size_t header = (sizeof(block) + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
  if (!newest_ || newest_->used + bytes > newest_->size) {
    size_t payload = std::max(block_size_, bytes);
    block* b = static_cast<block*>(std::malloc(header + payload));
    if (!b) throw arena_bad_alloc();
    b->used = 0;
    b->size = payload;
    b->prev = newest_;
    newest_ = b;
  }
  void* p = reinterpret_cast<char*>(newest_) + header + newest_->used;
  newest_->used += bytes;
  return p;
}

wchar_t* arena_allocator::copy(const wchar_t* text, size_t length) {
  wchar_t* p = static_cast<wchar_t*>(allocate((length + 1) * sizeof(wchar_t)));
  std::memcpy(p, text, length * sizeof(wchar_t));
  p[length] = 0;
  return p;
}

const char* stack_limit() {
  char here = 0;
  MEMORY_BASIC_INFORMATION info;
  if (!VirtualQuery(&here, &info, sizeof(info))) return nullptr;
  const char* base = static_cast<const char*>(info.AllocationBase);
  size_t room = size_t(&here - base);
  size_t margin = std::min<size_t>(128 * 1024, room / 2);
  return base + margin;
}

uint32_t compile_context::to_internal(uint32_t number) const {
  for (uint32_t h : *hidden)
    if (h <= number) ++number;
  return number;
}

// ---- chaining ----

bool sub_expr::match_rest(match_param& m, const wchar_t* p) const {
  guard(m);
  return match_one(m, p) && next->match_rest(m, p);
}

bool end_of_pattern::match_rest(match_param& m, const wchar_t* p) const {
  return !(m.reject_empty && p == m.search_start);
}

// ---- leaves ----

bool match_char::match_one(match_param& m, const wchar_t*& p) const {
  if (p == m.end || *p != c_) return false;
  ++p;
  return true;
}

bool match_char::probe_prefix(prefix_probe& probe) const {
  probe.first_units = {c_};
  return true;
}

match_char_nocase::match_char_nocase(wchar_t c) : lower_(wchar_t(towlower(c))), upper_(wchar_t(towupper(c))) {}

bool match_char_nocase::match_one(match_param& m, const wchar_t*& p) const {
  if (p == m.end || (*p != lower_ && *p != upper_)) return false;
  ++p;
  return true;
}

bool match_char_nocase::probe_prefix(prefix_probe& probe) const {
  probe.first_units = {lower_, upper_};
  return true;
}

bool match_literal::match_one(match_param& m, const wchar_t*& p) const {
  if (size_t(m.end - p) < length_) return false;
  size_t i = 0;
  while (i < length_ && (p[i] == text_[i] || (other_ && p[i] == other_[i]))) ++i;
  charge(m, i);
  if (i < length_) return false;
  p += length_;
  return true;
}

bool match_literal::probe_prefix(prefix_probe& probe) const {
  if (length_ == 0) return next->probe_prefix(probe);
  probe.first_units = {text_[0]};
  if (other_) probe.first_units.push_back(other_[0]);
  probe.has_literal = true;
  probe.literal = text_;
  probe.literal_length = length_;
  probe.other_case = other_;
  return true;
}

bool match_any::match_one(match_param& m, const wchar_t*& p) const {
  if (p == m.end || (!newline_ && *p == 10)) return false;
  ++p;
  return true;
}

bool match_charset::match_one(match_param& m, const wchar_t*& p) const {
  if (p == m.end) return false;
  if (!(nocase_ ? set_->contains_nocase(*p) : set_->contains(*p))) return false;
  ++p;
  return true;
}

bool match_backref::match_one(match_param& m, const wchar_t*& p) const {
  const backref_tag& g = m.groups[group_];
  if (!g.matched) return false;
  size_t length = size_t(g.end - g.begin);
  if (size_t(m.end - p) < length) return false;
  size_t i = 0;
  for (; i < length; ++i) {
    wchar_t a = p[i], b = g.begin[i];
    if (a != b && (!nocase_ || towupper(a) != towupper(b))) break;
  }
  charge(m, i);
  if (i < length) return false;
  p += length;
  return true;
}

width_t match_backref::compute_width(compile_context& context) {
  group_ = context.to_internal(group_);
  if (group_ >= context.groups.size()) throw bad_regexpr("reference to nonexistent group");
  match_group* g = context.groups[group_];
  return g ? g->width() : kWorstWidth;
}

sub_expr* leaf::quantify(uint32_t min, uint32_t max, bool greedy, arena_allocator& arena) {
  return arena.make<leaf_quantifier>(this, min, max, greedy);
}

bool leaf_quantifier::match_rest(match_param& m, const wchar_t* p) const {
  guard(m);
  const wchar_t* q = p;
  uint32_t count = 0;
  if (greedy_) {
    ptrdiff_t step = 0;
    if (max_ != 0 && q != m.end && leaf_->match_one(m, q)) {
      count = 1;
      step = q - p;
      // An empty back-reference: more repetitions would change nothing.
      if (step == 0) return next->match_rest(m, q);
      while (count < max_ && q != m.end && leaf_->match_one(m, q)) ++count;
      charge(m, size_t(q - p));
    }
    if (count < min_) return false;
    for (;;) {
      if (next->match_rest(m, q)) return true;
      if (count == min_) return false;
      guard(m);
      --count;
      q -= step;
    }
  }
  bool short_of_min = false;
  while (count < min_) {
    const wchar_t* before = q;
    if (!leaf_->match_one(m, q)) {
      short_of_min = true;
      break;
    }
    if (q == before) break;  // empty repetitions: the minimum is met
    ++count;
  }
  charge(m, size_t(q - p));
  if (short_of_min) return false;
  for (;;) {
    if (next->match_rest(m, q)) return true;
    const wchar_t* before = q;
    if (count >= max_ || !leaf_->match_one(m, q) || q == before) return false;
    guard(m);
    ++count;
  }
}

width_t leaf_quantifier::compute_width(compile_context& context) {
  return repeat_width(leaf_->compute_width(context), min_, max_);
}

bool leaf_quantifier::probe_prefix(prefix_probe& probe) const {
  return min_ != 0 && leaf_->probe_prefix(probe);
}

// ---- anchors ----

bool match_assertion::holds(const match_param& m, const wchar_t* p) const {
  bool atEnd = p == m.end;
  switch (kind_) {
    case bos: return p == m.begin;
    case bol: return p == m.begin || p[-1] == 10;
    case eos_or_final_newline: return atEnd || (*p == 10 && p + 1 == m.end);
    case eol: return atEnd || *p == 10;
    case eos: return atEnd;
    case word_boundary:
    case not_word_boundary: break;
  }
  const class_set& word = predefined(word_class, false);
  bool before = p != m.begin && word.contains(p[-1]);
  bool at = !atEnd && word.contains(*p);
  return (before != at) == (kind_ == word_boundary);
}

bool match_assertion::match_rest(match_param& m, const wchar_t* p) const {
  return holds(m, p) && next->match_rest(m, p);
}

bool match_assertion::step(match_param& m) const {
  m.next_node = next;
  return holds(m, m.cur);
}

// ---- groups ----

void match_group::close() {
  std::vector<wchar_t> units;
  for (sub_expr* alternative : alternatives) {
    prefix_probe probe;
    if (!alternative->probe_prefix(probe)) return;
    units.insert(units.end(), probe.first_units.begin(), probe.first_units.end());
  }
  if (alternatives.empty()) return;
  std::sort(units.begin(), units.end());
  units.erase(std::unique(units.begin(), units.end()), units.end());
  filter_ = std::move(units);
  has_filter_ = true;
}

bool match_group::try_alternatives(match_param& m, const wchar_t* p) const {
  for (sub_expr* alternative : alternatives)
    if (alternative->match_rest(m, p)) return true;
  return false;
}

bool match_group::match_rest(match_param& m, const wchar_t* p) const {
  guard(m);
  if (has_filter_ && (p == m.end || std::find(filter_.begin(), filter_.end(), *p) == filter_.end())) return false;
  if (number_ == kNoGroup) return try_alternatives(m, p);
  backref_tag& g = m.groups[number_];
  const wchar_t* old = g.tentative_begin;
  g.tentative_begin = p;
  if (try_alternatives(m, p)) return true;
  g.tentative_begin = old;
  return false;
}

width_t match_group::compute_width(compile_context& context) {
  check_compile_stack(context.stack_limit);
  width_t result{kUnbounded, 0};
  bool inTable = number_ < context.groups.size();
  if (inTable) context.groups[number_] = nullptr;
  // Every alternative is visited even when the result can no longer change:
  // the visit is what sizes the look-behinds and numbers the back-references
  // inside it.
  for (sub_expr* alternative : alternatives) {
    width_t w = kZeroWidth;
    for (sub_expr* node = alternative; node; node = node->next) {
      if (node == end_node()) break;
      w = add_width(w, node->compute_width(context));
    }
    result.min = std::min(result.min, w.min);
    result.max = std::max(result.max, w.max);
  }
  if (alternatives.empty()) result = kZeroWidth;
  width_ = result;
  if (inTable) context.groups[number_] = this;
  return result;
}

bool match_group::probe_prefix(prefix_probe& probe) const {
  if (!has_filter_) return false;
  probe.first_units = filter_;
  if (alternatives.size() == 1) {
    prefix_probe inner;
    if (alternatives[0]->probe_prefix(inner) && inner.has_literal) {
      probe.has_literal = true;
      probe.literal = inner.literal;
      probe.literal_length = inner.literal_length;
      probe.other_case = inner.other_case;
    }
  }
  return true;
}

sub_expr* match_group::quantify(uint32_t min, uint32_t max, bool greedy, arena_allocator& arena) {
  return arena.make<group_quantifier>(this, min, max, greedy);
}

bool end_group::match_rest(match_param& m, const wchar_t* p) const {
  uint32_t number = owner_->number();
  if (number == kNoGroup) return owner_->next->match_rest(m, p);
  backref_tag& g = m.groups[number];
  const wchar_t* oldBegin = g.begin;
  const wchar_t* oldEnd = g.end;
  bool oldMatched = g.matched;
  g.matched = true;
  g.begin = g.tentative_begin;
  g.end = p;
  if (owner_->next->match_rest(m, p)) return true;
  g.begin = oldBegin;
  g.end = oldEnd;
  g.matched = oldMatched;
  return false;
}

// ---- quantified groups ----

group_quantifier::group_quantifier(match_group* group, uint32_t min, uint32_t max, bool greedy)
    : group_(group), min_(min), max_(max), greedy_(greedy), end_(this) {
  group_->next = &end_;
}

bool group_quantifier::match_rest(match_param& m, const wchar_t* p) const {
  guard(m);
  backref_tag& g = m.groups[group_->number()];
  const uint32_t oldCount = g.count;
  const wchar_t* oldPrev = g.prev_begin;
  const wchar_t* oldCur = g.cur_begin;
  g.prev_begin = nullptr;
  g.cur_begin = p;
  g.count = 0;
  if (greedy_) {
    if (max_ != 0) {
      g.count = 1;
      if (group_->match_rest(m, p)) return true;
      g.count = 0;
      if (min_ == 0 && next->match_rest(m, p)) return true;
    } else if (next->match_rest(m, p)) {
      return true;
    }
  } else {
    if (min_ == 0 && next->match_rest(m, p)) return true;
    if (max_ != 0) {
      g.count = 1;
      if (group_->match_rest(m, p)) return true;
    }
  }
  g.count = oldCount;
  g.prev_begin = oldPrev;
  g.cur_begin = oldCur;
  return false;
}

width_t group_quantifier::compute_width(compile_context& context) {
  return repeat_width(group_->compute_width(context), min_, max_);
}

bool group_quantifier::probe_prefix(prefix_probe& probe) const {
  return min_ != 0 && group_->probe_prefix(probe);
}

bool end_quantifier::match_rest(match_param& m, const wchar_t* p) const {
  guard(m);
  const group_quantifier& q = *owner_;
  backref_tag& g = m.groups[q.group_->number()];
  // Two iterations in a row that consumed nothing: looping on would change nothing.
  if (p == g.prev_begin) return q.next->match_rest(m, p);
  const wchar_t* oldPrev = g.prev_begin;
  const wchar_t* oldCur = g.cur_begin;
  g.prev_begin = g.cur_begin;
  g.cur_begin = p;
  if (q.greedy_) {
    if (g.count < q.max_) {
      ++g.count;
      if (q.group_->match_rest(m, p)) return true;
      --g.count;
      if (g.count >= q.min_ && q.next->match_rest(m, p)) return true;
    } else if (q.next->match_rest(m, p)) {
      return true;
    }
  } else {
    if (g.count >= q.min_ && q.next->match_rest(m, p)) return true;
    if (g.count < q.max_) {
      ++g.count;
      if (q.group_->match_rest(m, p)) return true;
      --g.count;
    }
  }
  g.prev_begin = oldPrev;
  g.cur_begin = oldCur;
  return false;
}

// ---- look-around and independent groups ----

void assertion_group::save_nested(const match_param& m, std::vector<backref_tag>& saved) const {
  saved.assign(m.groups + nested_first_, m.groups + nested_first_ + nested_count_);
}

void assertion_group::restore_nested(match_param& m, const std::vector<backref_tag>& saved) const {
  std::copy(saved.begin(), saved.end(), m.groups + nested_first_);
}

bool end_assertion::match_rest(match_param& m, const wchar_t* p) const {
  if (owner_->kind_ == assertion_group::behind && p != m.end) return false;
  uint32_t number = owner_->number();
  if (number != kNoGroup) {
    backref_tag& g = m.groups[number];
    g.matched = true;
    g.begin = g.tentative_begin;
    g.end = p;
  }
  return true;
}

bool assertion_group::test(match_param& m, const wchar_t* p, const wchar_t** innerEnd) const {
  *innerEnd = p;
  if (kind_ != behind) {
    bool matched = match_group::match_rest(m, p);
    if (matched && number_ != kNoGroup) *innerEnd = m.groups[number_].end;
    return matched == expected_;
  }
  size_t available = size_t(p - m.begin);
  if (width_.min > available) return !expected_;
  size_t longest = std::min<size_t>(width_.max, available);
  const wchar_t* savedEnd = m.end;
  m.end = p;
  bool any = false;
  // A negative look-behind must fail when any admissible start matches,
  // whatever the width of its inner expression.
  for (const wchar_t* s = p - longest; s <= p - width_.min && !any; ++s) any = match_group::match_rest(m, s);
  m.end = savedEnd;
  return any == expected_;
}

bool assertion_group::match_rest(match_param& m, const wchar_t* p) const {
  guard(m);
  std::vector<backref_tag> saved;
  save_nested(m, saved);
  if (kind_ == behind && expected_) {
    // Each start that matches is tried with the rest, as the inner captures differ.
    size_t available = size_t(p - m.begin);
    if (width_.min > available) return false;
    size_t longest = std::min<size_t>(width_.max, available);
    for (const wchar_t* s = p - longest; s <= p - width_.min; ++s) {
      const wchar_t* savedEnd = m.end;
      m.end = p;
      bool inner = match_group::match_rest(m, s);
      m.end = savedEnd;
      if (!inner) continue;
      if (next->match_rest(m, p)) return true;
      restore_nested(m, saved);
    }
    return false;
  }
  const wchar_t* innerEnd;
  if (test(m, p, &innerEnd) && next->match_rest(m, innerEnd)) return true;
  restore_nested(m, saved);
  return false;
}

width_t assertion_group::compute_width(compile_context& context) {
  width_t inner = match_group::compute_width(context);
  return kind_ == independent ? inner : kZeroWidth;
}

bool assertion_group::probe_prefix(prefix_probe& probe) const {
  if (kind_ != independent) return next->probe_prefix(probe);
  return number_ != kNoGroup && match_group::probe_prefix(probe);
}

sub_expr* assertion_group::quantify(uint32_t min, uint32_t max, bool greedy, arena_allocator& arena) {
  return kind_ == independent ? match_group::quantify(min, max, greedy, arena) : nullptr;
}

// ---- conditionals ----

bool match_conditional::match_rest(match_param& m, const wchar_t* p) const {
  guard(m);
  std::vector<backref_tag> saved;
  bool first;
  if (assertion_) {
    assertion_->save_nested(m, saved);
    const wchar_t* ignored;
    first = assertion_->test(m, p, &ignored);
  } else {
    first = condition_ < m.group_count && m.groups[condition_].matched;
  }
  const sub_expr* branch = first ? alternatives[0] : alternatives.size() > 1 ? alternatives[1] : nullptr;
  bool ok;
  if (!branch) {
    ok = next->match_rest(m, p);
  } else {
    backref_tag& g = m.groups[number_];
    const wchar_t* old = g.tentative_begin;
    g.tentative_begin = p;
    ok = branch->match_rest(m, p);
    if (!ok) g.tentative_begin = old;
  }
  if (!ok && assertion_) assertion_->restore_nested(m, saved);
  return ok;
}

width_t match_conditional::compute_width(compile_context& context) {
  check_compile_stack(context.stack_limit);
  if (!assertion_) condition_ = context.to_internal(condition_);
  else assertion_->compute_width(context);
  bool inTable = number_ < context.groups.size();
  if (inTable) context.groups[number_] = nullptr;
  auto chain = [&](sub_expr* node) {
    width_t w = kZeroWidth;
    for (; node && node != end_node(); node = node->next) w = add_width(w, node->compute_width(context));
    return w;
  };
  width_t first = alternatives.empty() ? kZeroWidth : chain(alternatives[0]);
  width_t second = alternatives.size() > 1 ? chain(alternatives[1]) : width_t{0, first.max};
  width_ = {std::min(first.min, second.min), std::max(first.max, second.max)};
  if (inTable) context.groups[number_] = this;
  return width_;
}

// ---- recursion ----

bool match_recursion::match_rest(match_param& m, const wchar_t* p) const {
  guard(m);
  // Entering the pattern again where it was entered would loop for ever.
  if (p == m.groups[0].tentative_begin) return next->match_rest(m, p);
  // The inner match must leave no trace in the records (group 0 above all),
  // or a failure after it would be reported as a match.
  std::vector<backref_tag> saved(m.groups, m.groups + m.group_count);
  bool savedReject = m.reject_empty;
  m.reject_empty = false;
  bool inner = m.first->match_rest(m, p);
  m.reject_empty = savedReject;
  const wchar_t* innerEnd = m.groups[0].end;
  std::copy(saved.begin(), saved.end(), m.groups);
  return inner && next->match_rest(m, innerEnd);
}

// ---- literal-prefix searcher ----

literal_searcher::literal_searcher(const wchar_t* literal, size_t length, const wchar_t* otherCase) {
  size_t k = std::min<size_t>(length, 255);
  literal_.assign(literal, k);
  if (otherCase) other_.assign(otherCase, k);
  std::memset(skip_, int(k), sizeof(skip_));
  for (size_t i = 0; i + 1 < k; ++i) {
    skip_[literal_[i] & 0xFF] = uint8_t(k - 1 - i);
    if (otherCase) skip_[other_[i] & 0xFF] = std::min(skip_[other_[i] & 0xFF], uint8_t(k - 1 - i));
  }
  shift_ = k - 1;
}

const wchar_t* literal_searcher::find(const wchar_t* from, const wchar_t* end) const {
  size_t k = literal_.size();
  if (size_t(end - from) < k) return end;
  const wchar_t* windowEnd = from + shift_;
  const bool nocase = !other_.empty();
  while (windowEnd < end) {
    size_t j = 0;
    while (j < k) {
      wchar_t c = windowEnd[-ptrdiff_t(j)];
      size_t i = k - 1 - j;
      if (c != literal_[i] && (!nocase || c != other_[i])) break;
      ++j;
    }
    if (j == k) return windowEnd - shift_;
    windowEnd += skip_[*windowEnd & 0xFF];
  }
  return end;
}

}  // namespace detail
}  // namespace regex
