// Tables typed from their values, and the model rows, columns, groups and snippets the view is
// filled with, read back through the data model.
#include <gtest/gtest.h>

#include "gcov_run.h"
#include "gcov_text.h"
#include "input_file.h"
#include "load.h"
#include "tsv.h"
#include "view_data.h"

namespace source_view_app {
namespace {

using source_view4::data_model_t;
using source_view4::source_column;

TEST(Tsv, ColumnsTypedFromEveryValue) {
  tsv_table_t t = parse_tsv("t.tsv",
                            "cost\tline\tratio\taddr\tshare\tname\tmixed\n"
                            "5\t3\t1.5\t0x1F\t12.5%\tf\t1\n"
                            "\t1\t2\t0xa\t50%\tg\tx\n");
  std::vector<tsv_kind_t> kinds;
  for (const tsv_column_t& column : t.columns) kinds.push_back(column.kind);
  using k = tsv_kind_t;  // ratio: "2" alone would be an integer
  ASSERT_EQ(kinds, (std::vector<k>{k::integer, k::decimal, k::hex, k::fraction, k::text, k::text}));
  EXPECT_EQ(t.lines, (std::vector<unsigned>{3, 1}));
  EXPECT_FALSE(t.columns[0].values[1].present);
  EXPECT_EQ(t.columns[2].values[0].hex, 0x1Fu);
  EXPECT_DOUBLE_EQ(t.columns[3].values[0].number, 0.125);
  // Without a column named "line" the first column gives the lines.
  EXPECT_EQ(parse_tsv("t.tsv", "at\tcost\n7\t1\n").lines, std::vector<unsigned>{7});
}

TEST(Tsv, ViewPutsValuesAtTheirLinesWithTotals) {
  data_model_t model;
  tsv_table_t t = parse_tsv("t.tsv", "line\tcost\taddr\tshare\n3\t5\t0x10\t25%\n1\t7\t0x1\t50%\n");
  view_description_t view = fill_table_view(t, {"a", "b", "c", "d"}, model);
  ASSERT_EQ(model.get_row_count(), 4u);
  ASSERT_EQ(view.left.size(), 4u);
  EXPECT_EQ(view.left[1].caption, L"cost");
  EXPECT_EQ(view.left[3].look, column_look_t::bar);
  unsigned cost = view.left[1].data_id, addr = view.left[2].data_id, share = view.left[3].data_id;
  EXPECT_EQ(model.get_text_data(2, cost), L"5");
  EXPECT_EQ(model.get_text_data(1, cost), L"");  // a line without a row is empty, not 0
  EXPECT_EQ(model.get_text_data(0, addr), L"0x1");
  EXPECT_EQ(model.get_text_data(2, share), L"25.00%");
  EXPECT_EQ(model.get_text_data(3, source_column), L"d");
  EXPECT_EQ(model.get_summary_text_data(cost), L"12");
  EXPECT_EQ(model.get_summary_text_data(addr), L"0x11");
  EXPECT_EQ(model.get_summary_text_data(share), L"75.00%");
  // Ctrl+Down visits the hottest rows first.
  EXPECT_EQ(view.attention_rows, (std::vector<unsigned>{0, 2}));
  // Without a source the rows reach the table's last line.
  data_model_t bare;
  fill_table_view(t, {}, bare);
  EXPECT_EQ(bare.get_row_count(), 3u);
}

file_coverage_t sample() {
  std::string path = source_view_test::coverage_dir() + "/sample.bc.gcov";
  return parse_gcov_text(path, read_input(path));
}

TEST(CoverageView, FlatRowsCountsBranchesAndHits) {
  viewer_model_t model;
  view_description_t view = fill_coverage_view(sample(), view_mode_t::flat, model);
  ASSERT_EQ(model.get_row_count(), 16u);
  EXPECT_EQ(model.get_text_data(0, count_id), L"");     // "-"
  EXPECT_EQ(model.get_text_data(6, count_id), L"0");    // "#####"
  EXPECT_EQ(model.get_text_data(11, count_id), L"1*");  // an unexecuted block
  EXPECT_EQ(model.get_text_data(9, line_id), L"10");
  EXPECT_EQ(model.get_text_data(11, branches_id), L"0 1");
  EXPECT_EQ(model.get_text_data(12, hits_id), L"100.00%");  // the largest count
  EXPECT_EQ(model.get_text_data(0, hits_id), L"");
  EXPECT_TRUE(model.get_highlighted(6));
  EXPECT_FALSE(model.get_highlighted(0));
  EXPECT_EQ(view.attention_rows, (std::vector<unsigned>{6}));  // line 7 only
  // The totals are gcov's own report's.
  auto lines = source_view_test::gcov_summary("Lines executed");
  auto taken = source_view_test::gcov_summary("Taken at least once");
  ASSERT_GT(lines.second, 0u);
  EXPECT_NE(model.get_summary_text_data(source_column)
                .find(L"lines executed " + widen(format_ratio(lines.first, lines.second))),
            std::wstring::npos);
  EXPECT_EQ(model.get_summary_text_data(branches_id),
            widen(format_ratio(taken.first, taken.second)));
  EXPECT_EQ(format_ratio(1234, 2000), "1234 / 2000 (61.7 %)");
}

TEST(CoverageView, FunctionsModeAddsAGroupRowPerFunction) {
  viewer_model_t model;
  view_description_t view = fill_coverage_view(sample(), view_mode_t::functions, model);
  // Groups: the template (two instantiations, one group; lines 2 … 6), never(), main().
  std::string spans;
  for (const auto& g : view.groups)
    spans += std::to_string(g.header_row) + "-" + std::to_string(g.last_row) + " ";
  ASSERT_EQ(spans, "1-6 7-8 9-18 ");
  ASSERT_EQ(model.get_row_count(), 19u);
  EXPECT_EQ(view.row_lines[view.groups[1].header_row], 0u);
  EXPECT_EQ(view.row_lines[view.groups[1].header_row + 1], 7u);
  std::wstring title = model.get_text_data(7, source_column);
  EXPECT_NE(title.find(L"never"), std::wstring::npos);
  EXPECT_NE(title.find(L"called 0, blocks executed 0%"), std::wstring::npos);
  EXPECT_NE(model.get_text_data(1, source_column).find(L"(+1 more)  called 1501"),
            std::wstring::npos);
  EXPECT_EQ(model.get_text_data(8, count_id), L"0");     // line 7: "#####"
  EXPECT_EQ(model.get_text_data(1, count_id), L"1501");  // the template's calls, both kinds
}

TEST(CoverageView, SnippetsHoldBranchesCallsAndInstantiations) {
  viewer_model_t model;
  view_description_t view = fill_coverage_view(sample(), view_mode_t::snippets, model);
  EXPECT_EQ(view.snippet_rows, (std::vector<unsigned>{1, 2, 3, 4, 9, 10, 11, 12, 13}));
  auto snippet =
      boost::get<source_view4::snippet_t>(model.get_data(11, source_view4::snippet_column));
  ASSERT_EQ(snippet.items.size(), 3u);
  EXPECT_EQ(snippet.items[0].title, L"branch 0 taken 0 (fallthrough)");
  EXPECT_EQ(snippet.items[0].image_index, image_not_taken);
  EXPECT_EQ(snippet.items[2].title, L"call 0 never executed");
  auto templ = boost::get<source_view4::snippet_t>(model.get_data(3, source_view4::snippet_column));
  ASSERT_EQ(templ.items.size(), 2u);
  EXPECT_EQ(templ.items[0].title, L"_Z3addIdET_S0_S0_: 0");
  EXPECT_EQ(templ.items[1].title, L"_Z3addIiET_S0_S0_: 1496");
}

TEST(Load, DetectsTheKindFromContent) {
  std::string dir = source_view_test::coverage_dir();
  EXPECT_EQ(detect_format("x.txt", read_input(dir + "/sample.plain.gcov")), input_format_t::gcov);
  EXPECT_EQ(detect_format("x", read_input(dir + "/sample.gcov.json.gz")),
            input_format_t::gcov_json);
  EXPECT_EQ(detect_format("x", "cost\tline\n1\t2\n"), input_format_t::tsv);
  EXPECT_EQ(detect_format("a.c", "int main() {}\n"), input_format_t::source);
  EXPECT_EQ(detect_format("a.gcov", "garbage\n"), input_format_t::gcov);
  EXPECT_EQ(detect_format("x", "# callgrind format\nevents: Ir\n"), input_format_t::callgrind);
  EXPECT_EQ(detect_format("/d/callgrind.out.77", "garbage\n"), input_format_t::callgrind);
  input_format_t forced = input_format_t::automatic;
  EXPECT_TRUE(parse_format_name("callgrind", forced));
  EXPECT_EQ(forced, input_format_t::callgrind);
  viewer_model_t model;
  load_request_t request;
  request.path = dir + "/sample.cpp";
  load_view(request, model);
  EXPECT_EQ(model.get_row_count(), 16u);
  EXPECT_EQ(model.get_text_data(1, source_column), L"template <class T> T add(T a, T b) {");
}

}  // namespace
}  // namespace source_view_app

