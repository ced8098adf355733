// Text on the Cairo painter: fonts, measurement against drawing, alignment, ellipsis, clipping,
// background mode and text that is empty, huge or not valid Unicode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "orrin7/painter.h"
#include "orrin7/system.h"
#include "support/pixel_probe.h"

namespace {

using namespace orrin7;
using sv4_test::is_dark;
using sv4_test::pixel_probe_t;

constexpr int top_left = TA_Left | TA_Top;
constexpr int left_middle_line = TA_Left | TA_VCenter | TA_SingleLine;
constexpr int with_ellipsis = left_middle_line | TA_EndEllipsis;

double width_of(IPainter& p, const std::wstring& s, const font* f = nullptr) {
  return p.GetTextSize(s, f, -1, true, true).width;
}

// Dark pixels (text ink) in [l, r) × [t, b).
int ink(const pixel_probe_t& probe, int l, int t, int r, int b) {
  return probe.count(l, t, r, b, is_dark);
}

TEST(CairoText, FontsResolveByClassSizeStyleAndFace) {
  pixel_probe_t probe(10, 10);
  const auto w = [&](const font& f, const wchar_t* s) { return width_of(probe.painter(), s, &f); };
  const font mono(2, 10, 0), sans(1, 10, 0);
  EXPECT_EQ(w(mono, L"iiii"), w(mono, L"WWWW"));
  EXPECT_LT(w(sans, L"iiii"), w(sans, L"WWWW"));
  EXPECT_GT(w({1, 10, FS_Bold}, L"Hello world"), w(sans, L"Hello world"));
  EXPECT_GT(w({1, 20, 0}, L"Hello"), 1.8 * w(sans, L"Hello"));
  // Size 0 is the default size; a face that does not exist falls back to its class.
  EXPECT_EQ(w({1, 0, 0}, L"Hello"),
            w({1, GetCurrentSystem()->GetAlternativeFont().size, 0}, L"Hello"));
  const font unknown(2, 10, 0, L"Sans, No Such Face");  // one name, not a list of two
  EXPECT_EQ(w(unknown, L"iiii"), w(unknown, L"WWWW"));
  const font named(0, 10, 0, L"DejaVu Sans Mono");
  EXPECT_EQ(w(named, L"iiii"), w(named, L"WWWW"));
}

TEST(CairoText, MeasuredRectanglesHoldWhatIsDrawnAlignedInTheRectangle) {
  pixel_probe_t probe(200, 60);
  IPainter& p = probe.painter();
  const std::wstring s = L"abc ";  // the trailing space has no ink
  const double w = width_of(p, s), h = p.GetFontMetrics().line_height();
  const double inked = p.GetTextSize(s, nullptr, -1, true, false).width;
  EXPECT_LT(inked, w);
  EXPECT_GT(p.GetFontMetrics().ascent, p.GetFontMetrics().descent);
  EXPECT_EQ(p.GetTextSize(s, nullptr, 2, true, true).width, width_of(p, L"ab"));
  const rectangle<double> box(10, 10, 110, 50);
  const auto measure = [&](const std::wstring& text, int align) {
    return p.GetTextRect(box, text, align | TA_CalcRect, -1);
  };
  EXPECT_EQ(measure(s, top_left), rectangle<double>(10, 10, 10 + w, 10 + h));
  EXPECT_EQ(measure(s, TA_Right | TA_Bottom), rectangle<double>(110 - w, 50 - h, 110, 50));
  const rectangle<double> centred = measure(s, TA_HCenter | TA_VCenter);
  EXPECT_NEAR(centred.left - 10, 110 - centred.right, 1.0);
  EXPECT_NEAR(centred.top - 10, 50 - centred.bottom, 1.0);
  EXPECT_EQ(measure(L"a\nb", TA_Left).height(), 2 * h);              // line feeds break
  EXPECT_EQ(measure(L"a\nb", TA_Left | TA_SingleLine).height(), h);  // unless single line
  EXPECT_EQ(ink(probe, 0, 0, 200, 60), 0);                           // measuring draws nothing
  size<double> drawn;
  probe.render([&](IPainter& q) {
    drawn = q.DrawString(box, s, top_left, -1);
    q.GetTextRect(box, s, TA_Right | TA_Bottom, -1);
  });
  EXPECT_EQ(drawn, size<double>(w, h));
  // All ink lies in the two boxes, the first one no wider than the inked width.
  const int in_top = ink(probe, 10, 10, int(10 + inked) + 1, int(10 + h));
  const int in_bottom = ink(probe, int(110 - w), int(50 - h), 110, 50);
  EXPECT_GT(std::min(in_top, in_bottom), 0);
  EXPECT_EQ(ink(probe, 0, 0, 200, 60), in_top + in_bottom);
}

TEST(CairoText, EllipsisShortensToTheRectangleEvenForHugeOrZeroWidthLines) {
  pixel_probe_t probe(200, 60);
  IPainter& p = probe.painter();
  const std::wstring huge(100000, L'x');
  const rectangle<double> box(0, 0, 120, 30);
  const rectangle<double> measured = p.GetTextRect(box, huge, with_ellipsis | TA_CalcRect, -1);
  EXPECT_LE(measured.right, 120);
  EXPECT_GT(measured.right, 100);
  // Zero-width characters at the start do not hide the visible rest of a long line.
  const std::wstring hidden_start = std::wstring(5000, L'\u200B') + L"WWW";
  probe.render([&](IPainter& q) {
    q.DrawStringNative(box, huge, with_ellipsis);
    q.DrawStringNative({0, 30, 150, 60}, hidden_start, with_ellipsis);
  });
  EXPECT_GT(ink(probe, 0, 0, 120, 30), 0);
  EXPECT_EQ(ink(probe, 120, 0, 200, 30), 0);
  EXPECT_GT(ink(probe, 0, 30, 150, 60), 20);
  // A text that fits keeps its full width; no room at all leaves nothing.
  const double short_width = width_of(p, L"short");
  EXPECT_EQ(p.DrawString(box, L"short", with_ellipsis, -1).width, short_width);
  EXPECT_EQ(p.DrawString({0, 0, 0.5, 30}, L"short", with_ellipsis, -1).width, 0.0);
  EXPECT_EQ(p.DrawString({-1e300, 0, 1e300, 30}, L"short", with_ellipsis, -1).width, short_width);
}

TEST(CairoText, NativeDrawingClipsToTheRectangleAndKeepsTheVisibleEnd) {
  pixel_probe_t probe(300, 30);
  const std::wstring long_line = std::wstring(3000, L'm') + L"...WWW";
  probe.render([&](IPainter& q) {
    q.DrawStringNative({50, 0, 150, 30}, long_line, left_middle_line);
    q.DrawStringNative({200, 0, 260, 30}, std::wstring(3000, L' ') + L"WWW",
                       TA_Right | TA_SingleLine);
  });
  EXPECT_EQ(ink(probe, 0, 0, 50, 30) + ink(probe, 150, 0, 200, 30) + ink(probe, 260, 0, 300, 30),
            0);
  EXPECT_GT(ink(probe, 50, 0, 52, 30), 0);     // text starts at the left edge
  EXPECT_GT(ink(probe, 245, 0, 260, 30), 20);  // "WWW" at the right edge
}

TEST(CairoText, OpaqueBackgroundFillsTheTextBoxOnly) {
  pixel_probe_t probe(200, 30);
  const _color green = _color::rgb(0x7F, 0xD7, 0x04);
  size<double> extent;
  probe.render([&](IPainter& q) {
    q.SetBkColor(green);
    q.DrawString({5, 5, 200, 30}, L"plain", top_left, -1);
    q.SetBkMode(BK_Opaque);
    extent = q.DrawString({100, 5, 200, 30}, L"boxed", top_left, -1);
  });
  const int right = int(100 + extent.width), bottom = int(5 + extent.height);
  EXPECT_EQ(probe.count_not(0, 0, 100, 30, green), 100 * 30);
  EXPECT_EQ(probe.mismatches({{100, 5, green}, {right - 1, bottom - 1, green}}), "");
  EXPECT_EQ(probe.count_not(right, 0, 200, 30, green), (200 - right) * 30);
  EXPECT_EQ(probe.count_not(100, bottom, 200, 30, green), 100 * (30 - bottom));
}

TEST(CairoText, OddTextDrawsSafely) {
  pixel_probe_t probe(300, 40);
  IPainter& p = probe.painter();
  const std::wstring invalid = {wchar_t(0xD800), wchar_t(0x110000), wchar_t(0), L'a'};
  EXPECT_GT(width_of(p, L"\U0001F600\U00010348"), 0.0);
  EXPECT_EQ(width_of(p, invalid), width_of(p, L"\uFFFD\uFFFD\uFFFDa"));
  EXPECT_EQ(p.GetTextSize(L"", nullptr, -1, true, true),
            size<double>(0, p.GetFontMetrics().line_height()));
  EXPECT_EQ(width_of(p, L"abc"), p.GetTextSize(L"abc", nullptr, 99, true, true).width);
  const double nan = std::nan("");
  probe.render([&](IPainter& q) {
    EXPECT_EQ(q.DrawString({nan, 0, 100, 20}, L"nan", TA_Left, -1), size<double>());
    EXPECT_EQ(q.GetTextRect({0, nan, 100, 20}, L"nan", TA_Left | TA_CalcRect, -1),
              rectangle<double>());
    q.DrawStringNative({100, 0, 50, 20}, L"negative", TA_Left);
    q.DrawStringNative({0, 0, 300, 40}, L"", TA_Left);
    q.SetFont(font(7, -3, 0xFF, L",,,"));
    q.DrawStringNative({0, 0, 300, 40}, std::wstring(100000, L'\U0001F600'), with_ellipsis);
  });
  EXPECT_LT(ink(probe, 0, 0, 300, 40), 300 * 40 / 2);
}

}  // namespace
