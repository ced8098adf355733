// The coverage of one source file as the gcov importers read it: per line the count, branches,
// calls and per-instantiation counts, the functions, and the source lines themselves. Kept
// compact (a few dozen bytes a line, details and texts in shared buffers), because a listing of
// millions of lines is held whole while the view is filled.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace source_view_app {

// A run of records of a shared buffer: the branches or calls of one line.
template <class T>
class record_range_t {
 public:
  record_range_t(const T* first, const T* last) : m_first(first), m_last(last) {}
  const T* begin() const { return m_first; }
  const T* end() const { return m_last; }
  std::size_t size() const { return std::size_t(m_last - m_first); }
  bool empty() const { return m_first == m_last; }
  const T& operator[](std::size_t i) const { return m_first[i]; }

 private:
  const T* m_first;
  const T* m_last;
};

// A place in file_coverage_t::detail_text: gcov's own words for a branch or call.
struct detail_text_t {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};

struct branch_record_t {
  enum class state_t : std::uint8_t { taken, not_taken, never_executed };
  std::uint64_t count = 0;  // times taken (0 when gcov gave a percentage only)
  detail_text_t text;       // after "branch N", e.g. "taken 4 (fallthrough)"
  state_t state = state_t::never_executed;
  bool fallthrough = false;
  bool throws = false;
};

// One call site of a line: "returned 1500", "never executed".
struct call_record_t {
  detail_text_t text;
  bool executed = false;
};

// One template instantiation's (or inlined copy's) counts for a line.
struct instance_count_t {
  std::string function;  // the instantiation's name as gcov wrote it
  bool executable = true;
  std::uint64_t count = 0;
  std::string count_text;  // as shown, e.g. "#####" or "1.5k"
};

// A line's counts. Its branches and calls are the records from first_branch (first_call) up to
// the next line's; file_coverage_t answers them.
struct line_record_t {
  std::uint64_t count = 0;
  std::uint32_t first_branch = 0;
  std::uint32_t first_call = 0;
  // Where the count's human-readable form ("1.5k") is kept in detail_text, for a count that is
  // not exact; 0 for an exact count.
  std::uint32_t human_count = 0;
  bool executable = false;        // gcov wrote a count (not "-")
  bool exact = true;              // false for human-readable counts
  bool unexecuted_block = false;  // "*" suffix: some block of the line never ran
  bool exceptional_only = false;  // "=====": reached only on exceptional paths
};

// Instantiation counts by line (or row), kept only where there are any.
using instance_map_t = std::map<std::size_t, std::vector<instance_count_t>>;

// The counts kept for `key`; none when there are none.
const std::vector<instance_count_t>& instances_at(const instance_map_t& instances, std::size_t key);

// gcov's words at `place` of a shared text buffer.
inline std::string_view words_at(const std::string& text, detail_text_t place) {
  return std::string_view(text).substr(place.offset, place.length);
}

struct function_record_t {
  std::string name;         // as written (demangled where the input gives that)
  unsigned first_line = 0;  // 1-based; 0 when unknown
  unsigned last_line = 0;
  std::uint64_t calls = 0;
  double returned_percent = 0;
  double blocks_percent = 0;
};

// Lines of text kept in blocks of about a MiB, so that growing never copies what was read and
// the blocks already used can be given back one by one. A line costs its bytes and four more.
class source_text_t {
 public:
  source_text_t() = default;
  source_text_t(std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines) push_back(line);
  }
  void push_back(std::string_view line);
  std::string_view operator[](std::size_t line) const;
  std::size_t size() const { return m_starts.size(); }
  bool empty() const { return m_starts.empty(); }
  // The text of lines before `line` is no longer read: the blocks holding only such lines are
  // freed. Reading those lines afterwards is not allowed.
  void release_before(std::size_t line);

  friend bool operator==(const source_text_t& a, const source_text_t& b);

 private:
  struct block_t {
    std::unique_ptr<char[]> bytes;
    std::size_t used = 0;
    std::size_t capacity = 0;
    std::size_t first_line = 0;  // the first line with text in this block
  };
  std::vector<block_t> m_blocks;
  std::size_t m_released = 0;           // blocks before this one are freed
  std::vector<std::uint32_t> m_starts;  // per line: where its text starts in its block
};

struct file_coverage_t {
  std::string input_path;            // the file read (gcov text or JSON)
  std::string source_name;           // the source's name as the input gives it
  source_text_t source_lines;        // UTF-8, without line ends
  std::vector<line_record_t> lines;  // one per source line
  std::vector<branch_record_t> branches;
  std::vector<call_record_t> calls;
  std::string detail_text;   // the words of branches and calls, the human-readable counts
  instance_map_t instances;  // by 0-based line, where any
  std::vector<function_record_t> functions;
  unsigned runs = 0;

  // Line `index` (0-based) is added after the others; its branches and calls follow.
  void add_line(const line_record_t& line);
  void add_branch(branch_record_t branch, std::string_view text);
  void add_call(call_record_t call, std::string_view text);
  std::uint32_t keep_text(std::string_view text);

  record_range_t<branch_record_t> branches_of(std::size_t index) const;
  record_range_t<call_record_t> calls_of(std::size_t index) const;
  const std::vector<instance_count_t>& instances_of(std::size_t index) const {
    return instances_at(instances, index);
  }
  std::string_view text_of(detail_text_t text) const { return words_at(detail_text, text); }
  // The count as the view shows it: gcov's decimal number, or its human-readable form ("1.5k")
  // when that is all the input holds; empty for a line without a count.
  std::string count_text(std::size_t index) const;
};

// Lines and branches executed over those that could be.
struct coverage_totals_t {
  std::uint64_t lines_executed = 0;
  std::uint64_t lines_executable = 0;
  std::uint64_t branches_taken = 0;
  std::uint64_t branches_total = 0;
};

coverage_totals_t count_totals(const file_coverage_t& coverage);

// "1234 / 2000 (61.7 %)"; "0 / 0" without anything to count.
std::string format_ratio(std::uint64_t part, std::uint64_t whole);

}  // namespace source_view_app
