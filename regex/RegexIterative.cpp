// The iterative matching form: the driver loop and each node's step and
// undo_step. What a step must take back on backtracking goes on the
// backtrack stack, so the machine stack stays flat however long the subject.
#include "regex/RegexNodes.h"

#include <algorithm>

namespace regex {
namespace detail {

namespace {

struct old_backref {
  const wchar_t* begin;
  const wchar_t* end;
  bool matched;
};

struct old_quant {
  uint32_t count;
  bool active;
  const wchar_t* prev_begin;
  const wchar_t* cur_begin;
};

struct leaf_state {
  const wchar_t* start;
  uint32_t count;
};

}  // namespace

bool run_iterative(match_param& m, const sub_expr* first) {
  backtrack_stack& stack = *m.stack;
  const size_t mark = stack.mark();
  const sub_expr* node = first;
  for (;;) {
    guard(m);
    if (node->step(m)) {
      if (!m.next_node) {
        stack.rewind(mark);
        return true;
      }
      stack.push(node);
      node = m.next_node;
      continue;
    }
    for (;;) {
      if (stack.mark() == mark) return false;
      const sub_expr* previous = stack.pop<const sub_expr*>();
      if (previous->undo_step(m)) {
        stack.push(previous);
        node = m.next_node;
        break;
      }
    }
  }
}

bool end_of_pattern::step(match_param& m) const {
  m.next_node = nullptr;
  return !(m.reject_empty && m.cur == m.search_start);
}

// ---- leaves ----

bool leaf::step(match_param& m) const {
  const wchar_t* p = m.cur;
  if (!match_one(m, p)) return false;
  m.stack->push(m.cur);
  m.cur = p;
  m.next_node = next;
  return true;
}

bool leaf::undo_step(match_param& m) const {
  m.cur = m.stack->pop<const wchar_t*>();
  return false;
}

bool leaf_quantifier::step(match_param& m) const {
  const wchar_t* start = m.cur;
  const wchar_t* q = start;
  uint32_t count = 0;
  if (greedy_) {
    if (max_ != 0 && q != m.end && leaf_->match_one(m, q)) {
      count = 1;
      if (q == start) count = std::max(min_, 1u);  // an empty back-reference: giving back changes nothing
      else
        while (count < max_ && q != m.end && leaf_->match_one(m, q)) ++count;
    }
  } else {
    while (count < min_) {
      const wchar_t* before = q;
      if (!leaf_->match_one(m, q)) break;
      if (q == before) {
        count = min_;
        break;
      }
      ++count;
    }
  }
  charge(m, size_t(q - start));
  if (count < min_) return false;
  m.stack->push(leaf_state{start, count});
  m.cur = q;
  m.next_node = next;
  return true;
}

bool leaf_quantifier::undo_step(match_param& m) const {
  leaf_state state = m.stack->top<leaf_state>();
  if (greedy_) {
    if (state.count > min_ && m.cur != state.start) {
      ptrdiff_t step = (m.cur - state.start) / ptrdiff_t(state.count);
      --state.count;
      m.stack->set_top(state);
      m.cur -= step;
      m.next_node = next;
      return true;
    }
  } else {
    const wchar_t* q = m.cur;
    if (state.count < max_ && leaf_->match_one(m, q) && q != m.cur) {
      ++state.count;
      m.stack->set_top(state);
      m.cur = q;
      m.next_node = next;
      return true;
    }
  }
  m.stack->pop<leaf_state>();
  m.cur = state.start;
  return false;
}

// ---- groups ----

bool match_group::group_step(match_param& m) const {
  const wchar_t* p = m.cur;
  if (has_filter_ && (p == m.end || std::find(filter_.begin(), filter_.end(), *p) == filter_.end())) return false;
  if (number_ != kNoGroup) {
    backref_tag& g = m.groups[number_];
    m.stack->push(g.tentative_begin);
    g.tentative_begin = p;
  }
  m.stack->push(uint32_t(0));
  m.next_node = alternatives[0];
  return true;
}

bool match_group::group_undo(match_param& m) const {
  uint32_t index = m.stack->top<uint32_t>() + 1;
  if (index < alternatives.size()) {
    m.stack->set_top(index);
    m.next_node = alternatives[index];
    return true;
  }
  m.stack->pop<uint32_t>();
  if (number_ != kNoGroup) m.groups[number_].tentative_begin = m.stack->pop<const wchar_t*>();
  return false;
}

bool end_group::step(match_param& m) const {
  uint32_t number = owner_->number();
  m.next_node = owner_->next;
  if (number == kNoGroup) return true;
  backref_tag& g = m.groups[number];
  m.stack->push(old_backref{g.begin, g.end, g.matched});
  g.matched = true;
  g.begin = g.tentative_begin;
  g.end = m.cur;
  return true;
}

bool end_group::undo_step(match_param& m) const {
  uint32_t number = owner_->number();
  if (number == kNoGroup) return false;
  old_backref old = m.stack->pop<old_backref>();
  backref_tag& g = m.groups[number];
  g.begin = old.begin;
  g.end = old.end;
  g.matched = old.matched;
  return false;
}

// ---- quantified groups ----

bool group_quantifier::step(match_param& m) const {
  backref_tag& g = m.groups[group_->number()];
  m.stack->push(old_quant{g.count, g.active, g.prev_begin, g.cur_begin});
  g.count = 0;
  g.active = true;
  g.prev_begin = g.cur_begin = nullptr;
  m.next_node = &end_;  // the end node makes the first decision
  return true;
}

bool group_quantifier::undo_step(match_param& m) const {
  old_quant old = m.stack->pop<old_quant>();
  backref_tag& g = m.groups[group_->number()];
  g.count = old.count;
  g.active = old.active;
  g.prev_begin = old.prev_begin;
  g.cur_begin = old.cur_begin;
  return false;
}

bool end_quantifier::step(match_param& m) const {
  const group_quantifier& q = *owner_;
  backref_tag& g = m.groups[q.group_->number()];
  const wchar_t* oldPrev = g.prev_begin;
  m.stack->push(oldPrev);
  g.prev_begin = g.cur_begin;
  g.cur_begin = m.cur;
  if (m.cur == oldPrev) {  // two iterations in a row consumed nothing
    m.next_node = q.next;
    return true;
  }
  bool iterate = q.greedy_ ? g.count < q.max_ : g.count < q.min_;
  g.active = iterate;
  if (iterate) ++g.count;
  m.next_node = iterate ? static_cast<const sub_expr*>(q.group_) : q.next;
  return true;
}

bool end_quantifier::undo_step(match_param& m) const {
  const group_quantifier& q = *owner_;
  backref_tag& g = m.groups[q.group_->number()];
  auto undo = [&] {
    g.cur_begin = g.prev_begin;
    g.prev_begin = m.stack->pop<const wchar_t*>();
    return false;
  };
  if (g.cur_begin == m.stack->top<const wchar_t*>()) return undo();  // the zero-progress exit
  if (q.greedy_) {
    if (!g.active) {  // the exit had been taken
      g.active = true;
      return undo();
    }
    --g.count;  // an iteration had been taken: now try leaving the loop
    m.next_node = q.next;
    if (g.count >= q.min_) {
      g.active = false;
      return true;
    }
    return undo();
  }
  if (g.active) {  // an iteration below the minimum had been taken
    --g.count;
    return undo();
  }
  g.active = true;  // the exit had been taken: now try one more iteration
  if (g.count < q.max_) {
    ++g.count;
    m.next_node = q.group_;
    return true;
  }
  return undo();
}

// ---- look-around and independent groups ----

bool assertion_entry::step(match_param& m) const { return owner_->group_step(m); }

bool assertion_entry::undo_step(match_param& m) const { return owner_->group_undo(m); }

bool end_assertion::step(match_param& m) const {
  if (owner_->kind_ == assertion_group::behind && m.cur != m.end) return false;
  uint32_t number = owner_->number();
  if (number != kNoGroup) {
    backref_tag& g = m.groups[number];
    g.matched = true;
    g.begin = g.tentative_begin;
    g.end = m.cur;
  }
  m.next_node = nullptr;
  return true;
}

bool assertion_group::iterative_outcome(match_param& m, const wchar_t* from) const {
  m.cur = from;
  return run_iterative(m, &entry_);
}

bool assertion_group::step(match_param& m) const {
  for (uint32_t i = 0; i < nested_count_; ++i) m.stack->push(m.groups[nested_first_ + i]);
  const wchar_t* c = m.cur;
  m.stack->push(c);
  bool agrees;
  if (kind_ != behind) {
    bool matched = iterative_outcome(m, c);
    agrees = matched == expected_;
    if (!(matched && kind_ == independent)) m.cur = c;
  } else {
    size_t available = size_t(c - m.begin);
    if (width_.min > available) {
      agrees = !expected_;
    } else {
      size_t longest = std::min<size_t>(width_.max, available);
      const wchar_t* savedEnd = m.end;
      m.end = c;
      bool any = false;
      // Any admissible start that matches decides, for either sign.
      for (const wchar_t* s = c - longest; s <= c - width_.min && !any; ++s) any = iterative_outcome(m, s);
      m.end = savedEnd;
      agrees = any == expected_;
    }
    m.cur = c;
  }
  if (agrees) {
    m.next_node = next;
    return true;
  }
  undo_step(m);
  return false;
}

bool assertion_group::undo_step(match_param& m) const {
  m.cur = m.stack->pop<const wchar_t*>();
  for (uint32_t i = nested_count_; i-- > 0;) m.groups[nested_first_ + i] = m.stack->pop<backref_tag>();
  return false;
}

// ---- conditionals ----

bool match_conditional::step(match_param& m) const {
  bool first = assertion_ ? assertion_->step(m)
                          : condition_ < m.group_count && m.groups[condition_].matched;
  const sub_expr* branch = first ? alternatives[0] : alternatives.size() > 1 ? alternatives[1] : nullptr;
  backref_tag& g = m.groups[number_];
  m.stack->push(g.tentative_begin);
  g.tentative_begin = m.cur;
  m.stack->push(uint8_t(first));
  m.next_node = branch ? branch : next;
  return true;
}

bool match_conditional::undo_step(match_param& m) const {
  bool first = m.stack->pop<uint8_t>() != 0;
  m.groups[number_].tentative_begin = m.stack->pop<const wchar_t*>();
  if (first && assertion_) assertion_->undo_step(m);
  return false;
}

// ---- recursion ----

bool match_recursion::step(match_param& m) const {
  const wchar_t* c = m.cur;
  m.stack->push(c);
  m.next_node = next;
  if (c == m.groups[0].tentative_begin) return true;
  std::vector<backref_tag> saved(m.groups, m.groups + m.group_count);
  bool savedReject = m.reject_empty;
  m.reject_empty = false;
  bool inner = run_iterative(m, m.first);
  m.reject_empty = savedReject;
  const wchar_t* innerEnd = m.groups[0].end;
  std::copy(saved.begin(), saved.end(), m.groups);
  if (!inner) {
    m.cur = m.stack->pop<const wchar_t*>();
    return false;
  }
  m.cur = innerEnd;
  m.next_node = next;
  return true;
}

bool match_recursion::undo_step(match_param& m) const {
  m.cur = m.stack->pop<const wchar_t*>();
  return false;
}

}  // namespace detail
}  // namespace regex
