// The viewer's window under Xvfb, driven by its keys, menus and clicks on a listing and on a
// profile; the program reports its state on SIGUSR1, compared with gcov's listing of the sample.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "gcov_run.h"
#include "support/child_process.h"

namespace {

using sv4_test::child_process_t;
using sv4_test::poll_until;
using sv4_test::shell;

// gcov's listing of the sample: the lines gcov marked "#####", and those whose text has `word`.
std::vector<unsigned> unexecuted_lines() {
  std::vector<unsigned> lines;
  auto fields = source_view_test::gcov_count_fields(source_view_test::read_all(SOURCE_VIEW_SAMPLE));
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i] == "#####") lines.push_back(unsigned(i + 1));
  return lines;
}

// The listing's source texts by line number, [0] empty.
std::vector<std::string> sources() {
  std::vector<std::string> texts(1);
  std::istringstream in(source_view_test::read_all(SOURCE_VIEW_SAMPLE));
  for (std::string line; std::getline(in, line);) {
    std::size_t a = line.find(':'), b = line.find(':', a + 1);
    if (b != std::string::npos && std::atoi(line.substr(a + 1, b - a - 1).c_str()) > 0)
      texts.push_back(line.substr(b + 1));
  }
  return texts;
}

std::vector<unsigned> lines_with(const std::string& word) {
  std::vector<unsigned> lines;
  const std::vector<std::string> texts = sources();
  for (unsigned n = 1; n < texts.size(); ++n)
    if (texts[n].find(word) != std::string::npos) lines.push_back(n);
  return lines;
}

struct source_view_window : ::testing::Test {
  static void SetUpTestSuite() {
    const int display = sv4_test::start_x_server(server, "1600x1000x24");
    if (display < 0) return;
    sv4_test::use_display(display);
    ready_display = true;
  }
  static void TearDownTestSuite() { server.reset(); }

  void SetUp() override { launch("'" SOURCE_VIEW_SAMPLE "'", "wordfreq.c"); }

  // Starts the program on `arguments` and waits for its window, whose title starts with `title`.
  void launch(const std::string& arguments, const std::string& title) {
    if (!ready_display) GTEST_SKIP() << "no X server: Xvfb could not be started";
    program = std::make_unique<child_process_t>("env LSAN_OPTIONS=print_suppressions=0 " +
                                                std::string(SOURCE_VIEW_PROGRAM) +
                                                " --size 1000x700 " + arguments);
    ASSERT_GT(program->pid, 0);
    ASSERT_TRUE(poll_until([&] {
      return !(window = shell("xdotool search --onlyvisible --name '^source-view: " + title + "'"))
                  .empty();
    }));
    window = window.substr(0, window.find('\n'));
  }

  // Keys to the window, then its state line ("state mode=… focus_line=… matches=… visible=…").
  std::string keys(const std::string& sequence) {
    if (!sequence.empty())
      shell("xdotool windowfocus --sync " + window + " key --delay 60 " + sequence);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(program->pid, SIGUSR1);
    return program->line();
  }
  std::string type(const std::string& text) {
    shell("xdotool type --delay 30 '" + text + "'");
    return keys("Return");
  }

  static std::string focus(unsigned line) { return "focus_line=" + std::to_string(line) + " "; }

  static inline std::unique_ptr<child_process_t> server;
  static inline bool ready_display = false;
  std::unique_ptr<child_process_t> program;
  std::string window;
};

TEST_F(source_view_window, OpensOnTheFirstHoleAndWalksTheHolesWithCtrlDownAndUp) {
  std::vector<unsigned> holes = unexecuted_lines();
  ASSERT_GE(holes.size(), 2u);
  EXPECT_NE(keys("").find(focus(holes[0])), std::string::npos);
  EXPECT_NE(keys("ctrl+Down").find(focus(holes[1])), std::string::npos);
  EXPECT_NE(keys("ctrl+Up").find(focus(holes[0])), std::string::npos);
  EXPECT_NE(keys("ctrl+Up").find(focus(holes.back())), std::string::npos);  // wraps round
}