// The branch column's tooltips, read from the label lists the view holds.
#include "branch_tooltips.h"
#include "orrinfrw7/offscreen_control.h"
#include "view_setup.h"

namespace source_view_app {
namespace {

TEST(BranchTooltips, OneLinePerBranchFromTheCell) {
  source_view4::label_list_t labels{
      {L"1496", L"1", L"0", L"-"},
      {image_taken, image_taken, image_not_taken, image_never_executed}};
  EXPECT_EQ(branch_tooltip_text(labels),
            L"branch 0: taken 1496 times\nbranch 1: taken 1 time\nbranch 2: not taken\n"
            L"branch 3: never executed");
  EXPECT_EQ(branch_tooltip_text(source_view4::label_list_t()), L"");
  EXPECT_EQ(branch_tooltip_text(std::wstring(L"12")), L"");
}

// Hovering the right grid in functions mode, where the grid's rows are view rows: the tip is that
// of the line shown under the pointer, and only the branch column has one.
TEST(BranchTooltips, HoveringABranchCellShowsItsLine) {
  orrinfrw7::COffscreenControl control(800, 400);
  auto* element = new viewer_element_t(control.GetRoot(), {800, 400}, orrinfrw7::AL_Client);
  control.CompleteAttach();
  utilkit2::smart_pointer_t<viewer_model_t> model(new viewer_model_t());
  view_description_t view = fill_coverage_view(sample(), view_mode_t::functions, *model);
  element->set_custom_data_model(utilkit2::smart_pointer_t<source_view4::data_model_base_t>(model));
  show_view(*element, view, view_mode_t::functions);
  control.Paint();
  auto hover = [&](unsigned line, int column) {
    unsigned row = view_row_of(*element, row_of_line(view, line));
    auto* cells = element->get_right_grid()->get_grid_element();
    orrin7::point<int> at = cells->Cell2ControlCoord({4, 4}, int(row), column);
    control.MouseMove(at.x, at.y);
    const orrinfrw7::CShownTooltip* tip =
        control.HoverElapsed() ? control.GetShownTooltip() : nullptr;
    return tip ? tip->text : std::wstring();
  };
  std::wstring tip = hover(12, 0);
  EXPECT_EQ(tip, branch_tooltip_text(model->get_data(row_of_line(view, 12), branches_id)));
  EXPECT_NE(tip.find(L"branch 1: "), std::wstring::npos) << tip;
  EXPECT_EQ(hover(12, 1), L"");  // the hits bar
  EXPECT_EQ(hover(1, 0), L"");   // a line without branches
}

}  // namespace
}  // namespace source_view_app
