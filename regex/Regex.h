// Backtracking regular expressions over UTF-16 text (one code unit is one
// character). Compilation errors throw regex::bad_regexpr; a match that runs
// out of stack or of its work allowance ends as "no match". The allowance is
// one per call (a find_all call's searches share it) and grows with the
// subject's length.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace regex {

enum : uint32_t {
  ignore_case = 0x001,         // (?i)
  find_all = 0x002,            // repeat the search after each match
  multi_line = 0x004,          // (?m): ^ and $ also at line feeds
  dot_all = 0x008,             // (?s): . also matches a line feed
  from_right = 0x010,          // try start positions from the right end
  keep_whole_matches = 0x040,  // find_all: collect group 0 of every match
  keep_all_groups = 0x080,     // find_all: collect every group of every match
  text_escapes = 0x100,        // \a \f \n \r \t \\ in patterns and replacements
  free_spacing = 0x200,        // (?x): white space and # comments are skipped
};

enum match_mode : uint32_t { recursive = 0, iterative = 1, automatic = 2 };

// One group of a match; its text is [begin, end) when matched is set.
struct backref_tag {
  const wchar_t* begin;
  const wchar_t* end;
  bool matched;
  // Working fields of the matcher.
  const wchar_t* tentative_begin;
  uint32_t count;
  bool active;
  const wchar_t* prev_begin;
  const wchar_t* cur_begin;

  std::wstring str() const { return matched ? std::wstring(begin, end) : std::wstring(); }
  size_t length() const { return matched ? size_t(end - begin) : 0; }
};

class bad_regexpr : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// Index = group number as the caller sees it, 0 the whole match.
struct match_results {
  std::vector<backref_tag> groups;
  const wchar_t* subject = nullptr;

  size_t size() const { return groups.size(); }
  const backref_tag& operator[](size_t index) const;  // out of range: unmatched
  std::wstring str(size_t index) const { return (*this)[index].str(); }
};

namespace detail {
class arena_allocator;
class match_group;
class literal_searcher;
struct driver;
}

class pattern_base {
 public:
  pattern_base(const std::wstring& pattern, uint32_t flags, uint32_t mode);
  pattern_base(const std::wstring& pattern, const std::wstring& replacement, uint32_t flags, uint32_t mode);
  virtual ~pattern_base();
  pattern_base(const pattern_base&) = delete;
  pattern_base& operator=(const pattern_base&) = delete;

  // Matches [begin, end); returns group 0, or the static unmatched record.
  const backref_tag& match(const wchar_t* begin, const wchar_t* end, match_results& results) const;
  const backref_tag& match(const std::wstring& subject, match_results& results) const;
  const backref_tag& match(const wchar_t* nulTerminated, match_results& results) const;

  uint32_t flags() const { return flags_; }
  uint32_t capturing_count() const { return capturing_count_; }  // group 0 included
  uint32_t min_length() const { return min_length_; }
  uint32_t max_length() const { return max_length_; }
  bool must_scan() const { return must_scan_; }
  bool use_recursion() const;
  void swap(pattern_base& other);

 protected:
  void compile(uint32_t flags);

  std::unique_ptr<detail::arena_allocator> arena_;
  bool must_scan_ = true;
  bool recursion_safe_ = true;
  uint32_t group_counter_ = 0;
  uint32_t capturing_count_ = 0;
  uint32_t flags_;
  uint32_t mode_;
  uint32_t min_length_ = 0xFFFFFFFF;
  uint32_t max_length_ = 0xFFFFFFFF;
  std::wstring pattern_;
  std::wstring replacement_;
  detail::match_group* top_ = nullptr;
  std::vector<uint32_t> hidden_groups_;
  std::unique_ptr<detail::literal_searcher> searcher_;

  friend struct detail::driver;
};

class compiled_pattern : public pattern_base {
 public:
  explicit compiled_pattern(const std::wstring& pattern, uint32_t flags = 0, uint32_t mode = recursive);
};

// A pattern paired with a parsed replacement text.
struct replacement_part {
  enum kind_t { literal, group, before_match, after_match, whole_match,
                upper_next, lower_next, upper_until_end, lower_until_end, end_case };
  kind_t kind;
  uint32_t value;   // literal: offset in the replacement text; group: its number
  uint32_t length;  // literal only
};

class substitution : public pattern_base {
 public:
  substitution(const std::wstring& pattern, const std::wstring& replacement, uint32_t flags = 0,
               uint32_t mode = recursive);
  void set_pattern(const std::wstring& pattern, uint32_t flags, uint32_t mode);
  void set_replacement(const std::wstring& replacement);
  const std::wstring& replacement() const { return replacement_; }
  const std::vector<replacement_part>& parts() const { return parts_; }
  bool parts_need_subject() const { return needs_subject_; }

 private:
  std::vector<replacement_part> parts_;
  bool needs_subject_ = false;
};

}  // namespace regex
