// source-view as a command: --text of every input kind against gcov's own counts, the images it
// renders, the messages and exit status of bad input and bad options, --list, --help.
#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "gcov_run.h"
#include "program/callgrind_run.h"

namespace {

using source_view_test::coverage_dir;
using source_view_test::read_all;
using source_view_test::write_all;

struct run_result_t {
  int status = -1;
  std::string out, err;
};

// Runs the program with `args` (shell words), stdout and stderr apart.
run_result_t run(const std::string& args) {
  std::string err_path = coverage_dir() + "/stderr.txt";
  // Under the leak checker the program's stderr must hold its own messages only.
  std::string command = "LSAN_OPTIONS=print_suppressions=0 " + std::string(SOURCE_VIEW_PROGRAM) +
                        " " + args + " 2>" + err_path;
  run_result_t result;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    result.out.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = read_all(err_path);
  return result;
}

std::vector<std::vector<std::string>> rows_of(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      cells.push_back(line.substr(start, tab - start));
    cells.push_back(line.substr(start));
    rows.push_back(cells);
  }
  return rows;
}

// gcov's field as the view shows it: "#####" and "=====" are 0, "-" is empty.
std::string as_shown(const std::string& field) {
  if (field == "-") return "";
  if (field == "#####" || field == "=====") return "0";
  return field;
}

