// Filling the model from a callgrind profile: one pass over the profile's lines and calls gathers
// the costs of the shown file per place (line, or function and line), then the rows are planned
// and each column is written whole.
#include "callgrind_view.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <tuple>
#include <unordered_map>

#include "import_error.h"
#include "input_file.h"

namespace source_view_app {

using source_view4::cell_value_t;
using source_view4::data_container_t;
using source_view4::snippet_item_t;
using source_view4::snippet_t;

namespace {

constexpr std::uint32_t any_function = 0xFFFFFFFFu;  // costs summed over every function
constexpr std::uint32_t no_file = 0xFFFFFFFFu;       // row_t::file of a function's group row

bool is_unknown(const std::string& name) { return name.empty() || name == "???"; }

std::string base_name(const std::string& path) { return path.substr(path.rfind('/') + 1); }

std::wstring number(cost_t value) { return std::to_wstring(value); }

std::wstring percent(cost_t part, cost_t whole) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %%", whole ? 100.0 * double(part) / double(whole) : 0.0);
  return widen(text);
}

// Where costs are gathered: one function's line of a file, or every function's (any_function).
struct place_t {
  std::uint32_t function = any_function, file = 0, line = 0;
  bool operator==(const place_t& o) const {
    return function == o.function && file == o.file && line == o.line;
  }
};

struct place_hash_t {
  std::size_t operator()(const place_t& p) const {
    std::uint64_t h = std::uint64_t(p.function) * 0x9E3779B97F4A7C15ull;
    h ^= (std::uint64_t(p.file) << 32 | p.line) * 0xC2B2AE3D27D4EB4Full;
    return std::size_t(h ^ (h >> 31));
  }
};

struct callee_t {
  std::uint32_t function = 0;
  std::uint64_t count = 0;
  cost_t cost = 0;  // inclusive, first chosen event
};

// What one place holds: its self costs (one per chosen event, in gathered_t::self from `self`)
// and the calls made from it.
struct slot_t {
  place_t place;
  std::size_t self = 0;
  bool has_self = false;
  cost_t calls_cost = 0;
  std::vector<callee_t> callees;
};

struct gathered_t {
  std::vector<slot_t> slots;
  std::vector<cost_t> self;
  std::unordered_map<place_t, std::uint32_t, place_hash_t> index;

  slot_t& at(const place_t& place, std::size_t events) {
    auto [it, added] = index.emplace(place, std::uint32_t(slots.size()));
    if (added) {
      slots.push_back({place, self.size(), false, 0, {}});
      self.resize(self.size() + events, 0);
    }
    return slots[it->second];
  }
  const slot_t* find(const place_t& place) const {
    auto it = index.find(place);
    return it == index.end() ? nullptr : &slots[it->second];
  }
};

// Everything the columns are written from.
struct context_t {
  context_t(const callgrind_profile_t& p, const callgrind_view_request_t& r,
            std::vector<std::size_t> chosen)
      : profile(p), request(r), events(std::move(chosen)) {}

  const callgrind_profile_t& profile;
  const callgrind_view_request_t& request;
  std::vector<std::size_t> events;
  std::uint32_t file = 0;  // the file shown
  bool by_function = false;
  gathered_t gathered;
  std::vector<cost_t> file_total;      // per chosen event
  std::vector<cost_t> function_self;   // functions × chosen events, in functions mode
  std::vector<cost_t> function_calls;  // per function, first chosen event
  std::vector<source_text_t> sources;  // per file, read when first needed
  std::vector<char> source_state;      // per file: 0 not looked for, 1 found, 2 not

