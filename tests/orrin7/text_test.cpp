// Text on the Cairo painter: measuring (against drawing, for many texts, faces and sizes),
// ellipsis, clipping, background mode, and text that is empty, huge or not valid Unicode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

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

// GetTextSize: the inked width ends where drawing leaves its last ink (leading spaces count, the
// trailing one does not), the logical width takes trailing spaces and `length` characters only,
// the height is the text's own or the font's line; measuring in another font leaves the current
// one in force.
TEST(CairoText, TextSizeAnswersTheInkTheAdvanceAndTheLengthAsked) {
  pixel_probe_t probe(200, 30);
  IPainter& p = probe.painter();
  const std::wstring s = L"  abc ";
  const double inked = p.GetTextSize(s, nullptr, -1, true, /*logical=*/false).width;
  probe.render([&](IPainter& q) { q.DrawString({10, 5, 200, 30}, s, top_left, -1); });
  int right = 0;
  for (int x = 0; x < 200; ++x) right = ink(probe, x, 0, x + 1, 30) > 0 ? x + 1 : right;
  EXPECT_NEAR(10 + inked, right, 1.0);
  EXPECT_GT(width_of(p, s), inked + 2);
  EXPECT_EQ(p.GetTextSize(s, nullptr, 4, true, true).width, width_of(p, L"  ab"));
  EXPECT_EQ(p.GetTextSize(s, nullptr, 0, true, true).width, 0.0);
  EXPECT_EQ(p.GetTextSize(s, nullptr, 99, true, true).width, width_of(p, s));
  const fontmetrics m = p.GetFontMetrics();
  EXPECT_GT(m.ascent, m.descent);
  EXPECT_EQ(p.GetTextSize(L"", nullptr, -1, true, true), size<double>(0, m.line_height()));
  const font big(1, 30, 0);
  EXPECT_GT(p.GetTextSize(s, &big, -1, true, true).height, 2 * m.line_height());
  EXPECT_EQ(p.GetFontMetrics().line_height(), m.line_height());
  EXPECT_EQ(p.GetTextSize(s, nullptr, -1, true, true).width, width_of(p, s));
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
  // A text that fits, if only just, keeps its full width; no room at all leaves nothing.
  const double short_width = width_of(p, L"short");
  EXPECT_EQ(p.DrawString({0, 0, short_width, 30}, L"short", with_ellipsis, -1).width, short_width);
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
  // Cells lower or narrower than their line, for each alignment: ink in the cell only.
  for (const int align :
       {left_middle_line, TA_Right | TA_Bottom | TA_SingleLine, int(TA_HCenter)}) {
    pixel_probe_t cells(100, 40);
    cells.render([&](IPainter& q) {
      q.DrawStringNative({10, 10, 90, 16}, L"Wgjy", align);
      q.DrawStringNative({10, 25, 30, 40}, L"WWWWWW", align);
    });
    const int all = ink(cells, 0, 0, 100, 40);
    EXPECT_GT(ink(cells, 10, 10, 90, 16), 0) << align;
    EXPECT_GT(ink(cells, 10, 25, 30, 40), 0) << align;
    EXPECT_EQ(all, ink(cells, 10, 10, 90, 16) + ink(cells, 10, 25, 30, 40)) << align;
  }
}

// The background fills the text's box, moved with the origin, and the text is drawn on it in its
// own colour; a cell lower than the line cuts the background as it cuts the text.
TEST(CairoText, OpaqueBackgroundFillsTheTextBoxOnly) {
  pixel_probe_t probe(200, 30);
  const _color green = _color::rgb(0x7F, 0xD7, 0x04);
  size<double> extent;
  probe.render([&](IPainter& q) {
    q.SetBkColor(green);
    q.DrawString({5, 5, 200, 30}, L"plain", top_left, -1);
    q.SetBkMode(BK_Opaque);
    q.DrawStringNative({40, 12, 90, 16}, L"--", TA_VCenter | TA_SingleLine);
    q.SetOrigin({20, 2});
    extent = q.DrawString({80, 3, 180, 28}, L"boxed", top_left, -1);
  });
  const int right = int(100 + extent.width), bottom = int(5 + extent.height);
  const auto is_green = [&](_color c) { return c.value == green.value; };
  EXPECT_GT(probe.count(40, 12, 90, 16, is_green), 0);
  EXPECT_EQ(probe.count(0, 0, 100, 30, is_green), probe.count(40, 12, 90, 16, is_green));
  EXPECT_EQ(probe.mismatches({{100, 5, green}, {right - 1, bottom - 1, green}}), "");
  EXPECT_EQ(probe.count_not(right, 0, 200, 30, green), (200 - right) * 30);
  EXPECT_EQ(probe.count_not(100, bottom, 200, 30, green), 100 * (30 - bottom));
  EXPECT_EQ(probe.count_not(100, 0, 200, 5, green), 100 * 5);
  EXPECT_GT(ink(probe, 100, 5, right, bottom), 10);
}