// The count on every line of --text equals gcov's own, for each gcov text output and for JSON
// (whose exact counts match the -b -c listing's).
TEST(Program, TextCountsEqualGcovOwnOnEveryLine) {
  const char* inputs[][2] = {{"sample.bc.gcov", "sample.bc.gcov"},
                             {"sample.h.gcov", "sample.h.gcov"},
                             {"sample.plain.gcov", "sample.plain.gcov"},
                             {"sample.gcov.json.gz", "sample.bc.gcov"}};
  for (auto& input : inputs) {
    SCOPED_TRACE(input[0]);
    run_result_t r = run("--text '" + coverage_dir() + "/" + input[0] + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    auto rows = rows_of(r.out);
    std::vector<std::string> fields =
        source_view_test::gcov_count_fields(read_all(coverage_dir() + "/" + input[1]));
    ASSERT_EQ(rows.size(), fields.size() + 1);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Line", "Count", "Source", "Branches", "Hits"}));
    for (std::size_t i = 0; i < fields.size(); ++i) {
      ASSERT_EQ(rows[i + 1].size(), 5u) << "line " << i + 1;
      EXPECT_EQ(rows[i + 1][0], std::to_string(i + 1));
      EXPECT_EQ(rows[i + 1][1], as_shown(fields[i])) << "line " << i + 1;
    }
  }
}

TEST(Program, FunctionsModeAndTablesInText) {
  run_result_t r = run("--mode functions --text '" + coverage_dir() + "/sample.bc.gcov'");
  ASSERT_EQ(r.status, 0) << r.err;
  auto rows = rows_of(r.out);
  ASSERT_EQ(rows.size(), 20u);  // caption, 16 lines, 3 function rows
  EXPECT_EQ(rows[8][0], "\u0192");
  EXPECT_EQ(rows[8][1], "0");
  EXPECT_NE(rows[8][2].find("never"), std::string::npos);
  EXPECT_NE(rows[8][2].find("called 0"), std::string::npos);

  std::string table = coverage_dir() + "/costs.tsv";
  write_all(table, "cost\tline\tshare\n12\t10\t50%\n3\t2\t12.5%\n");
  r = run("--text --source '" + coverage_dir() + "/sample.cpp' '" + table + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  rows = rows_of(r.out);
  ASSERT_EQ(rows.size(), 17u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Line", "cost", "share", "Source"}));
  EXPECT_EQ(rows[10][1], "12");
  EXPECT_EQ(rows[2][2], "12.50%");
  EXPECT_EQ(rows[1][1], "");
}

// Reads a PNG's size and the pixel at (x, y) as 0xRRGGBB.
struct png_t {
  int width = 0, height = 0;
  std::uint32_t pixel(int x, int y) const { return pixels[std::size_t(y) * width + x] & 0xFFFFFF; }
  std::vector<std::uint32_t> pixels;
};

png_t load_png(const std::string& path) {
  png_t png;
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    png.width = cairo_image_surface_get_width(s);
    png.height = cairo_image_surface_get_height(s);
    int stride = cairo_image_surface_get_stride(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < png.height; ++y)
      for (int x = 0; x < png.width; ++x)
        png.pixels.push_back(reinterpret_cast<std::uint32_t*>(data + y * stride)[x]);
  }
  cairo_surface_destroy(s);
  return png;
}

int brightness(std::uint32_t rgb) {
  return int((rgb >> 16) & 0xFF) + int((rgb >> 8) & 0xFF) + int(rgb & 0xFF);
}

TEST(Program, RendersImagesInBothThemes) {
  std::string dir = coverage_dir();
  std::string input = "'" + dir + "/sample.bc.gcov'";
  run_result_t r = run("--size 640x700 --png " + dir + "/light.png " + input);
  ASSERT_EQ(r.status, 0) << r.err;
  r = run("--size 640x700 --theme dark --png " + dir + "/dark.png --pdf " + dir + "/v.pdf --svg " +
          dir + "/v.svg " + input);
  ASSERT_EQ(r.status, 0) << r.err;
  png_t light = load_png(dir + "/light.png"), dark = load_png(dir + "/dark.png");
  ASSERT_EQ(light.width, 640);
  ASSERT_EQ(light.height, 700);
  ASSERT_EQ(dark.width, 640);
  // The empty area below the 16 lines takes the theme's colour.
  EXPECT_GT(brightness(light.pixel(300, 600)), 600);
  EXPECT_LT(brightness(dark.pixel(300, 600)), 200);
  EXPECT_EQ(read_all(dir + "/v.pdf").substr(0, 5), "%PDF-");
  EXPECT_NE(read_all(dir + "/v.svg").find("<svg"), std::string::npos);
}

TEST(Program, BadInputNamesFileAndLineAndFails) {
  std::string dir = coverage_dir();
  write_all(dir + "/bad.gcov", "        -:    0:Source:a.c\n       1x:    1:int a;\n");
  const std::string sample = "'" + dir + "/sample.bc.gcov'";
  const std::pair<std::string, std::string> cases[] = {
      {"--text '" + dir + "/bad.gcov'", dir + "/bad.gcov:2: count '1x' is not a number\n"},
      {"--png " + dir + "/none.png '" + dir + "/missing.gcov'",
       dir + "/missing.gcov: cannot open: No such file or directory\n"},
      {"--text --line 99 " + sample,
       dir + "/sample.bc.gcov: --line 99 is past the end (16 lines)\n"},
      {"--text --format tsv " + sample,
       dir + "/sample.bc.gcov:1: header row has no tab-separated columns\n"}};
  for (const auto& [args, message] : cases) {
    run_result_t r = run(args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, message);
  }
  EXPECT_EQ(run("--text --line 16 " + sample).status, 0);  // the last line is not past the end
}

TEST(Program, OptionMistakesExitWithUsageStatus) {
  const char* cases[][2] = {
      {"--size 12 x", "source-view: --size: expected WxH, 100 to 16384 each (got '12')\n"},
      {"--mode tree x", "source-view: --mode: expected flat, functions or snippets (got 'tree')\n"},
      {"--bogus x", "source-view: unknown option --bogus (see --help)\n"},
      {"--text", "source-view: no input file (see --help)\n"},
      {"--events , x", "source-view: --events: expected event names such as Ir,Dr (got ',')\n"},
      {"x --line", "source-view: --line needs a value (see --help)\n"},
  };
  for (auto& c : cases) {
    run_result_t r = run(c[0]);
    EXPECT_EQ(r.status, 2) << c[0];
    EXPECT_EQ(r.err, c[1]);
  }
}

TEST(Program, ListHelpAndVersion) {
  run_result_t r = run("--list '" + coverage_dir() + "/sample.gcov.json.gz'");
  ASSERT_EQ(r.status, 0) << r.err;
  auto totals = source_view_test::gcov_summary("Lines executed");
  char expected[64];
  std::snprintf(expected, sizeof expected, "lines %llu / %llu", (unsigned long long)totals.first,
                (unsigned long long)totals.second);
  EXPECT_EQ(r.out.rfind("sample.cpp\t" + std::string(expected), 0), 0u) << r.out;
  r = run("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* option :
       {"--format", "--file", "--list", "--source", "--source-dir", "--mode", "--line", "--find",
        "--theme", "--png", "--pdf", "--svg", "--size", "--text", "--version"})
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
  r = run("--version");
  EXPECT_EQ(r.out.rfind("source-view ", 0), 0u);
}

// The percents of the progress lines on stderr ("source-view: reading NAME … P %"), in order.
std::vector<int> progress_steps(const std::string& err, const std::string& name) {
  std::vector<int> steps;
  const std::string prefix = "source-view: reading " + name + " \u2026 ";
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(prefix, 0) == 0) steps.push_back(std::atoi(line.c_str() + prefix.size()));
  return steps;
}

// With the delay at 0 every import reports: one line per 10 % step reached (stderr is no
// terminal here), rising, from 0 to 100, ended before the next message; with the default delay a
// quick import says nothing.
TEST(Program, SlowImportShowsItsProgressOnStderr) {
  std::string path = coverage_dir() + "/big.c.gcov", text = "        -:    0:Source:big.c\n";
  for (int i = 1; i <= 120000; ++i)
    text += "      " + std::to_string(i) + ":" + std::to_string(i) +
            ":  x += " + std::to_string(i) + ";\n";
  write_all(path, text);
  setenv("SOURCE_VIEW_PROGRESS_DELAY", "0", 1);
  run_result_t r = run("--png " + coverage_dir() + "/big.png '" + path + "'");
  unsetenv("SOURCE_VIEW_PROGRESS_DELAY");
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<int> steps = progress_steps(r.err, "big.c.gcov");
  ASSERT_GE(steps.size(), 2u) << r.err;
  EXPECT_EQ(steps.front(), 0);
  EXPECT_EQ(steps.back(), 100);
  for (std::size_t i = 1; i < steps.size(); ++i) {
    EXPECT_GT(steps[i], steps[i - 1]) << r.err;
    EXPECT_EQ(steps[i] % 10, 0) << r.err;
  }
  EXPECT_EQ(r.err.find("source-view: wrote "), r.err.rfind("100 %\n") + 6) << r.err;
  r = run("--text '" + coverage_dir() + "/sample.bc.gcov'");
  EXPECT_TRUE(progress_steps(r.err, "sample.bc.gcov").empty()) << r.err;
}

// The cell under `caption` of the row of source line `line` in a --text export.
std::string cell(const std::vector<std::vector<std::string>>& rows, unsigned line,
                 const std::string& caption) {
  auto column = std::find(rows[0].begin(), rows[0].end(), caption) - rows[0].begin();
  for (const auto& row : rows)
    if (row[0] == std::to_string(line) && std::size_t(column) < row.size()) return row[column];
  return "(none)";
}

TEST(ProgramProfile, ListsFilesShowsTheCostliestAndSumsProfiles) {
  std::string dir = source_view_test::callgrind_dir(), one = "'" + dir + "/cg.1' ";
  run_result_t r = run("--list " + one);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind(dir + "/work.c\tIr ", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\n" + dir + "/prog.c\tIr "), std::string::npos) << r.out;
  std::string work_total = r.out.substr(dir.size() + 11, r.out.find('\n') - dir.size() - 11);
  auto rows = rows_of(run("--text " + one).out);
  ASSERT_EQ(rows.size(), 7u);  // captions and work.c's six lines
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Line", "Source", "Ir", "Share", "Calls Ir"}));
  EXPECT_EQ(rows[4][1], "    s += i % 7;");
  // main calls work from line 5: the calls' inclusive cost is all of work.c's self cost.
  EXPECT_EQ(cell(rows_of(run("--text --file prog.c " + one).out), 5, "Calls Ir"), work_total);
  auto two = rows_of(run("--text '" + dir + "/cg.2'").out);
  auto both = rows_of(run("--text " + one + "'" + dir + "/cg.2'").out);
  for (unsigned line = 1; line <= 6; ++line) {
    long long a = std::atoll(cell(rows, line, "Ir").c_str()),
              b = std::atoll(cell(two, line, "Ir").c_str());
    EXPECT_EQ(cell(both, line, "Ir"), a > 0 ? std::to_string(a + b) : "") << "line " << line;
  }
}

TEST(ProgramProfile, BadProfilesEventsFilesAndMixedInputsFail) {
  std::string dir = source_view_test::callgrind_dir();
  std::string profile = "'" + dir + "/cg.1'";
  run_result_t r = run("--text --events Ir,Bogus " + profile);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, dir + "/cg.1: --events: the profile has no event 'Bogus' (it has: Ir)\n");
  r = run("--text --file none.c " + profile);
  EXPECT_EQ(r.err, dir + "/cg.1: no file named 'none.c' in the profile (see --list)\n");
  write_all(dir + "/bad.out", "events: Ir\nfl=a.c\nfn=f\n1 x\n");
  r = run("--png " + dir + "/none.png '" + dir + "/bad.out'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind(dir + "/bad.out:4: ", 0), 0u) << r.err;
  r = run("--text '" + coverage_dir() + "/sample.bc.gcov' " + profile);
  EXPECT_EQ(r.err, dir +
                       "/cg.1: only callgrind profiles are summed; other inputs come one at a "
                       "time\n");
}

}  // namespace
