// The view of a hand-built callgrind profile: event columns, chosen file and events, summary,
// call snippets with their targets, function groups with inlined code, the hottest lines.
#include <gtest/gtest.h>
#include <unistd.h>

#include "callgrind_view.h"
#include "gcov_run.h"

namespace source_view_app {
namespace {

using source_view4::data_model_t;
using source_view4::snippet_column;
using source_view4::snippet_t;
using source_view4::source_column;

// A folder with a.c (12 lines) and h.h (3 lines), made once per process.
const std::string& sources_dir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/source-view-callgrind-XXXXXX";
    std::string made = mkdtemp(pattern);
    static std::string to_remove = made;
    std::atexit([] { std::system(("rm -rf '" + to_remove + "'").c_str()); });
    std::string a;
    for (int i = 1; i <= 12; ++i) a += "a" + std::to_string(i) + "\n";
    source_view_test::write_all(made + "/a.c", a);
    source_view_test::write_all(made + "/h.h", "h1\nh2\nh3\n");
    return made;
  }();
  return dir;
}

struct builder_t {
  callgrind_profile_t p;
  builder_t() {
    p.events = {"Ir", "Dr"};
    p.files = {sources_dir() + "/a.c", "h.h", "lib.c", "???"};
    p.functions = {
        {"main", 0, 3}, {"square", 1, 2}, {"helper", 0, 4}, {"libfn", 2, 5}, {"unknown", 3, 0}};
  }
  std::uint32_t costs(cost_t ir, cost_t dr) {
    p.costs.insert(p.costs.end(), {ir, dr});
    return std::uint32_t(p.costs.size() - 2);
  }
  void line(std::uint32_t fn, std::uint32_t file, std::uint32_t line, cost_t ir, cost_t dr) {
    p.lines.push_back({fn, file, line, costs(ir, dr)});
  }
  void call(std::uint32_t fn, std::uint32_t line, std::uint32_t callee, std::uint64_t n,
            cost_t ir) {
    p.calls.push_back({fn, 0, line, callee, p.functions[callee].file, 0, n, costs(ir, 0)});
  }
};

// a.c: 118 Ir (line 4 from main and helper), h.h: 55 (50 inlined into main), lib.c: 30 (its
// source is nowhere), ???: 1000.
callgrind_profile_t sample() {
  builder_t b;
  b.line(0, 0, 3, 10, 1);
  b.line(0, 0, 4, 100, 20);
  b.line(2, 0, 4, 1, 0);
  b.line(2, 0, 10, 7, 0);
  b.line(0, 1, 2, 50, 5);
  b.line(1, 1, 2, 5, 1);
  b.line(3, 2, 5, 30, 3);
  b.line(4, 3, 0, 1000, 0);
  b.call(0, 4, 2, 2, 20);
  b.call(0, 4, 3, 1, 40);
  b.call(0, 5, 4, 1, 1000);
  b.p.totals = {1203, 30};
  return b.p;
}

callgrind_view_request_t request(view_mode_t mode, std::string file = "",
                                 std::vector<std::string> events = {}) {
  callgrind_view_request_t r;
  r.input = "in.x";
  r.file_name = std::move(file);
  r.events = std::move(events);
  r.source_dirs = {"/nonexistent", sources_dir()};
  r.mode = mode;
  return r;
}

std::vector<std::wstring> captions(const std::vector<column_spec_t>& columns) {
  std::vector<std::wstring> out;
  for (const column_spec_t& c : columns) out.push_back(c.caption);
  return out;
}

TEST(CallgrindView, FlatRowsSumEveryFunctionOfTheCostliestKnownFile) {
  data_model_t model;
  view_description_t view = fill_callgrind_view(sample(), request(view_mode_t::flat), model);
  EXPECT_EQ(view.title, sources_dir() + "/a.c");  // not ???, though it costs more
  ASSERT_EQ(model.get_row_count(), 12u);
  EXPECT_EQ(captions(view.right), (std::vector<std::wstring>{L"Ir", L"Dr", L"Share", L"Calls Ir"}));
  unsigned ir = view.right[0].data_id, dr = view.right[1].data_id;
  EXPECT_EQ(model.get_text_data(3, ir), L"101");  // main's 100 and helper's 1
  EXPECT_EQ(model.get_text_data(9, dr), L"0");    // a cost of 0 where the line has a record
  EXPECT_EQ(model.get_text_data(0, ir), L"");     // none where it has not
  EXPECT_EQ(model.get_text_data(3, hits_id), L"85.59%");
  EXPECT_EQ(model.get_text_data(3, call_cost_id), L"60");
  EXPECT_EQ(model.get_summary_text_data(ir), L"118");
  EXPECT_NE(view.summary.find(L"118 Ir, 21 Dr   9.8 % of the program's Ir"), std::wstring::npos)
      << view.summary;
  // Three lines have a cost: 1 % of them is one line, the hottest, where opening goes.
  EXPECT_EQ(view.attention_rows, std::vector<unsigned>{3});
  EXPECT_EQ(view.start_row, 3u);
  EXPECT_TRUE(model.get_highlighted(3));
  // Chosen events: their columns in their order, the first one for the bar and the calls.
  view = fill_callgrind_view(sample(), request(view_mode_t::flat, "", {"Dr", "Ir"}), model);
  EXPECT_EQ(captions(view.right), (std::vector<std::wstring>{L"Dr", L"Ir", L"Share", L"Calls Dr"}));
  EXPECT_EQ(model.get_text_data(3, view.right[0].data_id), L"20");
  EXPECT_EQ(model.get_text_data(3, hits_id), L"95.24%");
  // A file whose source is nowhere: its lines with a cost, without text.
  view = fill_callgrind_view(sample(), request(view_mode_t::flat, "lib.c"), model);
  EXPECT_EQ(view.row_lines, std::vector<unsigned>{5});
  EXPECT_EQ(model.get_text_data(0, source_column), L"");
  EXPECT_EQ(model.get_text_data(0, view.right[0].data_id), L"30");
  EXPECT_NE(view.summary.find(L"lib.c (source not found)"), std::wstring::npos);
  // h.h is found under a source folder.
  fill_callgrind_view(sample(), request(view_mode_t::flat, "h.h"), model);
  EXPECT_EQ(model.get_text_data(1, source_column), L"h2");
}