TEST_F(source_view_window, GoToLineAndFindWithF3) {
  keys("ctrl+g");
  EXPECT_NE(type("30").find(focus(30)), std::string::npos);
  std::vector<unsigned> hits = lines_with("lookup");
  ASSERT_GE(hits.size(), 2u);
  keys("ctrl+f");
  std::string state = type("lookup");
  EXPECT_NE(state.find("matches=" + std::to_string(hits.size())), std::string::npos) << state;
  EXPECT_NE(state.find(focus(hits[0])), std::string::npos) << state;
  EXPECT_NE(keys("Escape F3").find(focus(hits[1])), std::string::npos);
  EXPECT_NE(keys("shift+F3").find(focus(hits[0])), std::string::npos);
}

TEST_F(source_view_window, ModeKeysSwitchAndSwitchBack) {
  EXPECT_NE(keys("ctrl+d").find("mode=functions"), std::string::npos);
  EXPECT_NE(keys("ctrl+e").find("mode=snippets"), std::string::npos);
  EXPECT_NE(keys("ctrl+e").find("mode=flat"), std::string::npos);
}

TEST_F(source_view_window, HeaderMenuHidesAColumnAndCtrlCCopiesTheFocusedLine) {
  EXPECT_NE(keys("").find("visible=2,2"), std::string::npos);
  // The right button over the left grid's header opens the column menu; its first item is Line.
  shell("xdotool mousemove --window " + window + " 60 8 click 3");
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_NE(keys("Down Return").find("visible=1,2"), std::string::npos);
  unsigned hole = unexecuted_lines()[0];
  keys("ctrl+c");
  std::string copied = shell("xclip -o -selection clipboard");
  EXPECT_EQ(copied.substr(0, copied.find('\n')), "Count\tSource\tBranches\tHits\r") << copied;
  EXPECT_NE(copied.find("\n0\t" + sources()[hole] + "\t"), std::string::npos) << copied;
}

// Ctrl+O's dialog takes a typed path (Ctrl+L opens its location entry) and the window shows
// that file in place of the sample.
TEST_F(source_view_window, CtrlOOpensTheFileTypedIntoTheDialog) {
  char pattern[] = "/tmp/source-view-open-XXXXXX";
  const std::string dir = mkdtemp(pattern), path = dir + "/other.c";
  source_view_test::write_all(path, "int a;\nint b;\n");
  keys("ctrl+o");
  std::string dialog;
  ASSERT_TRUE(poll_until(
      [&] { return !(dialog = shell("xdotool search --onlyvisible --name '^Open$'")).empty(); }));
  shell("xdotool windowfocus --sync " + dialog.substr(0, dialog.find('\n')) +
        " key ctrl+l sleep 0.5 type --delay 30 '" + path + "'");
  shell("xdotool sleep 0.3 key Return");
  EXPECT_TRUE(poll_until([&] {
    return !shell("xdotool search --onlyvisible --name '^source-view: " + path + "$'").empty();
  }));
  std::string state = keys("");
  EXPECT_NE(state.find("file=" + path + " "), std::string::npos) << state;
  std::system(("rm -rf '" + dir + "'").c_str());
}