  std::size_t event_count() const { return events.size(); }
  const cost_t* slot_self(const slot_t& s) const { return gathered.self.data() + s.self; }
  bool showable(std::uint32_t file_index);
  const source_text_t& source(std::uint32_t file_index);
};

bool context_t::showable(std::uint32_t file_index) {
  source(file_index);
  return source_state[file_index] == 1;
}

const source_text_t& context_t::source(std::uint32_t file_index) {
  if (source_state[file_index] == 0) {
    std::string path =
        find_source(profile.files[file_index], request.source_dirs, request.profile_dir);
    source_state[file_index] = path.empty() ? 2 : 1;
    if (!path.empty()) sources[file_index] = read_source_lines(path);
  }
  return sources[file_index];
}

// Self cost per file and chosen event (files × events), one pass over the lines.
std::vector<cost_t> costs_per_file(const callgrind_profile_t& profile,
                                   const std::vector<std::size_t>& events) {
  std::vector<cost_t> totals(profile.files.size() * events.size(), 0);
  for (const callgrind_line_t& line : profile.lines) {
    const cost_t* cost = profile.cost(line.cost);
    cost_t* total = totals.data() + std::size_t(line.file) * events.size();
    for (std::size_t k = 0; k < events.size(); ++k) total[k] += cost[events[k]];
  }
  return totals;
}

bool name_matches(const std::string& name, const std::string& wanted) {
  if (wanted.size() >= name.size()) return name == wanted;
  return name.compare(name.size() - wanted.size(), wanted.size(), wanted) == 0 &&
         name[name.size() - wanted.size() - 1] == '/';
}

// The file asked for by name, else the one with the largest self cost of the first event (a
// known file before "???").
std::uint32_t choose_file(const callgrind_profile_t& profile, const std::vector<cost_t>& costs,
                          std::size_t event_count, const callgrind_view_request_t& request) {
  const std::vector<std::string>& files = profile.files;
  if (!request.file_name.empty()) {
    for (std::size_t i = 0; i < files.size(); ++i)
      if (files[i] == request.file_name) return std::uint32_t(i);
    for (std::size_t i = 0; i < files.size(); ++i)
      if (name_matches(files[i], request.file_name)) return std::uint32_t(i);
    throw import_error(request.input, 0,
                       "no file named '" + request.file_name + "' in the profile (see --list)");
  }
  if (files.empty()) throw import_error(request.input, 0, "the profile names no files");
  std::size_t best = 0;
  auto better = [&](std::size_t a, std::size_t b) {
    if (is_unknown(files[a]) != is_unknown(files[b])) return !is_unknown(files[a]);
    return event_count > 0 && costs[a * event_count] > costs[b * event_count];
  };
  for (std::size_t i = 1; i < files.size(); ++i)
    if (better(i, best)) best = i;
  return std::uint32_t(best);
}

void add_costs(cost_t* into, const cost_t* cost, const std::vector<std::size_t>& events) {
  for (std::size_t k = 0; k < events.size(); ++k) into[k] += cost[events[k]];
}

// One pass over the lines and one over the calls: the costs of the places of the shown file
// (and, in functions mode, of code inlined into its functions from other files), and each
// function's totals.
void gather(context_t& c) {
  const callgrind_profile_t& p = c.profile;
  const std::size_t n = c.event_count();
  auto relevant = [&](std::uint32_t function, std::uint32_t file) {
    return file == c.file || (c.by_function && p.functions[function].file == c.file);
  };
  if (c.by_function) {
    c.function_self.assign(p.functions.size() * n, 0);
    c.function_calls.assign(p.functions.size(), 0);
  }
  for (const callgrind_line_t& line : p.lines) {
    const cost_t* cost = p.cost(line.cost);
    if (c.by_function)
      add_costs(c.function_self.data() + std::size_t(line.function) * n, cost, c.events);
    if (line.file == c.file) add_costs(c.file_total.data(), cost, c.events);
    if (!relevant(line.function, line.file)) continue;
    slot_t& slot =
        c.gathered.at({c.by_function ? line.function : any_function, line.file, line.line}, n);
    slot.has_self = true;
    add_costs(c.gathered.self.data() + slot.self, cost, c.events);
  }
  if (n == 0) return;
  for (const callgrind_call_t& call : p.calls) {
    cost_t cost = p.cost(call.cost)[c.events[0]];
    if (c.by_function) c.function_calls[call.caller] += cost;
    if (!relevant(call.caller, call.file)) continue;
    slot_t& slot =
        c.gathered.at({c.by_function ? call.caller : any_function, call.file, call.line}, n);
    slot.calls_cost += cost;
    auto same = std::find_if(slot.callees.begin(), slot.callees.end(),
                             [&](const callee_t& e) { return e.function == call.callee; });
    if (same == slot.callees.end()) same = slot.callees.insert(same, {call.callee, 0, 0});
    same->count += call.count;
    same->cost += cost;
  }
}

// One model row: a line of a file with the slot of its costs, or a function's group row.
struct row_t {
  std::uint32_t file = no_file;
  std::uint32_t line = 0;
  std::uint32_t function = any_function;
  const slot_t* slot = nullptr;
};

struct plan_t {
  std::vector<row_t> rows;
  std::vector<group_spec_t> groups;
};

// Lines with costs past the end of a source of `known` lines (every line with a cost when the
// source is missing), in order.
std::vector<const slot_t*> lines_past(const std::vector<const slot_t*>& slots, std::size_t known) {
  std::vector<const slot_t*> past;
  for (const slot_t* s : slots)
    if (s->place.line > known) past.push_back(s);
  std::sort(past.begin(), past.end(),
            [](auto* a, auto* b) { return a->place.line < b->place.line; });
  return past;
}

plan_t plan_flat(context_t& c) {
  plan_t plan;
  std::size_t known = c.source(c.file).size();
  for (std::uint32_t line = 1; line <= known; ++line)
    plan.rows.push_back(
        {c.file, line, any_function, c.gathered.find({any_function, c.file, line})});
  std::vector<const slot_t*> slots;
  for (const slot_t& s : c.gathered.slots) slots.push_back(&s);
  for (const slot_t* s : lines_past(slots, known))
    plan.rows.push_back({c.file, s->place.line, any_function, s});
  return plan;
}

// A function's rows: its lines of the shown file (the whole span of its own functions, the lines
// with costs of code inlined into others), then the lines of code inlined into it from other
// files.
void plan_function(context_t& c, std::uint32_t function, const std::vector<const slot_t*>& own,
                   const std::vector<const slot_t*>& inlined, plan_t& plan) {
  auto header = unsigned(plan.rows.size());
  plan.rows.push_back({no_file, 0, function, nullptr});
  std::size_t known = c.source(c.file).size();
  std::uint32_t first = 0, last = 0;
  if (c.profile.functions[function].file == c.file) {
    for (const slot_t* s : own) {
      if (s->place.line == 0 || s->place.line > known) continue;
      first = first ? std::min(first, s->place.line) : s->place.line;
      last = std::max(last, s->place.line);
    }
  }
  for (std::uint32_t line = first; first && line <= last; ++line)
    plan.rows.push_back({c.file, line, function, c.gathered.find({function, c.file, line})});
  for (const slot_t* s : lines_past(own, first ? known : 0))
    plan.rows.push_back({c.file, s->place.line, function, s});
  for (const slot_t* s : inlined)
    if (s->place.line > 0) plan.rows.push_back({s->place.file, s->place.line, function, s});
  if (plan.rows.size() == header + 1) return plan.rows.pop_back();  // nothing to show
  plan.groups.push_back({header, unsigned(plan.rows.size() - 1)});
}

plan_t plan_functions(context_t& c) {
  std::vector<const slot_t*> slots;
  for (const slot_t& s : c.gathered.slots) slots.push_back(&s);
  // By function, the shown file's lines first, then other files' by file and line.
  auto key = [&](const slot_t* s) {
    return std::make_tuple(s->place.function, s->place.file != c.file, s->place.file,
                           s->place.line);
  };
  std::sort(slots.begin(), slots.end(), [&](auto* a, auto* b) { return key(a) < key(b); });
  struct span_t {
    std::uint32_t function, first_line;
    std::size_t begin, split, end;  // slots[begin, split) in the shown file, [split, end) not
  };
  std::vector<span_t> spans;
  for (std::size_t i = 0; i < slots.size();) {
    std::uint32_t function = slots[i]->place.function;
    span_t span{function, c.profile.functions[function].first_line, i, i, i};
    while (span.end < slots.size() && slots[span.end]->place.function == function) {
      const slot_t* s = slots[span.end++];
      if (s->place.file == c.file) span.split = span.end;
    }
    for (std::size_t j = span.begin; j < span.split; ++j)
      if (slots[j]->place.line > 0) {
        span.first_line = slots[j]->place.line;
        break;
      }
    spans.push_back(span);
    i = span.end;
  }
  std::stable_sort(spans.begin(), spans.end(),
                   [](const span_t& a, const span_t& b) { return a.first_line < b.first_line; });
  plan_t plan;
  for (const span_t& span : spans)
    plan_function(
        c, span.function,
        {slots.begin() + std::ptrdiff_t(span.begin), slots.begin() + std::ptrdiff_t(span.split)},
        {slots.begin() + std::ptrdiff_t(span.split), slots.begin() + std::ptrdiff_t(span.end)},
        plan);
  return plan;
}

std::wstring function_title(const context_t& c, std::uint32_t function) {
  const std::size_t n = c.event_count();
  std::wstring title = widen(c.profile.functions[function].name);
  if (n == 0) return title;
  cost_t self = c.function_self[function * n];
  cost_t inclusive = self + c.function_calls[function];
  const cost_t program = c.profile.totals.size() > c.events[0] ? c.profile.totals[c.events[0]] : 0;
  std::wstring event = widen(c.profile.events[c.events[0]]);
  return title + L"   self " + number(self) + L" " + event + L" (" + percent(self, program) +
         L"), inclusive " + number(inclusive) + L" " + event + L" (" + percent(inclusive, program) +
         L")";
}

std::wstring source_text(context_t& c, const row_t& row) {
  if (row.file == no_file) return function_title(c, row.function);
  const source_text_t& lines = c.source(row.file);
  return row.line <= lines.size() ? widen(lines[row.line - 1]) : std::wstring();
}

cell_value_t line_cell(const context_t& c, const row_t& row) {
  if (row.file == no_file) return std::wstring(L"\u0192");
  if (row.file == c.file) return int(row.line);
  return widen(base_name(c.profile.files[row.file]) + ":" + std::to_string(row.line));
}

// The callees of a row, costliest first, as snippet entries and as jump targets.
void describe_calls(context_t& c, const slot_t& slot, std::vector<snippet_item_t>& items,
                    std::vector<jump_target_t>& targets) {
  std::vector<callee_t> callees = slot.callees;
  std::stable_sort(callees.begin(), callees.end(),
                   [](const callee_t& a, const callee_t& b) { return a.cost > b.cost; });
  std::wstring event = widen(c.profile.events[c.events[0]]);
  for (const callee_t& callee : callees) {
    const callgrind_function_t& f = c.profile.functions[callee.function];
    std::wstring calls = number(callee.count) + (callee.count == 1 ? L" call" : L" calls");
    bool can_show = f.first_line > 0 && c.showable(f.file);
    items.push_back(
        {{},
         L"\u2192 " + widen(f.name) + L"   " + calls + L"   " + number(callee.cost) + L" " + event,
         -1,
         can_show ? view_description_t::link_entry : 0});
    targets.push_back({can_show ? c.profile.files[f.file] : std::string(), f.first_line});
  }
}

// The hottest rows: those whose first-event cost is at least that of the row ranked at 1 % of
// the rows with a cost (at least one row), in row order.
std::vector<unsigned> hot_rows(const std::vector<cost_t>& cost) {
  std::vector<cost_t> ranked;
  for (cost_t v : cost)
    if (v > 0) ranked.push_back(v);
  if (ranked.empty()) return {};
  std::size_t k = (ranked.size() + 99) / 100;
  std::nth_element(ranked.begin(), ranked.begin() + std::ptrdiff_t(k - 1), ranked.end(),
                   std::greater<cost_t>());
  cost_t threshold = ranked[k - 1];
  std::vector<unsigned> rows;
  for (std::size_t r = 0; r < cost.size(); ++r)
    if (cost[r] > 0 && cost[r] >= threshold) rows.push_back(unsigned(r));
  return rows;
}

std::wstring file_summary(const context_t& c, bool source_found) {
  const std::size_t n = c.event_count();
  std::wstring text = widen(c.profile.files[c.file]);
  if (!source_found) text += L" (source not found)";
  for (std::size_t k = 0; k < n; ++k)
    text += (k ? L", " : L"   ") + number(c.file_total[k]) + L" " +
            widen(c.profile.events[c.events[k]]);
  if (n > 0 && c.events[0] < c.profile.totals.size())
    text += L"   " + percent(c.file_total[0], c.profile.totals[c.events[0]]) +
            L" of the program's " + widen(c.profile.events[c.events[0]]);
  return text;
}

// The line, source and cost columns with their totals in the summary row.
void write_rows(context_t& c, const plan_t& plan, source_view4::data_model_t& model) {
  const std::vector<row_t>& rows = plan.rows;
  const std::size_t n = c.event_count(), count = rows.size();
  auto self_of = [&](const row_t& row, std::size_t k) -> std::wstring {
    if (row.file == no_file) return number(c.function_self[row.function * n + k]);
    if (!row.slot || !row.slot->has_self) return std::wstring();
    return number(c.slot_self(*row.slot)[k]);
  };
  model.set_row_count(unsigned(count));
  write_column<std::wstring>(model, source_view4::source_column, count,
                             [&](std::size_t r) { return source_text(c, rows[r]); });
  write_column<cell_value_t>(model, line_id, count,
                             [&](std::size_t r) { return line_cell(c, rows[r]); });
  for (std::size_t k = 0; k < n; ++k) {
    write_column<std::wstring>(model, first_metric_id + unsigned(k), count,
                               [&](std::size_t r) { return self_of(rows[r], k); });
    model.set_summary_data(first_metric_id + unsigned(k), number(c.file_total[k]));
  }
  if (n == 0) return;
  write_column<data_container_t<double>>(model, hits_id, count, [&](std::size_t r) {
    data_container_t<double> share;
    const slot_t* s = rows[r].slot;
    if (s && s->has_self && c.file_total[0] > 0)
      share.value = double(c.slot_self(*s)[0]) / double(c.file_total[0]);
    return share;
  });
  write_column<std::wstring>(model, call_cost_id, count, [&](std::size_t r) {
    if (rows[r].file == no_file) return number(c.function_calls[rows[r].function]);
    const slot_t* s = rows[r].slot;
    return s && !s->callees.empty() ? number(s->calls_cost) : std::wstring();
  });
  cost_t program = c.events[0] < c.profile.totals.size() ? c.profile.totals[c.events[0]] : 0;
  data_container_t<double> file_share;
  if (program > 0) file_share.value = double(c.file_total[0]) / double(program);
  model.set_summary_data(hits_id, file_share);
}

// The calls each row makes as jump targets, and the hottest rows: highlighted, visited by
// Ctrl+Down, the costliest one where the view opens.
void describe_rows(context_t& c, const std::vector<row_t>& rows, source_view4::data_model_t& model,
                   view_description_t& view) {
  if (c.event_count() == 0) return;
  std::vector<cost_t> row_cost(rows.size(), 0);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const slot_t* s = rows[r].slot;
    if (s && s->has_self) row_cost[r] = c.slot_self(*s)[0];
    if (!s || s->callees.empty()) continue;
    std::vector<snippet_item_t> items;
    describe_calls(c, *s, items, view.row_calls[unsigned(r)]);
  }
  view.attention_rows = hot_rows(row_cost);
  for (unsigned row : view.attention_rows) model.set_highlighted(row, true);
  auto hottest = std::max_element(row_cost.begin(), row_cost.end());
  if (hottest != row_cost.end() && *hottest > 0)
    view.start_row = unsigned(hottest - row_cost.begin());
}

