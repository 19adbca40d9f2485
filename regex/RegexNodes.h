// Internals of the regular-expression engine: arena, character sets and the
// matcher nodes that the compiler links into a graph.
#pragma once

#include "regex/Regex.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace regex {
namespace detail {

constexpr uint32_t kUnbounded = 0xFFFFFFFF;
constexpr uint32_t kNoGroup = 0xFFFFFFFF;

struct width_t {
  uint32_t min, max;
};
constexpr width_t kZeroWidth{0, 0};
constexpr width_t kWorstWidth{0, kUnbounded};
width_t add_width(width_t a, width_t b);
width_t repeat_width(width_t w, uint32_t min, uint32_t max);

// Nodes, sets and arrays of one pattern live here and go with it; objects
// with destructors are destroyed in reverse order of creation.
class arena_allocator {
 public:
  explicit arena_allocator(size_t blockSize = 352) : block_size_(blockSize) {}
  ~arena_allocator();
  arena_allocator(const arena_allocator&) = delete;
  arena_allocator& operator=(const arena_allocator&) = delete;

  void* allocate(size_t bytes);
  template <class T, class... Args>
  T* make(Args&&... args) {
    T* object = new (allocate(sizeof(T))) T(std::forward<Args>(args)...);
    if (!std::is_trivially_destructible<T>::value) destructors_.push_back({object, [](void* p) { static_cast<T*>(p)->~T(); }});
    return object;
  }
  wchar_t* copy(const wchar_t* text, size_t length);

 private:
  struct block {
    size_t used, size;
    block* prev;
  };
  struct destructor {
    void* object;
    void (*destroy)(void*);
  };
  size_t block_size_;
  block* newest_ = nullptr;
  std::vector<destructor> destructors_;
};

// Thrown inside a match when the stack or the work allowance runs out.
struct match_abort {};

// What the iterative form must undo when it backtracks: records pushed by the
// nodes, each popped again by the node kind that pushed it.
class backtrack_stack {
 public:
  size_t mark() const { return top_; }
  void rewind(size_t mark) { top_ = mark; }
  template <class T>
  void push(const T& value) {
    if (top_ + sizeof(T) > data_.size()) data_.resize(std::max<size_t>(4080, data_.size() * 2));
    std::memcpy(&data_[top_], &value, sizeof(T));
    top_ += sizeof(T);
  }
  template <class T>
  T pop() {
    top_ -= sizeof(T);
    T value;
    std::memcpy(&value, &data_[top_], sizeof(T));
    return value;
  }
  template <class T>
  T top() const {
    T value;
    std::memcpy(&value, &data_[top_ - sizeof(T)], sizeof(T));
    return value;
  }
  template <class T>
  void set_top(const T& value) {
    std::memcpy(&data_[top_ - sizeof(T)], &value, sizeof(T));
  }

