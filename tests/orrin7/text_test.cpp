// Text on the Cairo painter: fonts, measurement against drawing, alignment, ellipsis, clipping,
// background mode and text that is empty, huge or not valid Unicode.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "orrin7/painter.h"
#include "orrin7/system.h"
#include "support/pixel_probe.h"

namespace {

using orrin7::_color;
using orrin7::font;
using orrin7::rectangle;
using sv4_test::is_dark;
using sv4_test::pixel_probe_t;

const _color white = _color::rgb(0xFF, 0xFF, 0xFF);
constexpr int left_middle_line = orrin7::TA_Left | orrin7::TA_VCenter | orrin7::TA_SingleLine;
constexpr int with_ellipsis = left_middle_line | orrin7::TA_EndEllipsis;

double width_of(orrin7::IPainter& p, const std::wstring& s, const font* f = nullptr) {
  return p.GetTextSize(s, f, -1, true, true).width;
}

// The leftmost and rightmost columns holding dark pixels, or (-1, -1).
std::pair<int, int> ink_columns(const pixel_probe_t& probe) {
  int first = -1, last = -1;
  for (int x = 0; x < probe.width(); ++x) {
    if (probe.count(x, 0, x + 1, probe.height(), is_dark) == 0) continue;
    if (first < 0) first = x;
    last = x;
  }
  return {first, last};
}

TEST(CairoText, FontsResolveByClassSizeAndStyle) {
  pixel_probe_t probe(10, 10);
  orrin7::IPainter& p = probe.painter();
  const font mono(2, 10, 0);
  EXPECT_EQ(width_of(p, L"iiii", &mono), width_of(p, L"WWWW", &mono));
  const font sans(1, 10, 0);
  EXPECT_LT(width_of(p, L"iiii", &sans), width_of(p, L"WWWW", &sans));
  const font bold(1, 10, orrin7::FS_Bold);
  EXPECT_GT(width_of(p, L"Hello world", &bold), width_of(p, L"Hello world", &sans));
  const font big(1, 20, 0);
  EXPECT_GT(width_of(p, L"Hello", &big), 1.8 * width_of(p, L"Hello", &sans));
  // Size 0 is the default size; a face that does not exist falls back to its class.
  const font unset(1, 0, 0),
      default_size(1, orrin7::GetCurrentSystem()->GetAlternativeFont().size, 0);
  EXPECT_EQ(width_of(p, L"Hello", &unset), width_of(p, L"Hello", &default_size));
  const font missing(2, 10, 0, L"No Such Face, Really");
  EXPECT_EQ(width_of(p, L"Hello", &missing), width_of(p, L"Hello", &mono));
  const font named(0, 10, 0, L"DejaVu Sans Mono");
  EXPECT_EQ(width_of(p, L"iiii", &named), width_of(p, L"WWWW", &named));
}

TEST(CairoText, MeasurementsMatchWhatIsDrawn) {
  pixel_probe_t probe(300, 40);
  orrin7::IPainter& p = probe.painter();
  p.SetTextColor(_color::rgb(0, 0, 0));
  const std::wstring s = L"Measure me, trailing ";
  const orrin7::size<double> measured = p.GetTextSize(s, nullptr, -1, true, true);
  const orrin7::fontmetrics metrics = p.GetFontMetrics();
  EXPECT_EQ(measured.height, metrics.line_height());
  EXPECT_GT(metrics.ascent, metrics.descent);
  EXPECT_LT(p.GetTextSize(s, nullptr, -1, true, false).width, measured.width);  // no trailing space
  EXPECT_EQ(p.GetTextSize(s, nullptr, 7, true, true).width, width_of(p, L"Measure"));
  orrin7::size<double> drawn;
  probe.render([&](orrin7::IPainter& q) {
    drawn = q.DrawString({10, 0, 300, 40}, s, 0x1 | 0x8, -1);
  });
  EXPECT_EQ(drawn.width, measured.width);
  EXPECT_EQ(drawn.height, measured.height);
  const auto ink = ink_columns(probe);
  EXPECT_GE(ink.first, 10);
  EXPECT_LE(ink.second, 10 + p.GetTextSize(s, nullptr, -1, true, false).width);
}

TEST(CairoText, TextRectAlignsInTheRectangleWithoutDrawingWhenMeasuring) {
  pixel_probe_t probe(200, 60);
  orrin7::IPainter& p = probe.painter();
  const double w = width_of(p, L"abc");
  const double h = p.GetFontMetrics().line_height();
  const rectangle<double> box(10, 10, 110, 50);
  const auto measure = [&](int align) { return p.GetTextRect(box, L"abc", align | 0x1000, -1); };
  EXPECT_EQ(measure(0x1 | 0x8), rectangle<double>(10, 10, 10 + w, 10 + h));
  EXPECT_EQ(measure(0x2 | 0x10), rectangle<double>(110 - w, 50 - h, 110, 50));
  const rectangle<double> centred = measure(0x4 | 0x20);
  EXPECT_NEAR(centred.left - 10, 110 - centred.right, 1.0);
  EXPECT_NEAR(centred.top - 10, 50 - centred.bottom, 1.0);
  EXPECT_EQ(p.GetTextRect(box, L"a\nb", 0x1 | 0x1000, -1).height(), 2 * h);  // line feeds break
  EXPECT_EQ(p.GetTextRect(box, L"a\nb", 0x41 | 0x1000, -1).height(), h);     // unless single line
  EXPECT_EQ(probe.count(0, 0, 200, 60, is_dark), 0);
  probe.render([&](orrin7::IPainter& q) { q.GetTextRect(box, L"abc", 0x2 | 0x10, -1); });
  const auto ink = ink_columns(probe);
  EXPECT_GT(ink.first, 110 - w - 1);
  EXPECT_LT(ink.second, 110);
}

TEST(CairoText, EllipsisShortensToTheRectangleEvenForHugeLines) {
  pixel_probe_t probe(200, 30);
  orrin7::IPainter& p = probe.painter();
  const std::wstring huge(100000, L'x');
  const rectangle<double> box(0, 0, 120, 30);
  const rectangle<double> measured = p.GetTextRect(box, huge, with_ellipsis | 0x1000, -1);
  EXPECT_LE(measured.right, 120);
  EXPECT_GT(measured.right, 100);
  probe.render([&](orrin7::IPainter& q) { q.DrawStringNative(box, huge, with_ellipsis); });
  EXPECT_GT(probe.count(0, 0, 120, 30, is_dark), 0);
  EXPECT_EQ(probe.count(120, 0, 200, 30, is_dark), 0);
  // A text that fits keeps its full width; one that does not ends inside the rectangle.
  EXPECT_EQ(p.DrawString(box, L"short", with_ellipsis, -1).width, width_of(p, L"short"));
  EXPECT_EQ(p.DrawString({0, 0, 0.5, 30}, L"short", with_ellipsis, -1).width, 0.0);
  EXPECT_EQ(p.DrawString({-1e300, 0, 1e300, 30}, L"short", with_ellipsis, -1).width,
            width_of(p, L"short"));
}

TEST(CairoText, ZeroWidthCharactersDoNotHideTheVisibleRestOfALongLine) {
  pixel_probe_t probe(200, 30);
  const std::wstring s = std::wstring(5000, L'\u200B') + L"WWW";
  probe.render([&](orrin7::IPainter& q) { q.DrawStringNative({0, 0, 150, 30}, s, with_ellipsis); });
  EXPECT_GT(probe.count(0, 0, 150, 30, is_dark), 20);
}

TEST(CairoText, NativeDrawingClipsToTheRectangleAndKeepsTheVisibleEnd) {
  pixel_probe_t probe(300, 30);
  const std::wstring long_line = std::wstring(3000, L'm') + L"...WWW";
  probe.render([&](orrin7::IPainter& q) {
    q.DrawStringNative({50, 0, 150, 30}, long_line, left_middle_line);
    q.DrawStringNative({200, 0, 260, 30}, long_line, orrin7::TA_Right | orrin7::TA_SingleLine);
  });
  EXPECT_EQ(probe.count(0, 0, 50, 30, is_dark), 0);
  EXPECT_EQ(probe.count(150, 0, 200, 30, is_dark), 0);
  EXPECT_EQ(probe.count(260, 0, 300, 30, is_dark), 0);
  EXPECT_GT(probe.count(50, 0, 52, 30, is_dark), 0);     // text starts at the left edge
  EXPECT_GT(probe.count(245, 0, 260, 30, is_dark), 20);  // "WWW" at the right edge
}

TEST(CairoText, OpaqueBackgroundFillsTheTextBoxOnly) {
  pixel_probe_t probe(200, 30);
  const _color green = _color::rgb(0x7F, 0xD7, 0x04);
  orrin7::size<double> extent;
  probe.render([&](orrin7::IPainter& q) {
    q.SetBkColor(green);
    q.DrawString({5, 5, 200, 30}, L"plain", 0x1 | 0x8, -1);
    q.SetBkMode(orrin7::BK_Opaque);
    extent = q.DrawString({100, 5, 200, 30}, L"boxed", 0x1 | 0x8, -1);
  });
  const auto is_green = [green](_color c) { return c.value == green.value; };
  EXPECT_EQ(probe.count(0, 0, 100, 30, is_green), 0);
  EXPECT_EQ(probe.pixel(100, 5).value, green.value);
  EXPECT_EQ(probe.pixel(int(100 + extent.width - 1), int(5 + extent.height - 1)).value,
            green.value);
  EXPECT_EQ(probe.pixel(int(100 + extent.width), 6).value, white.value);
}

TEST(CairoText, OddTextDrawsSafely) {
  pixel_probe_t probe(300, 40);
  orrin7::IPainter& p = probe.painter();
  const std::wstring astral = L"\U0001F600\U00010348";
  const std::wstring invalid = {wchar_t(0xD800), wchar_t(0x110000), wchar_t(0), L'a'};
  EXPECT_GT(width_of(p, astral), 0.0);
  EXPECT_EQ(width_of(p, invalid), width_of(p, L"\uFFFD\uFFFD\uFFFDa"));
  EXPECT_EQ(p.GetTextSize(L"", nullptr, -1, true, true),
            orrin7::size<double>(0, p.GetFontMetrics().line_height()));
  EXPECT_EQ(width_of(p, L"abc"), p.GetTextSize(L"abc", nullptr, 99, true, true).width);
  const double nan = std::nan("");
  probe.render([&](orrin7::IPainter& q) {
    EXPECT_EQ(q.DrawString({nan, 0, 100, 20}, L"nan", 0x1, -1), orrin7::size<double>());
    EXPECT_EQ(q.GetTextRect({0, nan, 100, 20}, L"nan", 0x1 | 0x1000, -1), rectangle<double>());
    q.DrawStringNative({100, 0, 50, 20}, L"negative", 0x1);
    q.DrawStringNative({0, 0, 300, 40}, L"", 0x1);
    q.SetFont(font(7, -3, 0xFF, L",,,"));
    q.DrawStringNative({0, 0, 300, 40}, std::wstring(100000, L'\U0001F600'), with_ellipsis);
  });
  EXPECT_LT(probe.count(0, 0, 300, 40, is_dark), 300 * 40 / 2);
}

}  // namespace