void write_snippets(context_t& c, const plan_t& plan, source_view4::data_model_t& model,
                    view_description_t& view) {
  write_column<cell_value_t>(model, source_view4::snippet_column, plan.rows.size(),
                             [&](std::size_t r) -> cell_value_t {
                               snippet_t snippet{source_text(c, plan.rows[r]), {}};
                               const slot_t* s = plan.rows[r].slot;
                               if (!s || s->callees.empty() || c.event_count() == 0) return snippet;
                               std::vector<jump_target_t> targets;
                               describe_calls(c, *s, snippet.items, targets);
                               view.snippet_rows.push_back(unsigned(r));
                               return snippet;
                             });
  view.snippet_links = true;
}

}  // namespace

std::vector<std::size_t> choose_events(const callgrind_profile_t& profile,
                                       const std::vector<std::string>& names,
                                       const std::string& input) {
  std::vector<std::size_t> chosen;
  if (names.empty()) {
    for (std::size_t i = 0; i < profile.events.size(); ++i) chosen.push_back(i);
    return chosen;
  }
  for (const std::string& name : names) {
    auto it = std::find(profile.events.begin(), profile.events.end(), name);
    if (it == profile.events.end()) {
      std::string known;
      for (const std::string& e : profile.events) known += (known.empty() ? "" : " ") + e;
      throw import_error(
          input, 0, "--events: the profile has no event '" + name + "' (it has: " + known + ")");
    }
    chosen.push_back(std::size_t(it - profile.events.begin()));
  }
  return chosen;
}