TEST(CallgrindView, SnippetsListCalleesCostliestFirstWithTargetsTheViewCanShow) {
  data_model_t model;
  view_description_t view = fill_callgrind_view(sample(), request(view_mode_t::snippets), model);
  EXPECT_EQ(view.snippet_rows, (std::vector<unsigned>{3, 4}));
  auto snippet = boost::get<snippet_t>(model.get_data(3, snippet_column));
  ASSERT_EQ(snippet.items.size(), 2u);
  EXPECT_EQ(snippet.items[0].title, L"\u2192 libfn   1 call   40 Ir");
  EXPECT_EQ(snippet.items[1].title, L"\u2192 helper   2 calls   20 Ir");
  EXPECT_EQ(view.row_calls[3][0].file, "");  // lib.c cannot be shown: its entry is dimmed
  EXPECT_EQ(snippet.items[0].flags + 2 * snippet.items[1].flags,
            2 * view_description_t::link_entry);
  EXPECT_EQ(view.row_calls[3][1].file, sources_dir() + "/a.c");
  EXPECT_EQ(view.row_calls[3][1].line, 4u);
  EXPECT_EQ(view.row_calls[4][0].file, "");  // ??? neither
}

TEST(CallgrindView, FunctionsGroupTheirLinesAndTheCodeInlinedIntoThem) {
  data_model_t model;
  view_description_t view = fill_callgrind_view(sample(), request(view_mode_t::functions), model);
  // main: lines 3 to 5 (5 only calls), then h.h:2 inlined into it; helper: lines 4 to 10.
  ASSERT_EQ(view.groups.size(), 2u);
  EXPECT_EQ(view.groups[0].last_row, 4u);
  EXPECT_EQ(view.groups[1].header_row, 5u);
  unsigned ir = view.right[0].data_id;
  EXPECT_EQ(model.get_text_data(0, source_column),
            L"main   self 160 Ir (13.3 %), inclusive 1220 Ir (101.4 %)");
  EXPECT_EQ(model.get_text_data(0, ir), L"160");
  EXPECT_EQ(model.get_text_data(0, call_cost_id), L"1060");
  EXPECT_EQ(model.get_text_data(2, ir), L"100");  // main's own share of line 4
  EXPECT_EQ(model.get_text_data(4, line_id), L"h.h:2");
  EXPECT_EQ(model.get_text_data(4, source_column), L"h2");
  EXPECT_EQ(model.get_text_data(4, ir), L"50");
  EXPECT_EQ(model.get_text_data(6, ir), L"1");  // helper's line 4
  EXPECT_EQ(view.row_lines, (std::vector<unsigned>{0, 3, 4, 5, 0, 0, 4, 5, 6, 7, 8, 9, 10}));
  // Seen from h.h: the code inlined into main is main's, square's own is square's.
  view = fill_callgrind_view(sample(), request(view_mode_t::functions, "h.h"), model);
  ASSERT_EQ(view.groups.size(), 2u);
  EXPECT_EQ(model.get_text_data(1, view.right[0].data_id), L"50");
  EXPECT_EQ(model.get_text_data(3, view.right[0].data_id), L"5");
}

TEST(CallgrindView, HotLinesAreTheTopPercentOfCostedLinesWithTies) {
  builder_t b;
  for (std::uint32_t line = 1; line <= 250; ++line) b.line(0, 0, line, line == 100 ? 249 : line, 0);
  b.line(2, 0, 7, 5000000000ull, 0);  // above 32 bits
  data_model_t model;
  view_description_t view = fill_callgrind_view(b.p, request(view_mode_t::flat), model);
  // 3 rows are 1 % of 250 (2.5 rounded up): after line 7 and line 250, the third largest cost,
  // 249, is on lines 100 and 249.
  EXPECT_EQ(view.attention_rows, (std::vector<unsigned>{6, 99, 248, 249}));
  EXPECT_EQ(view.start_row, 6u);
  EXPECT_EQ(model.get_text_data(6, view.right[0].data_id), L"5000000007");
}

}  // namespace
}  // namespace source_view_app
