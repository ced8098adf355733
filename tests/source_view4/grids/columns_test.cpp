// The grid element (cell signal, empty areas, colours, row height, tooltips), its scroll model,
// the header model, and the grids' columns: widths, moves, captions, sets, the source column.
#include "grid_fixture.h"
#include "orrin7/system.h"
#include "support/assertion_recorder.h"
#include "support/recording_painter.h"

namespace grids_test {
namespace {

using aux_test = grid_fixture_t<auxiliary_grid_t>;
using source_test = grid_fixture_t<source_grid_t>;
using ids_t = std::vector<unsigned int>;

ids_t data_ids(const source_view_grid_base_t& g) {
  ids_t out;
  for (unsigned int c = 0; c < g.get_column_count(); ++c) out.push_back(g.get_column_data_id(c));
  return out;
}

// Top-level items as "column(children)".
std::string items(const header_model_t& m) {
  std::string out;
  for (const auto& item : m.get_items()) {
    out += std::to_string(item.get_column_index());
    if (!item.get_children().empty()) out += "(";
    for (const auto& child : item.get_children()) out += std::to_string(child.get_column_index());
    out += item.get_children().empty() ? " " : ") ";
  }
  return out;
}

TEST_F(aux_test, FittedWidthsAndTheSourceColumnAddition) {
  grid->set_columns({5, 6}, {});
  const auto p = log_column(0, "P");
  const auto s = logger("S");
  grid->set_column_summary_painter(0, s);
  model->set_row_count(3);
  for (unsigned int r = 0; r < 3; ++r) {
    model->set_data(r, 5, std::wstring(r == 1 ? L"longest" : L"x"));
    model->set_source(r, r == 1 ? L"longest" : L"x");
  }
  const struct {
    unsigned int id;
    int width;
    double row_width;  // every row, for -1; -2 measures rows of 10, 50, 30
    const wchar_t* summary;
    double summary_width;
    int expected;
  } cases[] = {
      {5, -1, 100, L"", 500, 120},  // a fifth to spare; an empty summary is not measured
      {5, -1, 100, L"t", 150, 180},
      {source_column, -1, 250, L"", 0, 450},    // fitted 300, plus half
      {source_column, -1, 1000, L"", 0, 1700},  // fitted 1200, plus at most 500
      {snippet_column, 300, 0, L"", 0, 450},
      {5, 300, 0, L"", 0, 300},
      {6, -1, 0, L"", 0, 0},     // no longest row
      {5, -2, 0, L"", 0, 50},    // rows without a factor
      {5, -2, 0, L"t", 50, 60},  // the summary with it
      {5, -2, 0, L"t", 40, 50},
  };
  for (const auto& c : cases) {
    grid->set_column_data_id(0, c.id);
    p->widths = {{0, c.row_width}, {1, c.row_width}, {2, c.row_width}};
    if (c.width == -2) p->widths = {{0, 10}, {1, 50}, {2, 30}};
    model->set_summary_data(c.id, std::wstring(c.summary));
    s->text_width = c.summary_width;
    sv4_test::signal_spy_t<> changed(header_model.Changed);
    grid->set_column_width(0, c.width);
    EXPECT_EQ(grid->get_column_width(0), c.expected) << c.id << " " << c.width;
    EXPECT_EQ(changed.count(), 1u);
  }
}

// Fitting measures flat rows; a flat row's link cell is measured by the link painter.
TEST_F(aux_test, FittingAHierarchicalGridMeasuresFlatRowsWithTheirLinks) {
  grid->set_columns({5}, {});
  log_column(0, "P")->widths = {{0, 10}, {1, 10}, {2, 10}, {3, 10}};
  const auto link = logger("L");
  link->widths = {{3, 500}};
  grid->set_link_painter(link);
  model->set_row_count(4);
  model->set_link(3, 5, 9);
  grid->set_hierarchical_data_model(
      ptr<fake_hierarchy_t>(new fake_hierarchy_t(
          model, hierarchical_mode_groups, {{row_state_collapsed, 0, 0}, {row_state_none, 1, 3}})),
      true);
  grid->set_column_width(0, -2);
  EXPECT_EQ(grid->get_column_width(0), 500);
}

TEST_F(aux_test, MoveColumnBothWaysCaptionsAndTooltips) {
  auto moved = sv4_test::spy_on(grid->column_moved);
  grid->set_columns({1, 2, 3, 4}, {});
  grid->move_column(0, 3);
  EXPECT_EQ(data_ids(*grid), (ids_t{2, 3, 1, 4}));
  grid->set_columns({1, 2, 3, 4}, {});
  grid->move_column(3, 0);
  EXPECT_EQ(data_ids(*grid), (ids_t{4, 1, 2, 3}));
  EXPECT_EQ(moved.records(), (std::vector<std::tuple<unsigned int, unsigned int>>{{0, 3}, {3, 0}}));
  EXPECT_EQ(grid->get_caption(0), L"Column1");  // the header is not reordered
  sv4_test::signal_spy_t<> changed(header_model.Changed);
  EXPECT_TRUE(grid->set_caption(3, L"Last") && grid->set_header_tooltip(3, L"tip"));
  EXPECT_FALSE(grid->set_caption(4, L"x") || grid->set_header_tooltip(4, L"x"));
  EXPECT_EQ(grid->get_caption(3) + grid->get_header_tooltip(3), L"Lasttip");
  EXPECT_EQ(grid->get_caption(4) + grid->get_header_tooltip(4), L"");
  EXPECT_EQ(changed.count(), 0u);
}

// An expanded snippet row holds 1 + Σ(1 + lines) row lines and 3 pixels of frame.
TEST_F(aux_test, RowSizesFollowExpandedSnippets) {
  model->set_row_count(3);
  snippet_t snippet;
  snippet.items.resize(2);
  snippet.items[0].lines = {L"a", L"b"};
  model->set_data(0, snippet_column, snippet);
  const ptr<fake_hierarchy_t> tree(new fake_hierarchy_t(
      model, hierarchical_mode_snippets,
      {{row_state_collapsed, 0, 0}, {row_state_collapsed, 0, 1}, {row_state_expanded, 0, 2}}));
  grid->set_hierarchical_data_model(tree, true);
  tree->set_row_hierarchical_state(0, row_state_expanded);  // reported: the row grows
  EXPECT_EQ(rows().GetItemSize(0), 20 * 5 + 3);
  EXPECT_EQ(grid->get_item_size(1) + grid->get_item_size(7), 40);
  EXPECT_THROW(grid->get_item_size(2), boost::bad_get);  // no snippet in its cell
  tree->mode = hierarchical_mode_groups;                 // expanded groups keep the default height
  tree->set_row_hierarchical_state(0, row_state_expanded);
  EXPECT_EQ(rows().GetItemSize(0), 20);
}

TEST_F(aux_test, DataModelUpdatesCountRefitAndRepaint) {
  grid->set_columns({5, source_column, snippet_column}, {});
  const auto p = log_column(1, "P");
  p->widths = {{0, 100}, {1, 100}};
  model->set_row_count(2);
  model->set_source(0, L"text");
  model->data_updated.emit(source_column, 0);
  EXPECT_EQ(rows().GetCount(), 2);
  EXPECT_EQ(grid->get_column_width(1), 180);  // the first text column: 100 × 1.2 + 60
  EXPECT_EQ(grid->get_column_width(2), 40);
  for (const auto& [id, repaint] : std::initializer_list<std::pair<unsigned int, bool>>{
           {7, false}, {5, true}, {all_columns, true}}) {
    control.Paint();
    model->data_updated.emit(id, 0);
    EXPECT_EQ(control.HasPendingPaint(), repaint) << id;
  }
  control.Paint();
  model->summary_updated.emit();
  EXPECT_TRUE(control.HasPendingPaint());
  grid->set_column_data_id(0, source_column);  // a text column 0 is refitted on model updates
  grid->set_column_painter(0, p);
  rows().SetItemSize(1, 50);
  model->model_updated.emit();
  EXPECT_EQ(grid->get_column_width(0), 180);
  model->set_row_count(0);
  EXPECT_EQ(std::make_tuple(rows().GetCount(), rows().GetOwnSizeCount(), rows().GetTotalSize()),
            std::make_tuple(0, 0, 0));
}

TEST_F(aux_test, ColumnSetsWithGroupsAndTheirSignals) {
  auto has_columns = sv4_test::spy_on(grid->columns_changed);
  auto levels = sv4_test::spy_on(grid->header_levels_changed);
  grid->set_columns({10, 11, 12, 13}, {{1, {3, 2}}});
  EXPECT_EQ(data_ids(*grid), (ids_t{10, 11, 12, 13}));
  EXPECT_EQ(items(header_model), "0 1(32) ");
  EXPECT_EQ(std::make_pair(grid->get_column_expanded(1), grid->get_column_expanded(0)),
            std::make_pair(true, false));
  for (unsigned int c = 0; c < 4; ++c) {
    EXPECT_EQ(grid->get_caption(c), L"Column" + std::to_wstring(c + 1));
    EXPECT_EQ(header_model.column_at(c)->model_index, int(c));
    EXPECT_TRUE(dynamic_cast<column_painters::text_painter_t*>(grid->get_column_painter(c).get()));
    EXPECT_TRUE(dynamic_cast<column_painters::summary_text_painter_t*>(
        grid->get_column_summary_painter(c).get()));
  }
  EXPECT_NE(grid->get_column_painter(0), grid->get_column_painter(1));
  grid->set_columns({10, 11}, {});
  EXPECT_EQ(items(header_model), "0 1 ");
  grid->set_columns({}, {});
  EXPECT_EQ(items(header_model), "");
  grid->set_column_count(3);  // after an empty set
  EXPECT_EQ(data_ids(*grid), ids_t(3, no_data));
  EXPECT_EQ(items(header_model), "0 1 2 ");
  EXPECT_EQ(grid->get_caption(2), L"Column3");
  grid->set_columns({10, 11, 12, 13}, {{1, {2, 3}}});
  const auto kept = grid->get_column_painter(2);
  grid->set_column_count(3);  // items start over: plain columns that exist
  EXPECT_EQ(items(header_model), "0 1 2 ");
  EXPECT_EQ(data_ids(*grid), (ids_t{10, 11, 12}));
  EXPECT_EQ(grid->get_column_painter(2), kept);
  grid->set_column_count(0);
  EXPECT_EQ(has_columns.records(), (std::vector<std::tuple<bool>>{
                                       {true}, {true}, {false}, {true}, {true}, {true}, {false}}));
  EXPECT_EQ(levels.records(), (std::vector<std::tuple<int>>{{2}, {1}, {1}, {1}, {2}, {1}, {1}}));
  EXPECT_EQ(items(header_model), "");

  grid->set_columns({10, 11}, {});
  sv4_test::signal_spy_t<> changed(header_model.Changed);
  grid->set_column_visible(1, false);
  grid->set_column_expanded(0, false);
  grid->set_column_visible(5, false);
  grid->set_column_expanded(5, true);
  EXPECT_EQ(changed.count(), 2u);
  EXPECT_EQ(header_model.column_at(0)->expansion_state, 2);
  EXPECT_EQ(std::vector<bool>({grid->get_column_visible(0), grid->get_column_visible(1),
                               grid->get_column_visible(5), grid->get_column_expanded(5)}),
            std::vector<bool>({true, false, false, false}));
  EXPECT_EQ(header->GetVisibleCount(), 1);
}

TEST(aux_grid, MissingHeaderModelIsReportedAndChangesNothing) {
  sv4_test::assertion_recorder_t recorder;
  open_grid_t<auxiliary_grid_t> grid(nullptr, nullptr, nullptr, nullptr);
  auto has_columns = sv4_test::spy_on(grid.columns_changed);
  grid.set_columns({1, 2}, {{0, {1}}});
  ASSERT_EQ(recorder.reports().size(), 2u);  // construction, then this call
  const sv4_test::assertion_report_t& r = recorder.reports()[1];
  EXPECT_EQ(
      std::make_tuple(r.expression, r.file, r.line, r.function),
      std::make_tuple(std::string("false"), std::string("vcs\\source_view4\\src\\auxiliary_grid"),
                      56, std::string("source_view4::auxiliary_grid_t::set_columns")));
  EXPECT_EQ(has_columns.count() + grid.get_column_count(), 0u);
}

TEST_F(source_test, OneSourceColumnModeSwitchesAndTheWideSummary) {
  EXPECT_EQ(data_ids(*grid), ids_t{source_column});
  EXPECT_EQ(grid->get_caption(0), L"Source");
  EXPECT_EQ(items(header_model), "0 ");
  EXPECT_TRUE(cells->IsEmptyAreaSeparatorDrawn());
  const auto source = grid->get_source_painter();
  const auto snippets = grid->get_snippet_painter();
  for (const orrin7::font& f : {source->get_font(), snippets->get_font()})
    EXPECT_EQ(std::make_tuple(f.family, f.face), std::make_tuple(2, std::wstring()));
  EXPECT_FALSE(source->get_draw_horizontal_lines());
  EXPECT_EQ(grid->get_column_painter(0), source);
  snippets->set_draw_horizontal_lines(true);
  grid->set_hierarchical_mode(hierarchical_mode_snippets);
  EXPECT_EQ(grid->get_column_data_id(0), snippet_column);
  EXPECT_EQ(grid->get_column_painter(0), snippets);
  EXPECT_FALSE(snippets->get_draw_horizontal_lines());
  for (const hierarchical_mode_t mode : {hierarchical_mode_groups, hierarchical_mode_none}) {
    grid->set_hierarchical_mode(mode);
    EXPECT_EQ(grid->get_column_data_id(0), source_column);
    EXPECT_EQ(grid->get_column_painter(0), source);
  }

  grid->set_column_summary_painter(0, logger("S"));
  model->set_summary_data(source_column, std::wstring(L"total"));
  EXPECT_EQ(painted(), strings{"S 4294967295 4294967295 'total' f0 e0"});
  EXPECT_EQ(log[0].params.rect, orrin7::rectangle<double>(0, 0, 400, 19));  // the whole strip
}

// ---- the grid element on its own, its scroll model, the header model ----

using rect_t = orrin7::rectangle<double>;

struct probe_element_t : grid_element_t {
  using grid_element_t::DrawCell;
  using grid_element_t::DrawColumnEmptyArea;
  using grid_element_t::DrawRowEmptyArea;
  using grid_element_t::grid_element_t;
};

struct height_chooser_t : utilkit2::subscriber_base_t {
  int answer = -1;
  void choose(int& height) { height = answer == -1 ? height : answer; }
};

struct tips_t : orringrid8::ITooltipModel {
  std::wstring GetTooltipText(int row, int column) override {
    return L"tip " + std::to_wstring(row) + L"," + std::to_wstring(column);
  }
};

// Ten rows of 20 pixels and two columns of 100 in a 400 × 300 control.
class element_test : public ::testing::Test {
 protected:
  element_test() : element(new probe_element_t(control.GetRoot(), {0, 0}, orrinfrw7::AL_Client)) {
    control.CompleteAttach();
    element->SetRowHeightUpdating(false);
    rows().SetDefaultItemSize(20);
    rows().SetCount(10);
    columns().SetCount(2);
    control.Paint();
  }
  ~element_test() override { orrin7::GetSysPalette().UseDarkColors(false); }
  static orrinfrw7::CSimpleDiscreteItemViewModel& sized(orrinfrw7::IContinuousItemViewModel* m) {
    return dynamic_cast<orrinfrw7::CSimpleDiscreteItemViewModel&>(*m);
  }
  orrinfrw7::CSimpleDiscreteItemViewModel& rows() { return sized(element->GetRowViewModel()); }
  orrinfrw7::CSimpleDiscreteItemViewModel& columns() {
    return sized(element->GetColumnViewModel());
  }
  static unsigned palette(int index) { return orrin7::GetSysPalette().GetColor(index).value; }

