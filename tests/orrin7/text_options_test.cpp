// What each text option changes on the Cairo painter: style bits, family classes, every alignment,
// kept layouts never answering another request, glyph ink inside the measured rectangle.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "orrin7/painter.h"
#include "support/pixel_probe.h"

namespace {

using namespace orrin7;
using orrin7_test::canvas_t;
using orrin7_test::ink_box_t;

// "I  I" in each style, against the same text plain: the gap between the two I's is inked above
// the baseline only by strike-through and below it only by underline; bold advances further;
// italic leans the I's stroke to the right; line styles leave the advance alone. On one
// line (drawn from glyphs where it can) and laid out in a paragraph.
TEST(CairoTextOptions, EachStyleBitChangesWhatItShouldAndNothingElse) {
  struct case_t {
    int style;
    bool strike, underline, bold, slanted;
  };
  const case_t cases[] = {{0, false, false, false, false},
                          {FS_Bold, false, false, true, false},
                          {FS_Italic, false, false, false, true},
                          {FS_Underline, false, true, false, false},
                          {FS_StrikeOut, true, false, false, false},
                          {FS_Underline | FS_StrikeOut, true, true, false, false},
                          {FS_Bold | FS_Italic | FS_Underline, false, true, true, true}};
  const std::wstring text = L"I  I";
  for (const int layout : {int(TA_SingleLine), 0}) {
    canvas_t canvas(80, 30);
    IPainter& p = canvas.painter();
    const font plain(1, 14, 0);
    const double advance = p.GetTextSize(L"I", &plain, -1, true, true).width;
    const double plain_width = p.GetTextSize(text, &plain, -1, true, true).width;
    for (const case_t& c : cases) {
      const font f(1, 14, c.style);
      canvas.clear();
      p.SetFont(f);
      p.DrawString({4, 2, 80, 30}, text, TA_Left | TA_Top | layout, -1);
      const int baseline = 2 + p.GetFontMetrics().ascent;
      const int gap_left = int(4 + advance) + 3, gap_right = int(4 + plain_width - advance) - 1;
      ASSERT_LT(gap_left + 2, gap_right);
      const std::string what =
          "style " + std::to_string(c.style) + " layout " + std::to_string(layout);
      EXPECT_EQ(!canvas.ink(gap_left, 0, gap_right, baseline - 1).empty(), c.strike) << what;
      EXPECT_EQ(!canvas.ink(gap_left, baseline, gap_right, 30).empty(), c.underline) << what;
      const double width = p.GetTextSize(text, nullptr, -1, true, true).width;
      EXPECT_EQ(width > plain_width, c.bold) << what;
      // The first I's stroke: where it starts near the top and near the baseline.
      const int top_start = canvas.ink(0, baseline - 9, gap_left, baseline - 7).left;
      const int bottom_start = canvas.ink(0, baseline - 3, gap_left, baseline - 1).left;
      EXPECT_EQ(top_start > bottom_start, c.slanted)
          << what << ": " << top_start << " vs " << bottom_start;
    }
  }
}

std::vector<std::uint32_t> drawn(const font& f, const std::wstring& text) {
  canvas_t canvas(120, 24);
  canvas.painter().SetFont(f);
  canvas.painter().DrawString({2, 2, 120, 24}, text, TA_Left | TA_Top | TA_SingleLine, -1);
  return canvas.pixels();
}

// Family classes, sizes and faces pick distinct fonts, and the same font however it is asked for:
// a size below one point is the default size, a face that does not exist falls back to its class.
TEST(CairoTextOptions, FamilyClassesSizesAndFacesPickTheirFonts) {
  canvas_t canvas(10, 10);
  IPainter& p = canvas.painter();
  const auto width = [&](const font& f, const wchar_t* s) {
    return p.GetTextSize(s, &f, -1, true, true).width;
  };
  for (const int family : {0, 1, 2, 3}) {
    const font f(family, 10, 0);
    EXPECT_EQ(width(f, L"iiii") == width(f, L"WWWW"), family == 2) << family;
  }
  const std::wstring sample = L"Hamburgefonts 1";
  EXPECT_NE(drawn(font(1, 10, 0), sample), drawn(font(3, 10, 0), sample));
  EXPECT_NE(drawn(font(3, 10, 0), sample), drawn(font(2, 10, 0), sample));
  EXPECT_EQ(drawn(font(1, 0, 0), sample), drawn(font(1, 9, 0), sample));
  EXPECT_EQ(drawn(font(1, -4, 0), sample), drawn(font(1, 9, 0), sample));
  EXPECT_NE(drawn(font(1, 10, 0), sample), drawn(font(1, 9, 0), sample));
  EXPECT_GT(width(font(1, 20, 0), L"Hello"), 1.8 * width(font(1, 10, 0), L"Hello"));
  EXPECT_EQ(width(font(1, 5000, 0), L"Hi"), width(font(1, 1000, 0), L"Hi"));  // the largest size
  // One name, not a list of two, so the class decides; a named face wins over the class.
  EXPECT_EQ(drawn(font(2, 10, 0, L"Sans, No Such Face"), sample), drawn(font(2, 10, 0), sample));
  EXPECT_EQ(width(font(0, 10, 0, L"DejaVu Sans Mono"), L"iiii"),
            width(font(0, 10, 0, L"DejaVu Sans Mono"), L"WWWW"));
}

// 0 at the low edge, 1 centred, 2 at the high edge, by the alignment flags.
int where(int flags, int centre, int high) { return (flags & centre) ? 1 : (flags & high) ? 2 : 0; }

// [start, end) lies in [low, high) where `where` puts it, give or take `slack` pixels; centred
// means the margins on both sides differ by at most one pixel more.
void expect_placed(int where, double low, double high, double start, double end, double slack,
                   const std::string& what) {
  if (where == 0) {
    EXPECT_NEAR(start, low, slack) << what;
  } else if (where == 1) {
    EXPECT_NEAR(start - low, high - end, 2 * slack + 1) << what;
  } else {
    EXPECT_NEAR(end, high, slack) << what;
  }
}

// The rectangle the text takes in a box: lines × line height high, as wide as its widest line.
struct laid_out_t {
  std::wstring text;
  int flags;  // TA_SingleLine or 0
  std::vector<std::wstring> lines;
};

// Every horizontal and vertical flag (none meaning left and top) on one line and on several: the
// measured rectangle sits at the box's edge or centre, drawing inks only inside it, each line of
// a paragraph aligned on its own, and measuring, drawing and drawing clipped agree.
TEST(CairoTextOptions, EveryAlignmentPlacesTheTextAndEachOfItsLines) {
  const laid_out_t texts[] = {{L"Wxj", 0, {L"Wxj"}},
                              {L"Wxj", TA_SingleLine, {L"Wxj"}},
                              {L"W\nWWWWjj", 0, {L"W", L"WWWWjj"}},
                              {L"WWWWjj\nW", 0, {L"WWWWjj", L"W"}}};
  const int horizontal[] = {0, TA_Left, TA_Right, TA_HCenter};
  const int vertical[] = {0, TA_Top, TA_Bottom, TA_VCenter};
  const rectangle<double> box(20.6, 10.6, 221.6, 91.6);  // text goes to the nearest pixel
  canvas_t canvas(240, 100);
  IPainter& p = canvas.painter();
  p.SetFont(font(1, 11, 0));
  const double line_height = p.GetFontMetrics().line_height();
  for (const laid_out_t& t : texts) {
    double widest = 0;
    for (const std::wstring& line : t.lines)
      widest = std::max(widest, p.GetTextSize(line, nullptr, -1, true, true).width);
    for (const int h : horizontal) {
      for (const int v : vertical) {
        const int align = h | v | t.flags;
        const std::string what =
            "align " + std::to_string(align) + " lines " + std::to_string(t.lines.size());
        const rectangle<double> r = p.GetTextRect(box, t.text, align | TA_CalcRect, -1);
        EXPECT_EQ(r.width(), widest) << what;
        EXPECT_EQ(r.height(), line_height * double(t.lines.size())) << what;
        expect_placed(where(h, TA_HCenter, TA_Right), box.left, box.right, r.left, r.right, 0.5,
                      what);
        expect_placed(where(v, TA_VCenter, TA_Bottom), box.top, box.bottom, r.top, r.bottom, 0.5,
                      what);
        ASSERT_TRUE(canvas.ink().empty()) << what;  // measuring draws nothing

        canvas.clear();
        EXPECT_EQ(p.DrawString(box, t.text, align, -1), size<double>(r.width(), r.height()));
        const std::vector<std::uint32_t> drawn = canvas.pixels();
        const ink_box_t all = canvas.ink();
        EXPECT_GE(all.left, r.left - 1) << what;
        EXPECT_LE(all.right, r.right + 1) << what;
        EXPECT_GE(all.top, r.top) << what;
        EXPECT_LE(all.bottom, r.bottom) << what;
        for (std::size_t i = 0; i < t.lines.size(); ++i) {
          const int top = int(r.top + line_height * double(i));
          const ink_box_t line = canvas.ink(0, top, 240, int(top + line_height));
          expect_placed(where(h, TA_HCenter, TA_Right), r.left, r.right, line.left, line.right, 1,
                        what + " line " + std::to_string(i));
        }
        canvas.clear();
        p.DrawStringNative(box, t.text, align);
        EXPECT_EQ(canvas.pixels(), drawn) << what;
        canvas.clear();
      }
    }
  }
}

// Requests that differ in one option only, drawn twice over in one painter, look each time as a
// painter that never drew anything else draws them: no layout or face kept for one request stands
// in for another alignment, font, ellipsis width or length.
TEST(CairoTextOptions, KeptLayoutsNeverAnswerForAnotherRequest) {
  struct request_t {
    font f;
    int align;
    double width;
    std::wstring text;
    int length;
  };
  const std::wstring para = L"one\nlonger second\nthird", cut = L"an ellipsis ends this text";
  const int line = TA_Left | TA_Top | TA_SingleLine;
  const request_t requests[] = {
      {font(0, 0, 0), TA_Left, 160, para, -1},
      {font(0, 0, 0), TA_HCenter, 160, para, -1},
      {font(0, 0, 0), TA_Right, 160, para, -1},
      {font(0, 0, 0), TA_Right, 100, para, -1},
      {font(0, 0, 0), TA_Left | TA_SingleLine, 160, para, -1},
      {font(1, 10, 0), line, 160, cut, -1},
      {font(1, 10, FS_Bold), line, 160, cut, -1},
      {font(1, 10, FS_Underline), line, 160, cut, -1},
      {font(1, 10, FS_StrikeOut), line, 160, cut, -1},
      {font(2, 10, 0), line, 160, cut, -1},
      {font(3, 10, 0), line, 160, cut, -1},
      {font(0, 0, 0), line, 160, cut, -1},
      {font(1, 10, 0), line | TA_EndEllipsis, 90, cut, -1},
      {font(1, 10, 0), line | TA_EndEllipsis, 120, cut, -1},
      {font(1, 10, 0), line | TA_EndEllipsis, 90.5, cut, -1},
      {font(1, 10, 0), line, 160, cut, 8},
      {font(1, 10, 0), line, 160, cut, 0},
  };
  const auto draw = [](canvas_t& canvas, const request_t& r) {
    canvas.clear();
    canvas.painter().SetFont(r.f);
    const size<double> extent =
        canvas.painter().DrawString({4, 4, 4 + r.width, 60}, r.text, r.align, r.length);
    return std::make_pair(extent, canvas.pixels());
  };
  canvas_t warm(170, 64);
  for (int round = 0; round < 2; ++round) {
    for (const request_t& r : requests) {
      canvas_t fresh(170, 64);
      EXPECT_TRUE(draw(warm, r) == draw(fresh, r))
          << "request #" << (&r - requests) << " round " << round;
    }
  }
}

// Text with descenders, an underscore and a ring above a capital, at the sizes cells use and on
// surfaces of one and two pixels per painter pixel: all ink lies inside the lines of the rectangle
// the painter answers for the text, so a cell of exactly that rectangle cuts none of it. Across,
// glyphs may overhang their advance by a faint device pixel (the underscore does, so that a row of
// them joins up), which is all a cell that narrow may cut.
TEST(CairoTextOptions, GlyphInkStaysInsideTheMeasuredRectangle) {
  const std::wstring text = L"_gjpqy\u00C5";
  for (const double scale : {1.0, 2.0}) {
    for (const int points : {9, 10}) {
      for (const int family : {0, 2}) {
        canvas_t canvas(120, 40, scale);
        IPainter& p = canvas.painter();
        p.SetFont(font(family, points, 0));
        const int align = TA_Left | TA_Top | TA_SingleLine;
        const rectangle<double> r = p.GetTextRect({10, 10, 120, 40}, text, align | TA_CalcRect, -1);
        p.DrawString(r, text, align, -1);
        const ink_box_t ink = canvas.ink();
        const std::string what = "scale " + std::to_string(scale) + " points " +
                                 std::to_string(points) + " family " + std::to_string(family);
        EXPECT_GE(ink.top, r.top * scale) << what;
        EXPECT_LE(ink.bottom, r.bottom * scale) << what;
        EXPECT_GE(ink.left, r.left * scale - 1) << what;
        EXPECT_LE(ink.right, r.right * scale + 1) << what;
        const int left = int(r.left * scale), right = int(r.right * scale);
        const ink_box_t unclipped = canvas.ink(left, 0, right, canvas.height());
        canvas.clear();
        p.DrawStringNative(r, text, align);
        const ink_box_t clipped = canvas.ink(left, 0, right, canvas.height());
        EXPECT_TRUE(clipped.top == unclipped.top && clipped.bottom == unclipped.bottom) << what;
        EXPECT_TRUE(canvas.ink(0, 0, left, canvas.height()).empty()) << what;
      }
    }
  }
}

}  // namespace
