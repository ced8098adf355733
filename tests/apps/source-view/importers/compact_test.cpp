// The compact storage behind large inputs: source text in blocks, mapped input files, progress
// reports, and branch labels and snippets kept as records in the model.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "coverage.h"
#include "input_file.h"
#include "view_data.h"

namespace source_view_app {
namespace {

std::string line_text(std::size_t i) { return std::string(i % 97, char('a' + i % 26)); }

// Lines of every length up to 96 fill several blocks; a line longer than a block gets one of
// its own; an empty line at a block's end keeps its place.
TEST(SourceText, ReadsBackAcrossBlocksAndAfterReleasingEarlierOnes) {
  source_text_t text;
  const std::size_t count = 60000;  // about 2.8 MiB
  for (std::size_t i = 0; i < count; ++i) text.push_back(line_text(i));
  const std::string huge(3u << 20, 'h');
  text.push_back(huge);
  text.push_back("");
  text.push_back("tail");
  ASSERT_EQ(text.size(), count + 3);
  for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(text[i], line_text(i)) << i;
  EXPECT_EQ(text[count], huge);
  EXPECT_EQ(text[count + 1], "");
  EXPECT_EQ(text[count + 2], "tail");
  EXPECT_TRUE(text == text);
  EXPECT_FALSE(text == source_text_t({"a"}));

  text.release_before(count - 5);
  for (std::size_t i = count - 5; i < count; ++i) EXPECT_EQ(text[i], line_text(i));
  text.push_back("after");  // the last block is kept for what comes
  EXPECT_EQ(text[count + 3], "after");
}

struct offsets_t final : read_observer_t {
  std::vector<std::size_t> seen;
  void reached(std::size_t offset) override { seen.push_back(offset); }
};

// A mapped file reads like read_input, before and after its pages are given back; gzip data is
// decompressed; the reader reports about once a MiB, always at a line's end.
TEST(InputBytes, MappedOrDecompressedTextAndProgress) {
  char name[] = "/tmp/compact-test-XXXXXX";
  int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  std::string content;
  for (std::size_t i = 0; content.size() < (5u << 20); ++i) content += line_text(i) + "\n";
  ASSERT_EQ(write(fd, content.data(), content.size()), ssize_t(content.size()));
  close(fd);

  input_bytes_t input(name);
  ASSERT_EQ(input.text(), content);
  offsets_t observer;
  line_reader_t reader(input.text(), &observer);
  std::string_view line;
  std::size_t lines = 0;
  while (reader.next(line)) {
    ++lines;
    input.release_before(reader.line_number() == 1 ? 0 : content.size() / 2);
  }
  EXPECT_EQ(input.text().substr(0, 4096), content.substr(0, 4096));  // read again from the file
  EXPECT_EQ(lines, std::size_t(std::count(content.begin(), content.end(), '\n')));
  ASSERT_GE(observer.seen.size(), 4u);
  ASSERT_LE(observer.seen.size(), 5u);
  for (std::size_t i = 0; i < observer.seen.size(); ++i) {
    EXPECT_EQ(content[observer.seen[i] - 1], '\n');
    if (i == 0) continue;
    EXPECT_GE(observer.seen[i] - observer.seen[i - 1], std::size_t(1) << 20);
  }
  std::remove(name);
  EXPECT_THROW(input_bytes_t("/nonexistent/input"), std::exception);
}

// Branch labels and snippets are made from records on reading; the columns answer like stored
// ones, and clearing one leaves the other.
TEST(ViewerModel, BranchAndSnippetColumnsFromRecords) {
  using state = branch_record_t::state_t;
  viewer_model_t model;
  model.set_row_count(4);
  for (unsigned row = 0; row < 4; ++row) model.set_source(row, L"line " + std::to_wstring(row));
  row_details_t details;
  details.branches.resize(3);
  details.branches[0].state = state::taken;
  details.branches[0].count = 1496;
  details.branches[0].text = {0, 10};  // "taken 1496"
  details.branches[1].state = state::not_taken;
  details.branches[2].state = state::never_executed;
  details.branch_starts = {0, 0, 1, 3, 3};
  details.calls.push_back({{10, 14}, false});  // "never executed"
  details.call_starts = {0, 0, 0, 0, 1};
  details.detail_text = "taken 1496never executed";
  details.instances[0] = {{"f<int>", true, 7, "7"}};
  model.set_details(branches_id, details, true);

  EXPECT_EQ(model.get_text_data(0, branches_id), L"");
  EXPECT_EQ(model.get_text_data(1, branches_id), L"1496");
  EXPECT_EQ(model.get_text_data(2, branches_id), L"0 -");
  auto labels = boost::get<source_view4::label_list_t>(model.get_data(2, branches_id));
  EXPECT_EQ(labels.image_indexes, (std::vector<int>{image_not_taken, image_never_executed}));
  EXPECT_EQ(model.get_longest_text_row(branches_id), 1u);

  auto snippet = [&](unsigned row) {
    return boost::get<source_view4::snippet_t>(model.get_data(row, source_view4::snippet_column));
  };
  EXPECT_EQ(snippet(0).text, L"line 0");
  ASSERT_EQ(snippet(0).items.size(), 1u);
  EXPECT_EQ(snippet(0).items[0].title, L"f<int>: 7");
  EXPECT_EQ(snippet(1).items[0].title, L"branch 0 taken 1496");
  EXPECT_EQ(snippet(3).items[0].title, L"call 0 never executed");
  EXPECT_EQ(snippet(3).items[0].image_index, image_never_executed);
  EXPECT_TRUE(model.has_snippet_entries(2));
  EXPECT_FALSE(model.has_snippet_entries(4));
  EXPECT_TRUE(model.is_data_set(3, source_view4::snippet_column));
  EXPECT_FALSE(model.is_data_set(4, branches_id));

  model.clear_columns({branches_id});
  EXPECT_FALSE(model.is_data_set(1, branches_id));
  source_view4::cell_value_t cleared = model.get_data(1, branches_id);
  EXPECT_EQ(boost::get<source_view4::label_list_t>(&cleared), nullptr);
  EXPECT_EQ(snippet(1).items.size(), 1u);  // the snippets keep their details
  model.clear();
  EXPECT_FALSE(model.is_data_set(1, source_view4::snippet_column));
}

}  // namespace
}  // namespace source_view_app