// A listing of 120 lines, each run `count` times; the window watches its folder, so the test
// rewrites it through a second name in another folder, which that watch does not see: only F5
// brings the new counts.
struct source_view_reload_window : source_view_window {
  void SetUp() override {
    char pattern[] = "/tmp/source-view-reload-XXXXXX";
    dir = mkdtemp(pattern);
    mkdir((dir + "/shown").c_str(), 0700);
    mkdir((dir + "/other").c_str(), 0700);
    source_view_test::write_all(dir + "/shown/counts.gcov", listing(5));
    ASSERT_EQ(link((dir + "/shown/counts.gcov").c_str(), (dir + "/other/same.gcov").c_str()), 0);
    launch("'" + dir + "/shown/counts.gcov'", "counts.c");
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  static std::string listing(int count) {
    std::string text = "        -:    0:Source:counts.c\n";
    for (int line = 1; line <= 120; ++line)
      text += "        " + std::to_string(count) + ":" + std::to_string(line) + ":line " +
              std::to_string(line) + "\n";
    return text;
  }

  // Whether a copy of every row shows line 80 run `count` times.
  bool line_80_ran(const std::string& count) {
    keys("ctrl+a ctrl+c");
    return shell("xclip -o -selection clipboard").find("\n80\t" + count + "\tline 80\t") !=
           std::string::npos;
  }
  static std::string top_of(const std::string& state) {
    std::size_t at = state.find("top_line=");
    return state.substr(at, state.find(' ', at) - at);
  }

  std::string dir;
};

TEST_F(source_view_reload_window, F5ShowsTheNewCountsAndKeepsTheTopLine) {
  keys("ctrl+g");
  std::string top = top_of(type("80"));
  ASSERT_NE(top, "top_line=1") << top;  // the view scrolled to centre line 80
  EXPECT_TRUE(line_80_ran("5"));
  source_view_test::write_all(dir + "/other/same.gcov", listing(7));
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  EXPECT_TRUE(line_80_ran("5"));  // unseen until F5
  EXPECT_EQ(top_of(keys("F5")), top);
  EXPECT_TRUE(line_80_ran("7"));
}

// A profile written by hand: a.c costs 610 Ir, its lines 4 and 5 the most (300 each); line 5
// calls work, whose file b.c costs 500.
struct source_view_profile_window : source_view_window {
  void SetUp() override {
    char pattern[] = "/tmp/source-view-window-XXXXXX";
    dir = mkdtemp(pattern);
    source_view_test::write_all(dir + "/a.c", "a1\na2\na3\na4\na5\na6\n");
    source_view_test::write_all(dir + "/b.c", "b1\nb2\nb3\n");
    // "c" before a file line makes it the callee's file.
    std::string a = "fl=" + dir + "/a.c\n", b = "fl=" + dir + "/b.c\n";
    source_view_test::write_all(dir + "/cg.out",
                                "events: Ir\n" + a + "fn=main\n3 10\n4 300\n5 300\nc" + b +
                                    "cfn=work\ncalls=2 1\n5 500\n" + b + "fn=work\n1 300\n2 200\n");
    launch("--mode snippets '" + dir + "/cg.out'", ".*/a.c");
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  std::string file(const char* name) { return "file=" + dir + "/" + name + " "; }

  std::string dir;
};

TEST_F(source_view_profile_window, OpensOnTheHottestLineAndWalksTheHotLines) {
  EXPECT_NE(keys("").find(focus(4)), std::string::npos);
  EXPECT_NE(keys("ctrl+Down").find(focus(5)), std::string::npos);
  EXPECT_NE(keys("ctrl+Down").find(focus(4)), std::string::npos);  // wraps round
  EXPECT_NE(keys("ctrl+Up").find(focus(5)), std::string::npos);
  // Functions mode: a group row for each function, its self and inclusive cost in its title.
  EXPECT_NE(keys("ctrl+d").find("mode=functions"), std::string::npos);
  keys("ctrl+a ctrl+c");
  std::string copied = shell("xclip -o -selection clipboard");
  EXPECT_NE(copied.find("\u0192\tmain   self 610 Ir (55.0 %), inclusive 1110 Ir (100.0 %)\t610\t"),
            std::string::npos)
      << copied;
}

TEST_F(source_view_profile_window, EnterAndAClickOnACalleeFollowTheCallAndAltLeftComesBack) {
  keys("ctrl+g");
  EXPECT_NE(type("5").find(focus(5)), std::string::npos);
  std::string state = keys("Return");
  EXPECT_NE(state.find(file("b.c") + "focus_cell"), std::string::npos) << state;
  EXPECT_NE(state.find(focus(1)), std::string::npos) << state;
  state = keys("alt+Left");
  EXPECT_NE(state.find(file("a.c")), std::string::npos) << state;
  EXPECT_NE(state.find(focus(5)), std::string::npos) << state;
  // The snippet's first entry lies one text line under the row's own line.
  int x = 0, y = 0, line = 0;
  ASSERT_EQ(
      std::sscanf(state.c_str() + state.find("focus_cell="), "focus_cell=%d,%d,%d", &x, &y, &line),
      3);
  shell("xdotool mousemove --window " + window + " " + std::to_string(x + 60) + " " +
        std::to_string(y + line + line / 2) + " click 1");
  state = keys("");
  EXPECT_NE(state.find(file("b.c")), std::string::npos) << state;
  EXPECT_NE(keys("alt+Left").find(file("a.c")), std::string::npos);
}

}  // namespace