std::vector<callgrind_file_cost_t> callgrind_file_costs(const callgrind_profile_t& profile,
                                                        const std::vector<std::size_t>& events) {
  std::vector<cost_t> costs = costs_per_file(profile, events);
  std::vector<callgrind_file_cost_t> files;
  const std::size_t n = events.size();
  for (std::size_t i = 0; i < profile.files.size(); ++i)
    files.push_back(
        {profile.files[i],
         {costs.begin() + std::ptrdiff_t(i * n), costs.begin() + std::ptrdiff_t((i + 1) * n)}});
  std::stable_sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
    return !a.costs.empty() && a.costs[0] > b.costs[0];
  });
  return files;
}

std::string find_source(const std::string& name, const std::vector<std::string>& dirs,
                        const std::string& profile_dir) {
  auto readable = [](const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
  };
  if (is_unknown(name)) return std::string();
  if (readable(name)) return name;
  bool relative = name[0] != '/';
  for (const std::string& dir : dirs) {
    if (relative && readable(dir + "/" + name)) return dir + "/" + name;
    if (readable(dir + "/" + base_name(name))) return dir + "/" + base_name(name);
  }
  if (relative && !profile_dir.empty() && readable(profile_dir + "/" + name))
    return profile_dir + "/" + name;
  return std::string();
}