 private:
  std::vector<unsigned char> data_;
  size_t top_ = 0;
};

struct match_param {
  backref_tag* groups;
  const wchar_t* end;
  const wchar_t* cur;  // iterative form
  size_t group_count;
  const class sub_expr* next_node;  // iterative form; null when the pattern is complete
  const wchar_t* begin;
  const wchar_t* search_start;
  const class sub_expr* first;
  backtrack_stack* stack;  // null in the recursive form
  bool reject_empty;
  const char* stack_limit;
  uint32_t budget;
};

// Called on every step of a match so that neither the machine stack nor the
// time spent is unbounded; an exhausted allowance fails the whole search.
inline void guard(match_param& m) {
  char probe = 0;
  if (&probe < m.stack_limit || --m.budget == 0) throw match_abort();
}

// Work within one step (code units compared by a literal or a back-reference,
// repetitions taken at once by a quantifier) comes from the same allowance:
// a step that scans thousands of units is not one step's worth.
inline void charge(match_param& m, size_t units) {
  if (units >= m.budget) throw match_abort();
  m.budget -= uint32_t(units);
}

// The lowest stack address that matching or compiling may reach: a margin
// above the bottom of the thread's stack, so that running out of stack fails
// the match (or the compilation) instead of the process.
const char* stack_limit();

// Patterns nest deeper than the stack allows only when they are not written
// by hand; they are refused like any other pattern that cannot be compiled.
inline void check_compile_stack(const char* limit) {
  char probe = 0;
  if (&probe < limit) throw bad_regexpr("ill-formed regular expression");
}

inline int hex_value(wchar_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Narrow and wide classification masks by POSIX name.
uint16_t class_mask(const char* name);

class class_set {
 public:
  class_set() = default;
  class_set(bool negated, uint16_t mask, const char* extras);
  virtual ~class_set() = default;

  void add(wchar_t c, bool ignoreCase);
  void add_range(wchar_t lo, wchar_t hi, bool ignoreCase);  // throws on hi < lo
  void add_class(uint16_t mask) { mask_ |= mask; }
  void add_negated_class(uint16_t mask) { negated_classes_.push_back(mask); }
  void add_nested(const class_set* set) { nested_.push_back(set); }
  void merge(const class_set& predefined);
  void finish();
  void set_negated(bool negated) { negated_ = negated; }

  bool contains(wchar_t c) const { return raw(c) != negated_; }
  bool contains_nocase(wchar_t c) const;

 private:
  bool raw(wchar_t c) const;
  bool negated_ = false;
  bool no_extras_ = false;
  uint32_t table_[8] = {};
  uint16_t mask_ = 0;
  std::vector<std::pair<wchar_t, wchar_t>> ranges_;
  std::vector<uint16_t> negated_classes_;
  std::vector<const class_set*> nested_;
};

enum predefined_kind { word_class, digit_class, space_class };
const class_set& predefined(predefined_kind kind, bool negated);

// Facts about how a match must start, for the first-character filter and
// the literal-prefix searcher.
struct prefix_probe {
  std::vector<wchar_t> first_units;
  bool has_literal = false;
  const wchar_t* literal = nullptr;
  size_t literal_length = 0;
  const wchar_t* other_case = nullptr;
};

struct compile_context {
  std::vector<class match_group*> groups;  // by internal number, null until its width is known
  const std::vector<uint32_t>* hidden;
  const char* stack_limit;
  uint32_t to_internal(uint32_t number) const;
};

class sub_expr {
 public:
  sub_expr* next = nullptr;
  virtual ~sub_expr() = default;
  virtual bool match_rest(match_param& m, const wchar_t* p) const;
  // Iterative form: step matches at m.cur and sets m.next_node; undo_step
  // takes back what step pushed, or offers another way (true).
  virtual bool step(match_param& m) const {
    m.next_node = next;
    return true;
  }
  virtual bool undo_step(match_param&) const { return false; }
  virtual bool match_one(match_param&, const wchar_t*&) const { return true; }
  virtual bool is_zero_width_assertion() const { return false; }
  virtual width_t compute_width(compile_context& context) = 0;
  virtual bool probe_prefix(prefix_probe&) const { return false; }
  virtual sub_expr* quantify(uint32_t, uint32_t, bool, arena_allocator&) { return nullptr; }
};

class end_of_pattern : public sub_expr {
 public:
  bool match_rest(match_param& m, const wchar_t* p) const override;
  bool step(match_param& m) const override;
  width_t compute_width(compile_context&) override { return kZeroWidth; }
};

// Runs the iterative form from first at m.cur; true when the pattern completed.
bool run_iterative(match_param& m, const sub_expr* first);

// Consuming leaves: match_one tests and advances, leaving p alone on failure.
class leaf : public sub_expr {
 public:
  bool step(match_param& m) const override;
  bool undo_step(match_param& m) const override;
  width_t compute_width(compile_context&) override { return {1, 1}; }
  sub_expr* quantify(uint32_t min, uint32_t max, bool greedy, arena_allocator& arena) override;
};

class match_char : public leaf {
 public:
  explicit match_char(wchar_t c) : c_(c) {}
  bool match_one(match_param& m, const wchar_t*& p) const override;
  bool probe_prefix(prefix_probe& probe) const override;

 private:
  wchar_t c_;
};

class match_char_nocase : public leaf {
 public:
  explicit match_char_nocase(wchar_t c);
  bool match_one(match_param& m, const wchar_t*& p) const override;
  bool probe_prefix(prefix_probe& probe) const override;

 private:
  wchar_t lower_, upper_;
};

class match_literal : public leaf {
 public:
  match_literal(const wchar_t* text, size_t length, const wchar_t* otherCase)
      : text_(text), other_(otherCase), length_(length) {}
  bool match_one(match_param& m, const wchar_t*& p) const override;
  width_t compute_width(compile_context&) override { return {uint32_t(length_), uint32_t(length_)}; }
  bool probe_prefix(prefix_probe& probe) const override;

 private:
  const wchar_t* text_;
  const wchar_t* other_;  // null when case matters
  size_t length_;
};

class match_any : public leaf {
 public:
  explicit match_any(bool newline) : newline_(newline) {}
  bool match_one(match_param& m, const wchar_t*& p) const override;

 private:
  bool newline_;
};

class match_charset : public leaf {
 public:
  match_charset(const class_set* set, bool ignoreCase) : set_(set), nocase_(ignoreCase) {}
  bool match_one(match_param& m, const wchar_t*& p) const override;

 private:
  const class_set* set_;
  bool nocase_;
};

class match_backref : public leaf {
 public:
  match_backref(uint32_t group, bool ignoreCase) : group_(group), nocase_(ignoreCase) {}
  bool match_one(match_param& m, const wchar_t*& p) const override;
  width_t compute_width(compile_context& context) override;

 private:
  uint32_t group_;
  bool nocase_;
};

class leaf_quantifier : public sub_expr {
 public:
  leaf_quantifier(leaf* repeated, uint32_t min, uint32_t max, bool greedy)
      : leaf_(repeated), min_(min), max_(max), greedy_(greedy) {}
  bool match_rest(match_param& m, const wchar_t* p) const override;
  bool step(match_param& m) const override;
  bool undo_step(match_param& m) const override;
  width_t compute_width(compile_context& context) override;
  bool probe_prefix(prefix_probe& probe) const override;

 private:
  leaf* leaf_;
  uint32_t min_, max_;
  bool greedy_;
};

enum assertion_kind { bos, bol, eos_or_final_newline, eol, eos, word_boundary, not_word_boundary };

class match_assertion : public sub_expr {
 public:
  explicit match_assertion(assertion_kind kind) : kind_(kind) {}
  bool match_rest(match_param& m, const wchar_t* p) const override;
  bool step(match_param& m) const override;
  bool is_zero_width_assertion() const override { return true; }
  width_t compute_width(compile_context&) override { return kZeroWidth; }
  bool probe_prefix(prefix_probe& probe) const override { return next->probe_prefix(probe); }

 private:
  bool holds(const match_param& m, const wchar_t* p) const;
  assertion_kind kind_;
};

class match_group;

class end_group : public sub_expr {
 public:
  explicit end_group(match_group* owner) : owner_(owner) {}
  bool match_rest(match_param& m, const wchar_t* p) const override;
  bool step(match_param& m) const override;
  bool undo_step(match_param& m) const override;
  width_t compute_width(compile_context&) override { return kZeroWidth; }

 private:
  match_group* owner_;
};

class match_group : public sub_expr {
 public:
  explicit match_group(uint32_t number) : number_(number), end_(this) {}
  bool match_rest(match_param& m, const wchar_t* p) const override;
  bool step(match_param& m) const override { return group_step(m); }
  bool undo_step(match_param& m) const override { return group_undo(m); }
  width_t compute_width(compile_context& context) override;
  bool probe_prefix(prefix_probe& probe) const override;
  sub_expr* quantify(uint32_t min, uint32_t max, bool greedy, arena_allocator& arena) override;
  virtual void set_nested_groups(uint32_t, uint32_t) {}
  virtual sub_expr* end_node() { return &end_; }

  // Building: alternatives are chains ending at the end node.
  std::vector<sub_expr*> alternatives;
  void close();  // builds the first-character filter

  uint32_t number() const { return number_; }
  width_t width() const { return width_; }

 protected:
  bool try_alternatives(match_param& m, const wchar_t* p) const;
  bool group_step(match_param& m) const;
  bool group_undo(match_param& m) const;
  uint32_t number_;
  width_t width_{kUnbounded, kUnbounded};
  std::vector<wchar_t> filter_;
  bool has_filter_ = false;
  end_group end_;
};

class group_quantifier;

class end_quantifier : public sub_expr {
 public:
  explicit end_quantifier(group_quantifier* owner) : owner_(owner) {}
  bool match_rest(match_param& m, const wchar_t* p) const override;
  bool step(match_param& m) const override;
  bool undo_step(match_param& m) const override;
  width_t compute_width(compile_context&) override { return kZeroWidth; }

 private:
  group_quantifier* owner_;
};

class group_quantifier : public sub_expr {
 public:
  group_quantifier(match_group* group, uint32_t min, uint32_t max, bool greedy);
  bool match_rest(match_param& m, const wchar_t* p) const override;
  bool step(match_param& m) const override;
  bool undo_step(match_param& m) const override;
  width_t compute_width(compile_context& context) override;
  bool probe_prefix(prefix_probe& probe) const override;

 private:
  friend class end_quantifier;
  match_group* group_;
  uint32_t min_, max_;
  bool greedy_;
  end_quantifier end_;
};

// Look-ahead, look-behind and independent sub-expressions.
class assertion_group;

class end_assertion : public sub_expr {
 public:
  explicit end_assertion(assertion_group* owner) : owner_(owner) {}
  bool match_rest(match_param& m, const wchar_t* p) const override;
  bool step(match_param& m) const override;
  width_t compute_width(compile_context&) override { return kZeroWidth; }

 private:
  assertion_group* owner_;
};

// Enters an assertion's alternatives in a nested iterative sub-match.
class assertion_entry : public sub_expr {
 public:
  explicit assertion_entry(assertion_group* owner) : owner_(owner) {}
  bool step(match_param& m) const override;
  bool undo_step(match_param& m) const override;
  width_t compute_width(compile_context&) override { return kZeroWidth; }

 private:
  assertion_group* owner_;
};

class assertion_group : public match_group {
 public:
  enum kind_t { ahead, behind, independent };
  assertion_group(kind_t kind, bool expected, uint32_t number)
      : match_group(number), kind_(kind), expected_(expected), end_assert_(this), entry_(this) {}
  bool match_rest(match_param& m, const wchar_t* p) const override;
  bool step(match_param& m) const override;
  bool undo_step(match_param& m) const override;
  bool is_zero_width_assertion() const override { return kind_ != independent; }
  width_t compute_width(compile_context& context) override;
  bool probe_prefix(prefix_probe& probe) const override;
  sub_expr* quantify(uint32_t min, uint32_t max, bool greedy, arena_allocator& arena) override;
  void set_nested_groups(uint32_t first, uint32_t count) override { nested_first_ = first, nested_count_ = count; }
  sub_expr* end_node() override { return &end_assert_; }

  // Whether the inner expression's outcome at p is the expected one; the
  // nested records keep what it captured. Used by conditionals as well.
  bool test(match_param& m, const wchar_t* p, const wchar_t** innerEnd) const;
  void save_nested(const match_param& m, std::vector<backref_tag>& saved) const;
  void restore_nested(match_param& m, const std::vector<backref_tag>& saved) const;

 private:
  friend class end_assertion;
  friend class assertion_entry;
  bool iterative_outcome(match_param& m, const wchar_t* from) const;
  kind_t kind_;
  bool expected_;
  uint32_t nested_first_ = 0, nested_count_ = 0;
  end_assertion end_assert_;
  assertion_entry entry_;
};

class match_conditional : public match_group {
 public:
  match_conditional(uint32_t number, uint32_t condition, assertion_group* assertion)
      : match_group(number), condition_(condition), assertion_(assertion) {}
  bool match_rest(match_param& m, const wchar_t* p) const override;
  bool step(match_param& m) const override;
  bool undo_step(match_param& m) const override;
  width_t compute_width(compile_context& context) override;
  bool probe_prefix(prefix_probe&) const override { return false; }

 private:
  uint32_t condition_;          // group number, when assertion_ is null
  assertion_group* assertion_;  // look-around condition
};

class match_recursion : public sub_expr {
 public:
  bool match_rest(match_param& m, const wchar_t* p) const override;
  bool step(match_param& m) const override;
  bool undo_step(match_param& m) const override;
  width_t compute_width(compile_context&) override { return kWorstWidth; }
};

class literal_searcher {
 public:
  literal_searcher(const wchar_t* literal, size_t length, const wchar_t* otherCase);
  // First occurrence at or after from, or end.
  const wchar_t* find(const wchar_t* from, const wchar_t* end) const;

 private:
  std::wstring literal_, other_;
  size_t shift_;
  uint8_t skip_[256];
};

}  // namespace detail
}  // namespace regex
