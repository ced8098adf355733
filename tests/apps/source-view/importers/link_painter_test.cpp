// A profile's call entries in snippet mode in the headless control: a callee that can be
// followed is a blue, underlined link with the hand over it; one without a source is not.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "gcov_run.h"
#include "orrinfrw7/offscreen_control.h"
#include "session.h"

namespace source_view_app {
namespace {

bool is_link_ink(orrin7::_color c) { return c.blue() > c.red() + 80 && c.blue() > c.green() + 80; }

struct link_entries : ::testing::Test {
  // main, at a.c:5, calls work (in b.c, which exists) and lost (whose source is gone).
  void SetUp() override {
    char pattern[] = "/tmp/source-view-links-XXXXXX";
    dir = mkdtemp(pattern);
    source_view_test::write_all(dir + "/a.c", "a1\na2\na3\na4\na5\na6\n");
    source_view_test::write_all(dir + "/b.c", "b1\nb2\nb3\n");
    std::string a = "fl=" + dir + "/a.c\n", b = dir + "/b.c\n", gone = dir + "/gone.c\n";
    source_view_test::write_all(
        dir + "/cg.out", "events: Ir\n" + a + "fn=main\n4 300\n5 300\ncfl=" + b +
                             "cfn=work\ncalls=2 1\n5 500\ncfl=" + gone +
                             "cfn=lost\ncalls=1 1\n5 100\nfl=" + b + "fn=work\n1 500\nfl=" + gone +
                             "fn=lost\n1 100\n");
    load_request_t request;
    request.path = dir + "/cg.out";
    request.mode = view_mode_t::snippets;
    session.open(request);
    control.Paint();
    line = element->get_center_grid()->get_default_item_size();
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  // Control pixels of the top-left corner of the text of line 5's entry `entry`: the frame starts
  // 24 pixels into the cell, one text line down, and its text 4 pixels further in.
  orrin7::point<int> entry_origin(int entry) {
    orrin7::point<int> cell = element->source_cell_origin(row_of_line(session.view(), 5));
    return {cell.x + 28, cell.y + line * (1 + entry)};
  }

  // The longest horizontal run of link ink in the entry's line.
  int longest_link_run(orrin7::point<int> at) {
    int longest = 0;
    for (int y = at.y; y < at.y + line; ++y) {
      for (int x = at.x, run = 0; x < at.x + 300; ++x) {
        run = is_link_ink(control.GetPixel(x, y)) ? run + 1 : 0;
        longest = std::max(longest, run);
      }
    }
    return longest;
  }

  std::string dir;
  orrinfrw7::COffscreenControl control{800, 300};
  viewer_element_t* element = [this] {
    auto* made = new viewer_element_t(control.GetRoot(), {800, 300}, orrinfrw7::AL_Client);
    control.CompleteAttach();
    return made;
  }();
  session_t session{*element};
  int line = 0;  // pixels of a text line
};

TEST_F(link_entries, AFollowableCalleeIsBlueAndUnderlinedWithTheHandOverIt) {
  orrin7::point<int> work = entry_origin(0), lost = entry_origin(1);
  // "work" in a monospace face is wider than 15 pixels: only an underline runs that long.
  EXPECT_GT(longest_link_run(work), 15);
  EXPECT_EQ(longest_link_run(lost), 0);
  control.MouseMove(work.x + 40, work.y + line / 2);
  EXPECT_EQ(control.GetCursor(), orrinfrw7::CR_Hand);
  control.MouseMove(lost.x + 40, lost.y + line / 2);
  EXPECT_NE(control.GetCursor(), orrinfrw7::CR_Hand);
}

}  // namespace
}  // namespace source_view_app