view_description_t fill_callgrind_view(const callgrind_profile_t& profile,
                                       const callgrind_view_request_t& request,
                                       source_view4::data_model_t& model) {
  context_t c{profile, request, choose_events(profile, request.events, request.input)};
  // The default file is the costliest by the first event shown.
  std::vector<std::size_t> first(c.events.begin(), c.events.begin() + (c.events.empty() ? 0 : 1));
  c.file = choose_file(profile, costs_per_file(profile, first), first.size(), request);
  c.by_function = request.mode == view_mode_t::functions;
  c.file_total.assign(c.event_count(), 0);
  c.sources.resize(profile.files.size());
  c.source_state.assign(profile.files.size(), 0);
  gather(c);
  bool source_found = c.showable(c.file);
  plan_t plan = c.by_function ? plan_functions(c) : plan_flat(c);

  view_description_t view;
  model.begin_update();
  write_rows(c, plan, model);
  describe_rows(c, plan.rows, model, view);
  if (request.mode == view_mode_t::snippets) write_snippets(c, plan, model, view);
  view.summary = file_summary(c, source_found);
  model.set_summary_data(source_view4::source_column, view.summary);
  model.set_summary_data(source_view4::snippet_column, view.summary);
  model.end_update();

  for (const row_t& row : plan.rows) view.row_lines.push_back(row.file == c.file ? row.line : 0);
  view.groups = plan.groups;
  view.title = profile.files[c.file];
  view.file_key = profile.files[c.file];
  view.left = {{line_id, L"Line", column_look_t::text_right}};
  for (std::size_t k = 0; k < c.event_count(); ++k)
    view.right.push_back({first_metric_id + unsigned(k), widen(profile.events[c.events[k]]),
                          column_look_t::text_right});
  if (c.event_count() > 0) {
    view.right.push_back({hits_id, L"Share", column_look_t::bar});
    view.right.push_back(
        {call_cost_id, L"Calls " + widen(profile.events[c.events[0]]), column_look_t::text_right});
  }
  return view;
}

}  // namespace source_view_app