// Text that is not valid Unicode, empty, in a rectangle that is not a number or inside out, in a
// font of wild fields, or huge: invalid code points and NUL draw as U+FFFD, the font falls back to
// its defaults, and nothing is drawn outside the rectangle or where there is nothing to draw.
TEST(CairoText, OddTextAndRectanglesDrawOnlyWhatTheyShould) {
  pixel_probe_t probe(300, 40);
  IPainter& p = probe.painter();
  const std::wstring invalid = {wchar_t(0xD800), wchar_t(0x110000), wchar_t(0), L'a'};
  EXPECT_GT(width_of(p, L"\U0001F600\U00010348"), width_of(p, L"\U0001F600"));
  EXPECT_EQ(width_of(p, invalid), width_of(p, L"\uFFFD\uFFFD\uFFFDa"));
  const double nan = std::nan("");
  probe.render([&](IPainter& q) {
    EXPECT_EQ(q.DrawString({nan, 0, 100, 20}, L"nan", TA_Left, -1), size<double>());
    EXPECT_EQ(q.GetTextRect({0, nan, 100, 20}, L"nan", TA_Left, -1), rectangle<double>());
    q.DrawStringNative({100, 0, 50, 20}, L"negative", TA_Left);
    q.DrawStringNative({0, 0, 300, 40}, L"", TA_Left);
    q.DrawString({0, 0, 300, 40}, L"none of it", TA_Left, 0);
  });
  EXPECT_EQ(ink(probe, 0, 0, 300, 40), 0);
  // Unknown family, a negative size and style bits beyond the four: sans, default size, all four.
  const font wild(7, -3, 0xFF, L",,,"), tame(1, 0, 0xF);
  EXPECT_EQ(width_of(p, L"wild", &wild), width_of(p, L"wild", &tame));
  pixel_probe_t huge(300, 40);
  huge.render([&](IPainter& q) {
    q.SetFont(wild);
    q.DrawStringNative({10, 5, 290, 35}, std::wstring(100000, L'\U0001F600'), with_ellipsis);
  });
  EXPECT_GT(huge.count_not(10, 5, 290, 35, _color::rgb(0xFF, 0xFF, 0xFF)), 100);
  EXPECT_EQ(huge.count_not(0, 0, 300, 40, _color::rgb(0xFF, 0xFF, 0xFF)),
            huge.count_not(10, 5, 290, 35, _color::rgb(0xFF, 0xFF, 0xFF)));
}

// ---- measuring without drawing ----

// `count` texts of 0 to 40 characters drawn from `alphabet`.
std::vector<std::wstring> random_texts(const std::wstring& alphabet, int count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::size_t> length(0, 40), pick(0, alphabet.size() - 1);
  std::vector<std::wstring> texts;
  for (int i = 0; i < count; ++i) {
    std::wstring text(length(random), L' ');
    for (wchar_t& c : text) c = alphabet[pick(random)];
    texts.push_back(text);
  }
  return texts;
}

std::wstring code_points(wchar_t from, wchar_t to) {
  std::wstring out;
  for (wchar_t c = from; c <= to; ++c) out += c;
  return out;
}

std::vector<std::wstring> texts_to_measure() {
  std::vector<std::wstring> texts = {
      L"",
      L" ",
      L"  leading and trailing  ",
      L"AV Te r. fi ffi ffl WAVE To. Yo",
      L"    if (x == 1) {  // four spaces where a tab was",
      L"a\tb\t\tc",
      L"line\nfeed",
      L"caf\u00e9 na\u00efve gr\u00f6\u00dfe \u0141\u00f3d\u017a \u0151",
      L"e\u0301 a\u0308\u0304 combining",
      L"\u8868\u793a\u3059\u308b \uff21\uff22 \ud55c\uae00",
      L"\u05e9\u05dc\u05d5\u05dd abc \u0645\u0631\u062d\u0628\u0627",
      L"\U0001F600 smile",
      L"soft\u00adhyphen no\u00a0break zero\u200dwidth",
      L"\u03b1\u03b2\u03b3 \u0436\u0437\u0438",
      std::wstring(L"bad \xD800 \x110000 nul ") + L'\0' + L"!"};
  const std::wstring ascii = code_points(L' ', L'~');
  for (const std::wstring& t : random_texts(ascii, 100, 1)) texts.push_back(t);
  for (const std::wstring& t : random_texts(ascii + code_points(0xA0, 0x52F), 100, 2))
    texts.push_back(t);
  for (const std::wstring& t :
       random_texts(L"AVTWYLPFfilr.,-o e" + code_points(0x300, 0x303), 60, 3))
    texts.push_back(t);
  return texts;
}

double drawn_width(IPainter& p, const std::wstring& text) {
  const rectangle<double> box(0, 0, 1e5, 100);
  return p.GetTextRect(box, text, TA_Left | TA_Top | TA_SingleLine | TA_CalcRect, -1).width();
}

// Every face and size measures each text as wide as drawing lays it out, and its glyphs' line as
// high as a full layout of the text reports. A text is measured until the painter has learned
// all its characters and pairs, so that each answer by layout and by sum is checked.
TEST(CairoMeasure, MeasuredTextEqualsTheLaidOutText) {
  pixel_probe_t probe(10, 10);
  IPainter& p = probe.painter();
  const std::vector<std::wstring> texts = texts_to_measure();
  const font fonts[] = {{2, 0, 0},        {2, 9, 0}, {2, 14, FS_Bold},   {1, 9, 0},
                        {1, 12, FS_Bold}, {1, 7, 0}, {3, 10, FS_Italic}, {0, 20, FS_Underline}};
  for (const font& f : fonts) {
    p.SetFont(f);
    for (const std::wstring& text : texts) {
      const double width = drawn_width(p, text);
      const double height = p.GetTextSize(text, &f, -1, false, /*logical=*/false).height;
      for (int round = 0; round < 12; ++round) {
        const size<double> measured = p.GetTextSize(text, &f, -1, /*line_height=*/false, true);
        ASSERT_TRUE(measured.width == width && measured.height == height)
            << measured.width << " x " << measured.height << " measured, " << width << " x "
            << height << " laid out; font " << f.family << '/' << f.size << '/' << f.style
            << " text #" << (&text - texts.data()) << " round " << round;
      }
    }
  }
}

}  // namespace