  orrinfrw7::COffscreenControl control{400, 300};
  probe_element_t* element;
  sv4_test::recording_painter_t surface;
};

// A partly scrolled-out cell is reported whole, with its right and bottom edges on its last
// pixels (columns 100 and rows 20 wide here); clean cells only when everything is redrawn.
TEST_F(element_test, CellSignalWidensScrolledCellsAndSkipsCleanOnes) {
  auto drawn = sv4_test::spy_on(element->cell_drawing);
  element->DrawCell(&surface, 3, 5, 1, 7, 6, rect_t(10, 0, 50, 15), orrinfrw7::UT_Changed);
  element->DrawCell(&surface, 4, 0, 1, 0, 0, rect_t(10, 15, 50, 35), orrinfrw7::UT_Unchanged);
  element->set_redraw_allways(true);
  element->DrawCell(&surface, 4, 0, 1, 0, 0, rect_t(10, 15, 50, 35), orrinfrw7::UT_Unchanged);
  using record_t = std::tuple<orrin7::IPainter*, unsigned int, unsigned int, int, rect_t>;
  EXPECT_EQ(drawn.records(),
            (std::vector<record_t>{{&surface, 3u, 1u, 6, rect_t(3, -5, 102, 14)},
                                   {&surface, 4u, 1u, 0, rect_t(10, 15, 109, 34)}}));
}

TEST_F(element_test, EmptyAreasAndTheirSeparators) {
  const std::string fill =
      "SetBrush(" + sv4_test::format_color(element->GetEmptyAreaColor()) + ", 1)";
  const std::string pen =
      "SetPen(" + sv4_test::format_color(element->GetSeparatorColor()) + ", 1, 1)";
  const auto draw = [&](bool below, rect_t r) {
    surface.clear();
    below ? element->DrawRowEmptyArea(&surface, r) : element->DrawColumnEmptyArea(&surface, r);
    return surface.calls();
  };
  EXPECT_EQ(draw(true, rect_t(0, 200, 400, 300)), (strings{fill, "FillRect(0, 200, 400, 300)"}));
  element->DrawEmptyAreaSeparator(true);
  EXPECT_EQ(
      draw(true, rect_t(0, 200, 400, 300)),  // ends at the last column
      (strings{fill, "FillRect(0, 200, 400, 300)", pen, "MoveTo(0, 200)", "LineTo(200, 200)"}));
  EXPECT_EQ(draw(false, rect_t(200, 0, 400, 200)), (strings{fill, "FillRect(200, 0, 400, 200)", pen,
                                                            "MoveTo(200, 0)", "LineTo(200, 300)"}));
  columns().SetFlags(orrinfrw7::IVF_StretchLastItem);
  EXPECT_EQ(draw(true, rect_t(0, 200, 400, 300)).back(), "LineTo(400, 200)");
  columns().SetFlags(0);
  columns().SetCount(5);  // wider than the element: no vertical line
  EXPECT_EQ(draw(false, rect_t(400, 0, 400, 200)).size(), 2u);
}

TEST_F(element_test, ColoursFollowThePaletteUnlessSetByTheHost) {
  EXPECT_EQ(std::make_tuple(element->GetEmptyAreaColor().value, element->GetBkColor().value,
                            element->GetSeparatorColor().value),
            std::make_tuple(palette(6), palette(6), palette(7)));
  const orrin7::_color red = orrin7::_color::rgb(200, 0, 0);
  element->SetEmptyAreaColor(red);
  orrin7::GetSysPalette().UseDarkColors(true);
  control.SysColorsChanged();
  control.Paint();
  EXPECT_EQ(std::make_tuple(element->GetEmptyAreaColor().value, element->GetBkColor().value,
                            element->GetSeparatorColor().value, control.GetPixel(399, 299).value),
            std::make_tuple(red.value, red.value, palette(7), red.value));
}

TEST_F(element_test, RowHeightQueryAndTooltips) {
  const int natural = element->GetTextLineHeight() +
                      int(orrin7::GetCurrentSystem()->GetMetricF(orrin7::SM_LineHeight));
  EXPECT_EQ(element->CalculateDefaultRowHeight(), natural);
  height_chooser_t chooser;
  element->row_height_query.connect(&chooser, &height_chooser_t::choose);
  chooser.answer = 17;
  element->SetRowMargin(2);
  element->RecalculateRowHeight();
  EXPECT_EQ(rows().GetDefaultItemSize(), 19);
  chooser.answer = 0;
  element->RecalculateRowHeight();
  EXPECT_EQ(element->CalculateDefaultRowHeight() + rows().GetDefaultItemSize(), 19);
  chooser.answer = -1;
  EXPECT_EQ(element->CalculateDefaultRowHeight(), natural);

  rows().SetDefaultItemSize(20);
  tips_t tips;
  element->set_tooltip_model(&tips);
  control.MouseMove(150, 50);
  ASSERT_TRUE(control.HoverElapsed());
  EXPECT_EQ(control.GetShownTooltip()->text, L"tip 2,1");
  EXPECT_EQ(control.GetShownTooltip()->area, orrin7::rectangle<int>(100, 40, 200, 60));
  control.MouseMove(250, 50);  // right of the columns
  EXPECT_FALSE(control.HoverElapsed());
}

TEST(scroll_model, CountsInDefaultRowsAndRemoveTranslatorRemovesAll) {
  orrinfrw7::CDefaultDiscreteItemViewModel size(20), target(30);
  for (auto* m : {&size, &target}) m->SetCount(50), m->SetViewSize(100, true);
  PseudoDiscreteScrollModel scroll(&size);
  scroll.SetPosition(2.5);
  EXPECT_EQ(std::make_pair(size.GetViewStart(), scroll.GetPosition()), std::make_pair(50, 2.5));
  scroll.SetTargetViewModel(&target);
  scroll.SetPosition(3);  // rows of the size model, pixels of the target
  EXPECT_EQ(std::make_tuple(target.GetViewStart(), scroll.GetPosition(), scroll.GetTotal(),
                            scroll.GetLineStep(), scroll.GetPageInfo()),
            std::make_tuple(60, 3.0, 50, 20, std::make_pair(1.0, 20)));
  PseudoDiscreteScrollModel none(nullptr);
  none.SetPosition(4);
  EXPECT_EQ(
      std::make_tuple(none.GetTotal(), none.GetPosition(), none.GetLineStep(), none.GetPageInfo()),
      std::make_tuple(0, 0.0, 4, std::make_pair(1.0, 1)));
  none.SetTargetViewModel(&target);
  EXPECT_EQ(none.GetTotal(), 1500);  // the target's pixels

  bool removed = false;
  EXPECT_EQ(RemoveTranslator().TranslateIndex(7, &removed), 7);
  EXPECT_TRUE(removed);
  EXPECT_EQ(RemoveTranslator().TranslateIndex(3, nullptr), 3);
}

// Items for columns 1 (hidden), 2, 3 and a group 0 of 3 and 1.
TEST(header_model, VisibleLookupsResizeAndDeepCopies) {
  header_model_t model;
  model.resize_columns(4);
  for (unsigned int c = 0; c < 4; ++c) model.column_at(c)->caption = std::to_wstring(c);
  model.column_at(1)->visible = false;
  for (unsigned int c : {1u, 2u, 3u}) model.add_item(c);
  model.add_group(0, {3, 1});
  const auto caption = [](const orrinfrw7::IHeaderItem* item) {
    return item ? item->GetCaption() : L"null";
  };
  const orrinfrw7::IHeaderItem* group = model.GetVisibleChild(2);
  EXPECT_EQ(std::make_pair(model.GetVisibleChildCount(), group->GetVisibleChildCount()),
            std::make_pair(3, 1));
  EXPECT_EQ(caption(model.GetVisibleChild(0)) + caption(model.GetVisibleChild(1)) + caption(group) +
                caption(model.GetVisibleChild(5)) + caption(group->GetVisibleChild(0)) +
                caption(group->GetVisibleChild(1)) + caption(header_model_t().GetVisibleChild(0)),
            L"230133null");  // past the end: the first item, hidden or not
  EXPECT_EQ(group->GetVisibleChild(0)->GetParent(), group);
  EXPECT_EQ(group->GetOwner(), &model);

  header_model_t copy(model);
  copy.column_at(3)->caption = L"copied";
  const orrinfrw7::IHeaderItem* copied_group = copy.GetVisibleChild(2);
  EXPECT_EQ(copied_group->GetOwner(), &copy);
  EXPECT_EQ(copied_group->GetVisibleChild(0)->GetOwner(), copied_group);
  EXPECT_EQ(caption(copied_group->GetVisibleChild(0)) + caption(group->GetVisibleChild(0)),
            L"copied3");
  const header_model_t::header_item_t item_copy(model.get_items()[3]);
  EXPECT_EQ(item_copy.get_children()[0].GetOwner(), &item_copy);

  model.column_at(0)->width = 90;
  model.resize_columns(3);  // column 3 goes, and its item and child with it
  model.resize_columns(5);
  const header_column_t &kept = *model.column_at(0), &added = *model.column_at(4);
  EXPECT_EQ(std::make_tuple(kept.caption, kept.width), std::make_tuple(std::wstring(L"0"), 90));
  EXPECT_EQ(std::make_tuple(added.caption, added.width, added.visible, added.expansion_state,
                            added.value_a, added.value_b, added.value_c),
            std::make_tuple(std::wstring(), 40, true, 0, 0, -1, 36));
  EXPECT_EQ(std::make_pair(model.get_items().size(), model.get_items()[2].get_children().size()),
            std::make_pair(std::size_t(3), std::size_t(1)));
}

}  // namespace
}  // namespace grids_test
