// Reading valgrind callgrind profiles: per part a header of "key: value" lines, then name lines
// (fl=, fn=, …, optionally compressed to "(id) name" and "(id)"), cost lines of positions and
// event counts (positions may be relative to the previous cost line: +N, -N, *) and calls= pairs.
#include "callgrind.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>
#include <unordered_map>

#include "import_error.h"
#include "input_file.h"

namespace source_view_app {

namespace {

constexpr std::uint32_t none = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint32_t largest_name_id = 1u << 24;  // ids index plain vectors
constexpr std::string_view unknown_name = "???";

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

int hex_digit(char c) {
  if (is_digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// The blank-separated word at `p`, quoted for messages.
std::string quoted_word(const char* p, const char* end) {
  const char* stop = p;
  while (stop < end && !is_blank(*stop)) ++stop;
  return '"' + std::string(p, stop) + '"';
}

bool read_hex(const char*& p, const char* end, std::uint64_t& out) {
  p += 2;  // "0x"
  if (p == end || hex_digit(*p) < 0) return false;
  std::uint64_t value = 0;
  for (int digit; p < end && (digit = hex_digit(*p)) >= 0; ++p) {
    if (value >> 60) return false;
    value = value << 4 | std::uint64_t(digit);
  }
  out = value;
  return true;
}

// A decimal or "0x" hexadecimal number at `p` that fits 64 bits; advances `p` past its digits.
bool read_number(const char*& p, const char* end, std::uint64_t& out) {
  if (p == end || !is_digit(*p)) return false;
  if (*p == '0' && end - p > 2 && (p[1] == 'x' || p[1] == 'X')) return read_hex(p, end, out);
  const char* start = p;
  std::uint64_t value = 0;
  while (p < end && is_digit(*p)) value = value * 10 + std::uint64_t(*p++ - '0');
  if (p - start > 19) {  // only then can the plain loop have overflowed: count again, checked
    value = 0;
    for (const char* q = start; q < p; ++q)
      if (__builtin_mul_overflow(value, 10u, &value) ||
          __builtin_add_overflow(value, std::uint64_t(*q - '0'), &value))
        return false;
  }
  out = value;
  return true;
}

// Asks for huge pages under a large buffer that is about to be filled: filling hundreds of
// megabytes page by page spends more time in page faults than in parsing.
void advise_huge(const void* data, std::size_t bytes) {
  constexpr std::uintptr_t huge = 2u << 20;
  auto start = reinterpret_cast<std::uintptr_t>(data);
  std::uintptr_t begin = (start + huge - 1) & ~(huge - 1);
  std::uintptr_t end = (start + bytes) & ~(huge - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// Makes room for `needed` elements in all: the capacity at least doubles, and the new storage is
// given huge pages before the old contents are copied in.
template <typename T>
void reserve_huge(std::vector<T>& v, std::size_t needed) {
  if (needed <= v.capacity()) return;
  std::vector<T> bigger;
  bigger.reserve(std::max(needed, v.capacity() * 2));
  advise_huge(bigger.data(), bigger.capacity() * sizeof(T));
  bigger.insert(bigger.end(), v.begin(), v.end());
  v.swap(bigger);
}

// An open-addressing table from a two-word key to an index (`none` when absent): the merge keys
// of functions, lines and calls, looked up for every cost line without allocating. The slot is a
// hash of the first word plus the second word, so that the lines of one function, read one after
// the other, land in neighbouring slots instead of a cache miss each. The second word is 32 bits
// wide where it can be, which halves the memory the table walks through.
template <typename second_t>
class index_table_t {
 public:
  index_table_t() : m_slots(1024) {}

  // The index under the key; when there is none, `value` becomes it.
  std::uint32_t find_or_insert(std::uint64_t a, second_t b, std::uint32_t value) {
    if ((m_used + 1) * 4 > m_slots.size() * 3) grow();
    std::size_t i = slot_of(a, b);
    for (; m_slots[i].value != none; i = (i + 1) & mask())
      if (m_slots[i].a == a && m_slots[i].b == b) return m_slots[i].value;
    m_slots[i] = slot_t{a, b, value};
    ++m_used;
    return value;
  }

 private:
  struct slot_t {
    std::uint64_t a = 0;
    second_t b = 0;
    std::uint32_t value = none;
  };

  std::size_t mask() const { return m_slots.size() - 1; }

  static std::uint64_t mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    return h ^ h >> 33;
  }

  // A second word above 32 bits (a call's line and callee) is spread; a line number is kept.
  std::size_t slot_of(std::uint64_t a, second_t b) const {
    std::uint64_t wide = b;
    return std::size_t(mix(a) + (wide >> 32) * 0x9E3779B97F4A7C15ull + (wide & 0xFFFFFFFFu)) &
           mask();
  }

  void place(std::uint64_t a, second_t b, std::uint32_t value) {
    std::size_t i = slot_of(a, b);
    while (m_slots[i].value != none) i = (i + 1) & mask();
    m_slots[i] = slot_t{a, b, value};
  }

  void grow() {
    std::vector<slot_t> old;
    old.reserve(m_slots.size() * 2);
    advise_huge(old.data(), old.capacity() * sizeof(slot_t));
    old.resize(old.capacity());
    old.swap(m_slots);
    for (const slot_t& slot : old)
      if (slot.value != none) place(slot.a, slot.b, slot.value);
  }

  std::vector<slot_t> m_slots;
  std::size_t m_used = 0;
};

// What a position column of a cost line is; also the index of its last value.
enum position_kind_t { instr_position, bb_position, line_position, position_kinds };

// The three name spaces of compressed names: ob/cob, fl/fi/fe/cfi/cfl/jfi, fn/cfn/jfn.
enum name_kind_t { object_name, file_name, function_name, name_kinds };

// "event: NAME = EXPR": an event computed from the measured ones, e.g. "Sum = Ir + 2 Dr".
struct derived_event_t {
  struct term_t {
    cost_t factor = 1;
    std::string event;
  };
  std::string name;
  std::vector<term_t> terms;
  unsigned line_number = 0;
};

// A derived event as one part computes it: the event's index and its terms' columns.
struct active_derived_t {
  std::uint32_t event = 0;
  std::vector<std::pair<cost_t, std::uint32_t>> terms;  // (factor, column)
};

// What one part has read so far, to give the program totals when it ends.
struct part_t {
  bool events_seen = false;
  bool has_content = false;  // cost lines or a totals: line
  std::vector<cost_t> self;  // self costs per column
  std::vector<cost_t> summary;
  std::vector<cost_t> totals;
  unsigned summary_line = 0;
  unsigned totals_line = 0;
};

class parser_t {
 public:
  // `size`, the input's length in bytes, guides the first reservations.
  parser_t(const std::string& path, std::size_t size, callgrind_profile_t& profile)
      : m_path(path), m_size(size), m_profile(profile), m_costs_used(profile.costs.size()) {
    index_profile();
  }

  // Reads whole lines; only the input's last line may lack its end.
  void feed(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
      auto eol = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
      const char* next = eol ? eol + 1 : end;
      const char* stop = eol ? eol : end;
      if (stop > p && stop[-1] == '\r') --stop;
      ++m_line_number;
      read_line(p, stop);
      p = next;
    }
  }

 private:
  [[noreturn]] void fail(const std::string& message) const { fail_at(m_line_number, message); }
  [[noreturn]] void fail_at(unsigned line, const std::string& message) const {
    throw import_error(m_path, line, message);
  }

  // Merging into a profile that holds data already: the indexes start from what it holds.
  void index_profile() {
    for (std::uint32_t i = 0; i < m_profile.files.size(); ++i)
      m_file_index.emplace(keep(m_profile.files[i]), i);
    for (std::uint32_t i = 0; i < m_profile.functions.size(); ++i) {
      const callgrind_function_t& function = m_profile.functions[i];
      m_functions.find_or_insert(intern_function_name(function.name), function.file, i);
    }
    for (std::uint32_t i = 0; i < m_profile.lines.size(); ++i) {
      const callgrind_line_t& line = m_profile.lines[i];
      context_entry(context_of(line.function, line.file), line.line, i);
    }
    for (std::uint32_t i = 0; i < m_profile.calls.size(); ++i) {
      const callgrind_call_t& call = m_profile.calls[i];
      m_calls.find_or_insert(context_key(call.caller, call.file), call_key(call.line, call.callee),
                             i);
    }
  }

  static std::uint64_t context_key(std::uint32_t function, std::uint32_t file) {
    return std::uint64_t(function) << 32 | file;
  }
  static std::uint64_t call_key(std::uint32_t line, std::uint32_t callee) {
    return std::uint64_t(line) << 32 | callee;
  }

  // A stable copy of a name, so that the name maps can be keyed by views.
  std::string_view keep(std::string_view name) { return m_strings.emplace_back(name); }

  void read_line(const char* p, const char* end) {
    while (p < end && is_blank(*p)) ++p;
    if (p == end || *p == '#') return;
    if (is_digit(*p) || *p == '+' || *p == '-' || *p == '*') return cost_line(p, end);
    if (m_call_pending)
      fail_at(m_call_line, "calls= line without the cost line that must follow it");
    const char* key_end = p;
    while (key_end < end && is_alpha(*key_end)) ++key_end;
    std::string_view key(p, std::size_t(key_end - p));
    if (key_end < end && *key_end == '=') return spec_line(key, key_end + 1, end);
    if (key_end < end && *key_end == ':')
      return header_line(key, trim(std::string_view(key_end + 1, std::size_t(end - key_end - 1))));
    fail("unrecognised line " + quoted_word(p, end));
  }

  // ---- header lines ----

  void header_line(std::string_view key, std::string_view value) {
    // A header line after a part's costs starts the next part; totals: closes the current one.
    if (m_part.has_content && key != "totals") start_part();
    if (key == "events") return events_line(value);
    if (key == "event") return event_line(value);
    if (key == "positions") return positions_line(value);
    if (key == "summary") return cost_list(key, value, m_part.summary, m_part.summary_line);
    if (key == "totals") return totals_line(value);
    if (key == "version") return version_line(value);
    if (key == "pid" || key == "thread" || key == "part") return number_line(key, value);
    if (key == "creator" && m_profile.creator.empty()) m_profile.creator = value;
    if (key == "cmd" && m_profile.parts == 0 && m_profile.command.empty())
      m_profile.command = value;
    if (key == "desc" && m_profile.parts == 0) m_profile.descriptions.emplace_back(value);
    // Other keys (creator: after the first, unknown ones) carry nothing the view shows.
  }

  void events_line(std::string_view value) {
    if (m_part.events_seen) fail("second events: line in one part");
    std::vector<std::uint32_t> columns;
    for (std::string_view name : words(value)) {
      std::uint32_t event = add_event(name);
      for (std::uint32_t column : columns)
        if (column == event) fail("events: lists " + std::string(name) + " twice");
      columns.push_back(event);
    }
    if (columns.empty()) fail("events: names no event");
    m_columns = std::move(columns);
    if (!m_saw_events) reserve();
    m_values.assign(m_columns.size(), 0);
    m_part.self.assign(m_columns.size(), 0);
    m_part.events_seen = true;
    m_part_ready = false;
    m_saw_events = true;
  }

  // "event: NAME [= TERM + TERM …] [: LONG NAME]"; a TERM is "[FACTOR [*]] EVENT".
  void event_line(std::string_view value) {
    std::size_t name_end = 0;
    while (name_end < value.size() && !is_blank(value[name_end]) && value[name_end] != '=' &&
           value[name_end] != ':')
      ++name_end;
    std::string name(value.substr(0, name_end));
    if (name.empty()) fail("event: needs an event name");
    std::string_view rest = trim(value.substr(name_end));
    std::size_t colon = rest.find(':');
    if (colon != std::string_view::npos) {
      m_long_names[name] = std::string(trim(rest.substr(colon + 1)));
      rest = trim(rest.substr(0, colon));
    }
    if (rest.empty()) return;
    if (rest.front() != '=') fail("event " + name + ": expected = or : after the name");
    derived_event_t derived{name, {}, m_line_number};
    std::string_view expression = rest.substr(1);
    for (;;) {
      std::size_t plus = expression.find('+');
      derived.terms.push_back(derived_term(name, trim(expression.substr(0, plus))));
      if (plus == std::string_view::npos) break;
      expression.remove_prefix(plus + 1);
    }
    for (derived_event_t& old : m_derived)
      if (old.name == name) return void(old = std::move(derived));
    m_derived.push_back(std::move(derived));
  }

  derived_event_t::term_t derived_term(const std::string& event, std::string_view text) {
    derived_event_t::term_t term;
    const char* p = text.data();
    const char* end = p + text.size();
    if (p < end && is_digit(*p)) {
      if (!read_number(p, end, term.factor)) fail("event " + event + ": bad factor in its sum");
      while (p < end && is_blank(*p)) ++p;
      if (p < end && *p == '*') ++p;
      while (p < end && is_blank(*p)) ++p;
    }
    term.event.assign(p, end);
    bool name_ok = !term.event.empty() && is_alpha(term.event.front());
    for (char c : term.event) name_ok = name_ok && (is_alpha(c) || is_digit(c));
    if (!name_ok) fail("event " + event + ": bad term \"" + std::string(text) + "\" in its sum");
    return term;
  }

  void positions_line(std::string_view value) {
    std::vector<position_kind_t> kinds;
    for (std::string_view word : words(value)) {
      position_kind_t kind = position_of(word);
      for (position_kind_t seen : kinds)
        if (seen == kind) fail("positions: lists " + std::string(word) + " twice");
      kinds.push_back(kind);
    }
    if (kinds.empty()) fail("positions: names no position");
    m_positions = std::move(kinds);
  }

  position_kind_t position_of(std::string_view word) const {
    if (word == "instr") return instr_position;
    if (word == "bb") return bb_position;
    if (word == "line") return line_position;
    fail("positions: unknown position \"" + std::string(word) + "\"");
  }

  void totals_line(std::string_view value) {
    if (m_part.totals_line) fail("second totals: line in one part");
    cost_list("totals", value, m_part.totals, m_part.totals_line);
    m_part.has_content = true;
  }

  void cost_list(std::string_view key, std::string_view value, std::vector<cost_t>& costs,
                 unsigned& line) {
    costs.clear();
    const char* p = value.data();
    const char* end = p + value.size();
    while (p < end) {
      const char* start = p;
      std::uint64_t number = 0;
      if (!read_number(p, end, number) || (p < end && !is_blank(*p)))
        fail(std::string(key) + ": bad number " + quoted_word(start, end));
      costs.push_back(number);
      while (p < end && is_blank(*p)) ++p;
    }
    line = m_line_number;
  }

  void version_line(std::string_view value) {
    const char* p = value.data();
    const char* end = p + value.size();
    std::uint64_t major = 0;
    if (!read_number(p, end, major)) fail("version: needs a number");
    if (major > 1) fail("unsupported format version " + std::string(value));
  }

  void number_line(std::string_view key, std::string_view value) {
    const char* p = value.data();
    const char* end = p + value.size();
    std::uint64_t number = 0;
    if (!read_number(p, end, number) || p != end) fail(std::string(key) + ": needs a number");
  }

  static std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> list;
    for (std::size_t i = 0; i < text.size();) {
      while (i < text.size() && is_blank(text[i])) ++i;
      std::size_t start = i;
      while (i < text.size() && !is_blank(text[i])) ++i;
      if (i > start) list.push_back(text.substr(start, i - start));
    }
    return list;
  }

  // ---- parts and events ----

  // Room for this input's entries, guessed from its size, so that the cost pool of a large
  // profile is not copied over and over while it grows.
  void reserve() {
    std::size_t entries = m_size / 32;
    reserve_huge(m_profile.lines, m_profile.lines.size() + entries);
    reserve_huge(m_profile.costs, m_profile.costs.size() + entries * m_profile.events.size());
  }

  // The index of an event in the profile, adding it (with zero costs everywhere) when new.
  std::uint32_t add_event(std::string_view name) {
    for (std::uint32_t i = 0; i < m_profile.events.size(); ++i)
      if (m_profile.events[i] == name) return i;
    widen_costs(m_profile.events.size() + 1);
    m_profile.events.emplace_back(name);
    m_profile.event_names.emplace_back(name);
    m_profile.totals.push_back(0);
    m_profile.summary.push_back(0);
    return std::uint32_t(m_profile.events.size() - 1);
  }

  // Lays the cost pool out again with `width` numbers per entry: an input brought a new event.
  void widen_costs(std::size_t width) {
    std::size_t old_width = m_profile.events.size();
    std::size_t entries = m_profile.lines.size() + m_profile.calls.size();
    check_pool_size(entries * width);
    std::vector<cost_t> costs(entries * width, 0);
    std::uint32_t next = 0;
    auto move = [&](std::uint32_t& offset) {
      std::copy_n(m_profile.costs.begin() + offset, old_width, costs.begin() + next);
      offset = next;
      next += std::uint32_t(width);
    };
    for (callgrind_line_t& line : m_profile.lines) move(line.cost);
    for (callgrind_call_t& call : m_profile.calls) move(call.cost);
    m_profile.costs = std::move(costs);
    m_costs_used = m_profile.costs.size();
  }

  void check_pool_size(std::size_t size) const {
    if (size > none) fail("profile too large: more than 4 billion cost numbers");
  }

  // The pool is zeroed ahead in steps, which is much cheaper than one entry at a time, and its
  // capacity doubles when it runs out; finish() cuts off what is left over.
  std::uint32_t allocate_costs() {
    std::size_t offset = m_costs_used;
    m_costs_used += m_profile.events.size();
    if (m_costs_used > m_profile.costs.size()) {
      check_pool_size(m_costs_used);
      std::vector<cost_t>& costs = m_profile.costs;
      reserve_huge(costs, m_costs_used);
      costs.resize(std::max(m_costs_used, std::min(costs.capacity(), costs.size() + (1 << 16))));
    }
    return std::uint32_t(offset);
  }

  void start_part() {
    finish_part();
    m_part = part_t{};
    m_part.self.assign(m_columns.size(), 0);
    m_part_ready = false;
  }

  // Before a part's first costs: the derived events it can compute from its columns.
  void prepare_part() {
    m_active.clear();
    for (const derived_event_t& derived : m_derived) {
      if (column_of(derived.name) != none) continue;  // measured in this part
      active_derived_t active;
      for (const derived_event_t::term_t& term : derived.terms) {
        std::uint32_t column = column_of(term.event);
        if (column == none)
          fail_at(derived.line_number,
                  "event " + derived.name + ": " + term.event + " is not in events:");
        active.terms.emplace_back(term.factor, column);
      }
      active.event = add_event(derived.name);
      m_active.push_back(std::move(active));
    }
    m_part_ready = true;
  }

  std::uint32_t column_of(std::string_view event) const {
    for (std::uint32_t i = 0; i < m_columns.size(); ++i)
      if (m_profile.events[m_columns[i]] == event) return i;
    return none;
  }

  // The part's totals (its totals: line, else its summary: line, else the sum of its costs) and
  // its summary (the other way round).
  void finish_part() {
    if (m_columns.empty()) {
      if (m_part.totals_line) fail_at(m_part.totals_line, "totals: before the events: line");
      if (m_part.summary_line) fail_at(m_part.summary_line, "summary: before the events: line");
      return;
    }
    if (!m_part_ready) prepare_part();
    check_count("totals", m_part.totals, m_part.totals_line);
    check_count("summary", m_part.summary, m_part.summary_line);
    const std::vector<cost_t>& self = m_part.self;
    const std::vector<cost_t>& totals = m_part.totals_line ? m_part.totals : m_part.summary;
    const std::vector<cost_t>& summary = m_part.summary_line ? m_part.summary : m_part.totals;
    bool none_given = !m_part.totals_line && !m_part.summary_line;
    add_sums(m_profile.totals, none_given ? self : totals);
    add_sums(m_profile.summary, none_given ? self : summary);
    ++m_profile.parts;
  }

  void check_count(const char* key, const std::vector<cost_t>& sums, unsigned line) const {
    if (sums.size() > m_columns.size())
      fail_at(line, std::string(key) + ": has " + std::to_string(sums.size()) + " numbers for " +
                        std::to_string(m_columns.size()) + " events");
  }

  void add_sums(std::vector<cost_t>& to, const std::vector<cost_t>& sums) {
    m_values.assign(m_columns.size(), 0);
    std::copy(sums.begin(), sums.end(), m_values.begin());
    add_costs(to.data(), m_values.size());
  }

  // ---- cost lines ----

  void cost_line(const char* p, const char* end) {
    if (m_columns.empty()) fail("cost line before the events: line");
    if (!m_part_ready) prepare_part();
    for (position_kind_t kind : m_positions) {
      if (p == end)
        fail("cost line with too few positions: positions: names " +
             std::to_string(m_positions.size()));
      m_last[kind] = subposition(p, end, m_last[kind]);
      while (p < end && is_blank(*p)) ++p;
    }
    std::size_t count = 0;
    while (p < end) {
      if (count == m_columns.size())
        fail("too many costs: events: names " + std::to_string(m_columns.size()));
      const char* start = p;
      if (!read_number(p, end, m_values[count]) || (p < end && !is_blank(*p)))
        fail("bad cost " + quoted_word(start, end));
      ++count;
      while (p < end && is_blank(*p)) ++p;
    }
    m_part.has_content = true;
    if (m_call_pending) return add_call(count);
    if (count > 0) add_self(count);
  }

  // One position: absolute, or relative to `base` (the same column of the last cost line).
  std::uint64_t subposition(const char*& p, const char* end, std::uint64_t base) const {
    const char* start = p;
    std::uint64_t value = base;
    bool ok = true;
    if (*p == '*') {
      ++p;
    } else if (*p == '+' || *p == '-') {
      char sign = *p++;
      std::uint64_t delta = 0;
      ok = read_number(p, end, delta);
      if (ok && sign == '-' && delta > base)
        fail("position " + quoted_word(start, end) + " goes below 0");
      ok = ok && (sign == '-' ? (value = base - delta, true)
                              : !__builtin_add_overflow(base, delta, &value));
    } else {
      ok = read_number(p, end, value);
    }
    if (!ok || (p < end && !is_blank(*p)))
      fail("bad position " + quoted_word(start, end) + ": expected a number, +N, -N or *");
    return value;
  }

  std::uint32_t current_line() const {
    if (!has_line_position()) return 0;
    std::uint64_t line = m_last[line_position];
    if (line > none) fail("line number " + std::to_string(line) + " is too large");
    return std::uint32_t(line);
  }

  bool has_line_position() const {
    for (position_kind_t kind : m_positions)
      if (kind == line_position) return true;
    return false;
  }

  void add_self(std::size_t count) {
    std::uint32_t entry = line_entry(current_line());
    add_costs(m_profile.costs.data() + m_profile.lines[entry].cost, count);
    for (std::size_t i = 0; i < count; ++i) m_part.self[i] += m_values[i];
  }

  // Adds the first `count` columns of m_values (the rest are 0) to a cost row, and the derived
  // events computed from them.
  void add_costs(cost_t* row, std::size_t count) const {
    for (std::size_t i = 0; i < count; ++i) row[m_columns[i]] += m_values[i];
    for (const active_derived_t& derived : m_active) {
      cost_t sum = 0;
      for (const auto& [factor, column] : derived.terms)
        if (column < count) sum += factor * m_values[column];
      row[derived.event] += sum;
    }
  }

  std::uint32_t line_entry(std::uint32_t line) {
    if (!m_context_ready) resolve_context();
    if (line == m_cached_line && m_cached_entry != none) return m_cached_entry;
    auto next = std::uint32_t(m_profile.lines.size());
    std::uint32_t entry = context_entry(m_context_index, line, next);
    if (entry == next) {
      reserve_huge(m_profile.lines, m_profile.lines.size() + 1);
      m_profile.lines.push_back({m_function, m_file, line, allocate_costs()});
    }
    m_cached_line = line;
    m_cached_entry = entry;
    return entry;
  }

  void resolve_context() {
    m_file = known_file(m_current_file);
    m_function = function_of(m_function_name, m_function_file);
    m_context = context_key(m_function, m_file);
    m_context_index = context_of(m_function, m_file);
    m_cached_entry = none;
    m_context_ready = true;
  }

  std::uint32_t context_of(std::uint32_t function, std::uint32_t file) {
    auto next = std::uint32_t(m_contexts.size());
    std::uint32_t context = m_context_indexes.find_or_insert(context_key(function, file), 0, next);
    if (context == next) m_contexts.emplace_back();
    return context;
  }

  // The line entry of `line` in a context; when there is none, `next` becomes it. A function's
  // lines in one file lie close together, so each context keeps an array over the lines it has
  // seen, which a new line widens; lines too far from the others go to a hash table.
  std::uint32_t context_entry(std::uint32_t index, std::uint32_t line, std::uint32_t next) {
    context_t& context = m_contexts[index];
    if (context.entries.empty()) context.first = line;
    std::uint64_t end = context.first + std::uint64_t(context.entries.size());
    std::uint64_t low = std::min(line, context.first);
    if (std::max(end, std::uint64_t(line) + 1) - low > widest_context)
      return m_far_lines.find_or_insert(context_key(index, 0), line, next);
    if (line < context.first) {
      // Widen downwards by at least the present width, so that lines read in falling order
      // cost no more than rising ones.
      std::uint64_t room = std::max<std::uint64_t>(context.first - line, context.entries.size());
      room = std::min<std::uint64_t>({room, context.first, widest_context - (end - line)});
      room = std::max<std::uint64_t>(room, context.first - line);
      context.entries.insert(context.entries.begin(), std::size_t(room), none);
      context.first -= std::uint32_t(room);
    } else if (line >= end) {
      context.entries.resize(line - context.first + 1, none);
    }
    std::uint32_t& entry = context.entries[line - context.first];
    if (entry == none) entry = next;
    return entry;
  }

  // ---- calls ----

  // "calls=COUNT TARGET": COUNT calls to the cfn= function at TARGET (positions relative to the
  // last cost line, which they leave alone); the next cost line is where and at what cost.
  void calls_line(const char* p, const char* end) {
    while (p < end && is_blank(*p)) ++p;
    if (p == end) fail("calls= without a call count");
    const char* start = p;
    if (!read_number(p, end, m_call_count) || (p < end && !is_blank(*p)))
      fail("calls= with a bad call count " + quoted_word(start, end));
    std::uint64_t target[position_kinds] = {0, 0, 0};
    bool has_target = false;
    for (position_kind_t kind : m_positions) {
      while (p < end && is_blank(*p)) ++p;
      if (p == end) break;
      target[kind] = subposition(p, end, m_last[kind]);
      has_target = kind == line_position || has_target;
    }
    while (p < end && is_blank(*p)) ++p;
    if (p < end) fail("calls= with more than the target position: " + quoted_word(p, end));
    if (m_callee_name == none) fail("calls= without a cfn= naming the called function");
    bool line_known = has_target && target[line_position] <= none;
    m_call_target = line_known ? std::uint32_t(target[line_position]) : 0;
    m_callee = function_of(m_callee_name, m_callee_file);
    m_callee_fresh = false;
    m_call_pending = true;
    m_call_line = m_line_number;
  }

  void add_call(std::size_t count) {
    m_call_pending = false;
    std::uint32_t line = current_line();
    if (!m_context_ready) resolve_context();
    auto next = std::uint32_t(m_profile.calls.size());
    std::uint32_t entry = m_calls.find_or_insert(m_context, call_key(line, m_callee), next);
    if (entry == next) {
      callgrind_call_t call;
      call.caller = m_function;
      call.file = m_file;
      call.line = line;
      call.callee = m_callee;
      call.callee_file = m_profile.functions[m_callee].file;
      call.cost = allocate_costs();
      m_profile.calls.push_back(call);
    }
    callgrind_call_t& call = m_profile.calls[entry];
    call.count += m_call_count;
    if (call.callee_line == 0) call.callee_line = m_call_target;
    add_costs(m_profile.costs.data() + call.cost, count);
  }

  // ---- names ----

  void spec_line(std::string_view key, const char* p, const char* end) {
    if (key == "calls") return calls_line(p, end);
    if (key == "jump" || key == "jcnd") return;  // jumps are not shown
    name_kind_t kind;
    if (key == "fn" || key == "cfn" || key == "jfn")
      kind = function_name;
    else if (key == "fl" || key == "fi" || key == "fe" || key == "cfi" || key == "cfl" ||
             key == "jfi")
      kind = file_name;
    else if (key == "ob" || key == "cob")
      kind = object_name;
    else
      return;  // a name line of a kind the view has no use for
    std::uint32_t value = name(key, kind, std::string_view(p, std::size_t(end - p)));
    if (key == "fl") {
      m_function_file = m_current_file = value;
      m_context_ready = false;
    } else if (key == "fi" || key == "fe") {  // inlined code: another file, the same function
      m_current_file = value;
      m_context_ready = false;
    } else if (key == "fn") {
      m_function_name = value;
      m_current_file = m_function_file;
      m_context_ready = false;
    } else if (key == "cfi" || key == "cfl") {
      m_callee_file = value;
      m_callee_fresh = true;
    } else if (key == "cfn") {
      // Without a cfi= of its own the callee is in the file the calling code is in.
      if (!m_callee_fresh) m_callee_file = m_current_file;
      m_callee_fresh = false;
      m_callee_name = value;
    }
  }

  // "NAME", "(ID) NAME" (defining ID) or "(ID)": a file index or function name index.
  std::uint32_t name(std::string_view key, name_kind_t kind, std::string_view text) {
    text = trim(text);
    if (text.size() < 2 || text[0] != '(' || !is_digit(text[1])) return intern(kind, text);
    const char* p = text.data() + 1;
    const char* end = text.data() + text.size();
    std::uint64_t id = 0;
    if (!read_number(p, end, id) || p == end || *p != ')')
      fail(std::string(key) + "= with a bad name id " + quoted_word(text.data(), end));
    if (id >= largest_name_id)
      fail(std::string(key) + "= name id (" + std::to_string(id) + ") is too large");
    std::vector<std::uint32_t>& ids = m_ids[kind];
    std::string_view defined = trim(std::string_view(p + 1, std::size_t(end - p - 1)));
    if (defined.empty()) {
      if (id >= ids.size() || ids[id] == none)
        fail(std::string(key) + "=(" + std::to_string(id) + ") names an unknown " +
             kind_name(kind) + " id");
      return ids[id];
    }
    if (id >= ids.size()) ids.resize(std::size_t(id) + 1, none);
    return ids[id] = intern(kind, defined);  // a later definition replaces an earlier one
  }

  static const char* kind_name(name_kind_t kind) {
    return kind == object_name ? "object" : kind == file_name ? "file" : "function";
  }

  std::uint32_t intern(name_kind_t kind, std::string_view name) {
    if (kind == file_name) return intern_file(name);
    if (kind == function_name) return intern_function_name(name);
    return 0;  // objects are only checked for known ids
  }

  std::uint32_t intern_file(std::string_view name) {
    auto found = m_file_index.find(name);
    if (found != m_file_index.end()) return found->second;
    auto index = std::uint32_t(m_profile.files.size());
    m_profile.files.emplace_back(name);
    m_file_index.emplace(keep(name), index);
    return index;
  }

  std::uint32_t intern_function_name(std::string_view name) {
    auto found = m_name_index.find(name);
    if (found != m_name_index.end()) return found->second;
    auto index = std::uint32_t(m_names.size());
    m_names.push_back(keep(name));
    m_name_index.emplace(m_names.back(), index);
    return index;
  }

  std::uint32_t known_file(std::uint32_t file) {
    return file == none ? intern_file(unknown_name) : file;
  }

  // The function of a name in a file: functions of one name in different files are different
  // functions (static functions), the same name in the same file is one over all parts and inputs.
  std::uint32_t function_of(std::uint32_t name, std::uint32_t file) {
    if (name == none) name = intern_function_name(unknown_name);
    file = known_file(file);
    auto next = std::uint32_t(m_profile.functions.size());
    std::uint32_t function = m_functions.find_or_insert(name, file, next);
    if (function == next) m_profile.functions.push_back({std::string(m_names[name]), file, 0});
    return function;
  }

  // ---- the end ----

 public:
  void finish() {
    if (m_call_pending)
      fail_at(m_call_line, "calls= line without the cost line that must follow it");
    finish_part();
    m_profile.costs.resize(m_costs_used);
    if (!m_saw_events) fail_at(0, "no events: line, not a callgrind profile");
    for (std::size_t i = 0; i < m_profile.events.size(); ++i) {
      auto found = m_long_names.find(m_profile.events[i]);
      if (found != m_long_names.end() && !found->second.empty())
        m_profile.event_names[i] = found->second;
    }
    set_first_lines();
  }

 private:
  // A function's first line: its smallest line with costs in its own file, else the smallest
  // line a call to it names.
  void set_first_lines() {
    for (callgrind_function_t& function : m_profile.functions) function.first_line = 0;
    for (const callgrind_line_t& line : m_profile.lines) {
      callgrind_function_t& function = m_profile.functions[line.function];
      if (line.file == function.file && line.line != 0 &&
          (function.first_line == 0 || line.line < function.first_line))
        function.first_line = line.line;
    }
    std::vector<bool> has_lines(m_profile.functions.size());
    for (std::size_t i = 0; i < has_lines.size(); ++i)
      has_lines[i] = m_profile.functions[i].first_line != 0;
    for (const callgrind_call_t& call : m_profile.calls) {
      callgrind_function_t& callee = m_profile.functions[call.callee];
      if (!has_lines[call.callee] && call.callee_line != 0 &&
          (callee.first_line == 0 || call.callee_line < callee.first_line))
        callee.first_line = call.callee_line;
    }
  }

  const std::string& m_path;
  std::size_t m_size;
  callgrind_profile_t& m_profile;
  unsigned m_line_number = 0;
  std::size_t m_costs_used;  // the pool's size; beyond it are zeros ready for new entries

  // Merge indexes over the whole profile.
  std::deque<std::string> m_strings;
  std::unordered_map<std::string_view, std::uint32_t> m_file_index;
  std::unordered_map<std::string_view, std::uint32_t> m_name_index;
  std::vector<std::string_view> m_names;     // function names by name index
  index_table_t<std::uint32_t> m_functions;  // (name index, file) → function
  // The line entries of one (function, file): from `first`, none where there is none yet.
  struct context_t {
    std::uint32_t first = 0;
    std::vector<std::uint32_t> entries;
  };
  static constexpr std::uint64_t widest_context = 1 << 16;
  std::vector<context_t> m_contexts;
  index_table_t<std::uint32_t> m_context_indexes;  // (function, file) → context
  index_table_t<std::uint32_t> m_far_lines;        // (context, 0), line → line entry
  index_table_t<std::uint64_t> m_calls;            // (caller, file), (line, callee) → call entry

  // This input's compressed names, header and part.
  std::vector<std::uint32_t> m_ids[name_kinds];
  std::vector<position_kind_t> m_positions{line_position};
  std::vector<std::uint32_t> m_columns;  // the profile event of each cost column
  std::vector<cost_t> m_values;          // the cost line being read, by column
  std::unordered_map<std::string, std::string> m_long_names;
  std::vector<derived_event_t> m_derived;
  std::vector<active_derived_t> m_active;
  part_t m_part;
  bool m_part_ready = false;
  bool m_saw_events = false;

  // Where the cost lines go.
  std::uint64_t m_last[position_kinds] = {0, 0, 0};
  std::uint32_t m_function_name = none;
  std::uint32_t m_function_file = none;
  std::uint32_t m_current_file = none;  // fl=, or fi=/fe= within the function
  bool m_context_ready = false;
  std::uint32_t m_function = 0;
  std::uint32_t m_file = 0;
  std::uint64_t m_context = 0;
  std::uint32_t m_context_index = 0;
  std::uint32_t m_cached_line = 0;
  std::uint32_t m_cached_entry = none;

  // The call being read.
  std::uint32_t m_callee_name = none;
  std::uint32_t m_callee_file = none;
  bool m_callee_fresh = false;  // a cfi=/cfl= came since the last call
  bool m_call_pending = false;
  unsigned m_call_line = 0;
  std::uint64_t m_call_count = 0;
  std::uint32_t m_call_target = 0;
  std::uint32_t m_callee = 0;
};

struct file_closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool starts_gzip(std::FILE* file) {
  unsigned char magic[2] = {0, 0};
  bool gzip = std::fread(magic, 1, 2, file) == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
  std::rewind(file);
  return gzip;
}

// Plain profiles are parsed a block at a time as they are read: they run to hundreds of
// megabytes, which need not all be in memory at once. Compressed ones, and what is not a regular
// file, are read whole through read_input (which also words the errors).
// `consumed` counts the bytes read of all the profiles so far; the observer hears it per block.
void read_profile(const std::string& path, callgrind_profile_t& profile, read_observer_t* observer,
                  std::size_t& consumed) {
  std::unique_ptr<std::FILE, file_closer> file(std::fopen(path.c_str(), "rb"));
  struct stat info;
  if (!file || fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode) ||
      starts_gzip(file.get())) {
    std::string bytes = read_input(path);
    parse_callgrind(path, bytes, profile);
    consumed += bytes.size();
    if (observer) observer->reached(consumed);
    return;
  }
  parser_t parser(path, std::size_t(info.st_size), profile);
  std::vector<char> block(1 << 22);
  std::size_t kept = 0;  // the start of a line that the next read completes
  for (;;) {
    std::size_t got = std::fread(block.data() + kept, 1, block.size() - kept, file.get());
    if (got == 0 && std::ferror(file.get()))
      throw import_error(path, 0, std::string("cannot read: ") + std::strerror(errno));
    if (got == 0) break;
    std::size_t filled = kept + got;
    std::size_t whole = std::string_view(block.data(), filled).rfind('\n') + 1;  // npos + 1 = 0
    if (whole == 0 && filled == block.size()) block.resize(block.size() * 2);    // a long line
    parser.feed(std::string_view(block.data(), whole));
    consumed += got;
    if (observer) observer->reached(consumed);
    kept = filled - whole;
    std::memmove(block.data(), block.data() + whole, kept);
  }
  parser.feed(std::string_view(block.data(), kept));
  parser.finish();
}

}  // namespace

void parse_callgrind(const std::string& path, std::string_view text, callgrind_profile_t& profile) {
  parser_t parser(path, text.size(), profile);
  parser.feed(text);
  parser.finish();
}

callgrind_profile_t read_callgrind(const std::vector<std::string>& paths,
                                   read_observer_t* observer) {
  callgrind_profile_t profile;
  std::size_t consumed = 0;
  for (const std::string& path : paths) read_profile(path, profile, observer, consumed);
  return profile;
}

bool looks_like_callgrind(std::string_view bytes) {
  line_reader_t reader(bytes);
  std::string_view line;
  if (!reader.next(line)) return false;
  if (line.substr(0, 18) == "# callgrind format") return true;
  // The header comes first: blank lines, comments and "key: value" lines up to the body.
  do {
    line = trim(line);
    if (line.empty() || line.front() == '#') continue;
    std::size_t key_end = 0;
    while (key_end < line.size() && is_alpha(line[key_end])) ++key_end;
    if (key_end == 0 || key_end == line.size() || line[key_end] != ':') return false;
    std::string_view key = line.substr(0, key_end);
    if (key == "events" || key == "positions") return true;
  } while (reader.next(line));
  return false;
}

std::vector<cost_t> file_self_costs(const callgrind_profile_t& profile) {
  std::size_t width = profile.event_count();
  std::vector<cost_t> sums(profile.files.size() * width, 0);
  for (const callgrind_line_t& line : profile.lines) {
    const cost_t* cost = profile.cost(line.cost);
    cost_t* row = sums.data() + std::size_t(line.file) * width;
    for (std::size_t i = 0; i < width; ++i) row[i] += cost[i];
  }
  return sums;
}

}  // namespace source_view_app
