// Bad input of every kind ends in one import_error whose text names the file and line: a corpus
// of malformed gcov text, gcov JSON and TSV with the exact message each must give.
#include <gtest/gtest.h>

#include <zlib.h>

#include "gcov_json.h"
#include "gcov_run.h"
#include "gcov_text.h"
#include "import_error.h"
#include "input_file.h"
#include "load.h"
#include "tsv.h"
#include "view_data.h"

namespace source_view_app {
namespace {

struct bad_input_t {
  const char* name;
  std::string text;
  const char* message;  // what() of the error
};

const std::string header = "        -:    0:Source:a.c\n        -:    0:Runs:1\n";

// What the import_error thrown by `f` says.
template <class F>
std::string error_in(F f) {
  try {
    f();
  } catch (const import_error& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(Malformed, GcovTextCorpus) {
  const bad_input_t corpus[] = {
      {"empty", "", "in.x: empty file, not a gcov listing"},
      {"count not a number", header + "       1x:    1:int a;\n",
       "in.x:3: count '1x' is not a number"},
      {"line skipped", header + "        1:    1:a\n        1:    3:b\n",
       "in.x:4: line 3 where line 2 was expected"},
      {"line repeated", header + "        1:    1:a\n        1:    1:b\n",
       "in.x:4: line 1 where line 2 was expected"},
      {"truncated count line", header + "        1:    1:a\n     12",
       "in.x:4: not a line of gcov output: '     12'"},
      {"binary", header + std::string("\0\1\2", 3),
       "in.x:3: binary data (a NUL byte), not a text file"},
      {"invalid UTF-8", header + "        1:    1:caf\xe9\n", "in.x:3: invalid UTF-8 at column 20"},
      {"branch before lines", header + "branch  0 taken 1\n",
       "in.x:3: branch line before any source line"},
      {"branch count", header + "        1:    1:a\nbranch  0 taken x1\n",
       "in.x:4: branch count 'x1' is not a number"},
      {"branch words", header + "        1:    1:a\nbranch  0 went 1\n",
       "in.x:4: branch line neither 'taken' nor 'never executed'"},
      {"call words", header + "        1:    1:a\ncall    0 left\n",
       "in.x:4: call line neither 'returned' nor 'never executed'"},
      {"function counts", header + "function f called many returned 1% blocks executed 1%\n",
       "in.x:3: function line with a count that is not a number"},
      {"function shape", header + "function f called 1\n",
       "in.x:3: function line without 'returned' and 'blocks executed'"},
      {"section past the end",
       header + "        1:    1:a\n------------------\nf:\n        1:    2:b\n",
       "in.x:6: line 2 of section 'f' is past the end of the listing"},
      {"runs", "        -:    0:Runs:lots\n", "in.x:1: runs 'lots' is not a number"},
  };
  for (const bad_input_t& bad : corpus)
    EXPECT_EQ(error_in([&] { parse_gcov_text("in.x", bad.text); }), bad.message) << bad.name;
}

TEST(Malformed, TsvCorpus) {
  const bad_input_t corpus[] = {
      {"empty", "", "in.x: empty file, no header row"},
      {"no columns", "line\n1\n", "in.x:1: header row has no tab-separated columns"},
      {"short row", "line\tcost\n1\t5\n2\n", "in.x:3: 1 fields where the header has 2"},
      {"long row", "line\tcost\n1\t5\t6\n", "in.x:2: 3 fields where the header has 2"},
      {"line zero", "line\tcost\n0\t5\n", "in.x:2: line number '0' is not a positive whole number"},
      {"line text", "cost\tline\n5\tten\n",
       "in.x:2: line number 'ten' is not a positive whole number"},
      {"repeat", "line\tcost\n4\t5\n4\t6\n", "in.x:3: line 4 repeats the row of line 2"},
      {"invalid UTF-8", "line\tname\n1\t\xff\n", "in.x:2: invalid UTF-8 at column 3"},
      {"binary", std::string("line\tcost\n1\t\0\n", 13),
       "in.x:2: binary data (a NUL byte), not a text file"},
  };
  for (const bad_input_t& bad : corpus)
    EXPECT_EQ(error_in([&] { parse_tsv("in.x", bad.text); }), bad.message) << bad.name;
}

TEST(Malformed, GcovJsonCorpus) {
  std::string dir = source_view_test::coverage_dir();
  std::string doc = "{\"gcc_version\": \"12\", \"current_working_directory\": \"" + dir + "\", ";
  std::string file = "\"files\": [{\"file\": \"sample.cpp\", ";
  const bad_input_t corpus[] = {
      {"truncated", doc + file,
       "in.x:1: not JSON at column 117: syntax error while parsing object key - unexpected end of "
       "input; expected string literal"},
      {"not an object", "[1]", "in.x: document: expected an object"},
      {"no files", doc + "\"x\": 1}", "in.x: document: missing member 'files'"},
      {"files empty", doc + "\"files\": []}", "in.x: the document lists no files"},
      {"count negative", doc + file + "\"lines\": [{\"line_number\": 1, \"count\": -3}]}]}",
       "in.x: files[0].lines[0].count: expected a whole number not below 0"},
      {"count text", doc + file + "\"lines\": [{\"line_number\": 1, \"count\": \"7\"}]}]}",
       "in.x: files[0].lines[0].count: expected a whole number not below 0"},
      {"past the end", doc + file + "\"lines\": [{\"line_number\": 17, \"count\": 1}]}]}",
       "in.x: files[0].lines[0]: line 17 is past the end of sample.cpp (16 lines)"},
      {"branch shape",
       doc + file + "\"lines\": [{\"line_number\": 1, \"count\": 1, \"branches\": [{}]}]}]}",
       "in.x: files[0].lines[0].branches[0]: missing member 'count'"},
      {"blocks",
       doc + file +
           "\"lines\": [], \"functions\": [{\"name\": \"f\", \"start_line\": 1, "
           "\"end_line\": 2, \"execution_count\": 1, \"blocks\": 1, \"blocks_executed\": 2}]}]}",
       "in.x: files[0].functions[0]: more blocks executed than the function has"},
      {"number too large", doc + file + "\n\"lines\": [{\"line_number\": 1, \"count\": 6e368}]}]}",
       "in.x:2: not JSON at column 39: number overflow parsing '6e368'"},
  };
  const auto json = [](const std::string& text) {
    return error_in([&] { parse_gcov_json("in.x", text, "", ""); });
  };
  for (const bad_input_t& bad : corpus) EXPECT_EQ(json(bad.text), bad.message) << bad.name;
  const std::string gone = json(doc + "\"files\": [{\"file\": \"gone.cpp\", \"lines\": []}]}");
  EXPECT_EQ(gone.rfind(dir + "/gone.cpp: cannot open: ", 0), 0u) << gone;  // names the source
}

TEST(Malformed, DamagedFilesAndSourcesOnDisk) {
  std::string dir = source_view_test::coverage_dir();
  std::string gz = source_view_test::read_all(dir + "/sample.gcov.json.gz");
  source_view_test::write_all(dir + "/cut.json.gz", gz.substr(0, gz.size() / 2));
  EXPECT_THROW(read_input(dir + "/cut.json.gz"), import_error);
  EXPECT_EQ(error_in([&] { read_input(dir + "/none.gcov"); }),
            dir + "/none.gcov: cannot open: No such file or directory");
  // A table row past the end of its source names the table's own line.
  source_view4::data_model_t model;
  tsv_table_t table = parse_tsv("t.tsv", "line\tcost\n2\t1\n9\t1\n");
  EXPECT_EQ(error_in([&] {
              fill_table_view(table, {"a", "b", "c"}, model);
            }),
            "t.tsv:3: line 9 is past the end of the source (3 lines)");
}

}  // namespace
}  // namespace source_view_app
