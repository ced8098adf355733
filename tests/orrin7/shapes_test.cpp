// The drawing layer probed pixel by pixel: the Cairo painter's shapes, lines, clips, origin, state
// and paint passes; the palette, the system object, image lists and XPM images.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "orrin7/cairo_painter.h"
#include "orrin7/painter.h"
#include "orrin7/system.h"
#include "support/output_path.h"
#include "support/pixel_probe.h"

namespace {

using namespace orrin7;
using sv4_test::pixel_probe_t;

const _color white = _color::rgb(0xFF, 0xFF, 0xFF);
const _color red = _color::rgb(0xFF, 0, 0);
const _color blue = _color::rgb(0, 0, 0xFF);
const double nan = std::nan("");

void fill(IPainter& p, double l, double t, double r, double b, _color c = red) {
  p.SetBrush(brush(c, 1));
  p.FillRect(l, t, r, b);
}

void line(IPainter& p, const pen& with, double x0, double y0, double x1, double y1) {
  p.SetPen(with);
  p.MoveTo(x0, y0);
  p.LineTo(x1, y1);
}

TEST(CairoShapes, LinesCoverTheirEndPixelsInTheirStyleAndTheFocusLineKeepsThePen) {
  pixel_probe_t probe(40, 20);
  probe.render([](IPainter& p) {
    line(p, pen(red, 0, 0), 0, 1, 29, 1);  // style 0 draws nothing but moves on
    p.SetPen(pen(red, 0, 1));
    p.LineTo(29, 2);
    line(p, pen(red, 0, 3), 0, 15, 9, 15);    // dots on every other pixel, first pixel on
    line(p, pen(red, 2, 1), 12, 10, 19, 10);  // two pixels wide, centred on the coordinate
    p.SetTextColor(blue);
    p.SetPen(pen(red, 0, 1));
    DrawFocusLine(&p, {25, 3}, {25, 12}, /*thick=*/false);  // dotted, text colour
    p.MoveTo(2, 5);                                         // the hairline pen again
    p.LineTo(8, 5);
    p.LineTo(8, 12);  // continues from the current point
    DrawFocusLine(&p, {34, 3}, {34, 12}, /*thick=*/true);
  });
  EXPECT_EQ(probe.count_not(0, 0, 29, 3, white), 0);
  EXPECT_EQ(probe.count_not(29, 0, 30, 3, white), 2);
  EXPECT_EQ(probe.count_not(0, 3, 10, 13, white), 7 + 7);
  EXPECT_EQ(probe.mismatches({{2, 5, red}, {8, 5, red}, {8, 12, red}}), "");
  EXPECT_EQ(probe.count_not(0, 14, 10, 17, white), 5);
  EXPECT_EQ(probe.mismatches({{0, 15, red}, {1, 15, white}, {8, 15, red}}), "");
  EXPECT_EQ(probe.mismatches({{15, 8, white}, {15, 9, red}, {15, 10, red}, {15, 11, white}}), "");
  EXPECT_EQ(probe.count_not(20, 3, 30, 20, white), 5);
  EXPECT_EQ(probe.mismatches({{25, 3, blue}, {25, 4, white}, {25, 11, blue}}), "");
  // The thick focus line: two pixels wide, dotted, its first pixel set.
  EXPECT_EQ(probe.mismatches({{33, 3, blue}, {34, 3, blue}}), "");
  EXPECT_GT(probe.count(33, 3, 35, 13, [](_color c) { return c.value == white.value; }), 4);
  EXPECT_EQ(probe.count_not(30, 0, 33, 20, white) + probe.count_not(35, 0, 40, 20, white), 0);
}

TEST(CairoShapes, RoundRectAndPolygonFillWithTheBrushAndOutlineWithThePen) {
  pixel_probe_t probe(40, 20);
  probe.render([](IPainter& p) {
    p.SetBrush(brush(blue, 1));
    p.SetPen(pen(red, 0, 1));
    p.RoundRect(0, 0, 16, 16, 4, 4);
    const point<double> triangle[] = {{20, 1}, {38, 1}, {20, 18}};
    p.Polygon(triangle, 3);
  });
  // The outline lies inside the rectangle, the brush fills within it, the corners are round.
  EXPECT_EQ(probe.mismatches({{8, 0, red}, {8, 15, red}, {8, 8, blue}, {0, 0, white}}), "");
  EXPECT_EQ(probe.mismatches({{8, 16, white}, {25, 1, red}, {23, 5, blue}, {36, 16, white}}), "");
}

TEST(CairoShapes, ClipsNestFollowTheOriginAndTheOutermostPaintPassEndsThem) {
  pixel_probe_t probe(20, 20);
  IPainter& p = probe.painter();
  p.BeginPaint(0);
  p.PopClip();  // nothing pushed in this pass: ignored
  p.SetOrigin({2, 0});
  p.PushClip({0, 0, 8, 20});  // [2, 10) on the surface
  p.SetOrigin({nan, 0});      // ignored
  p.BeginPaint(3);
  p.PushClip({3, 0, 18, 10});
  p.EndPaint();            // an inner pass leaves the clips
  fill(p, -2, 0, 18, 20);  // only [5, 10) × [0, 10)
  p.PopClip();
  fill(p, -2, 15, 18, 16, blue);  // only [2, 10)
  p.PushClip({0, 0, 1, 1});
  p.EndPaint();  // the outer pass drops both clips left pushed
  p.EndPaint();  // unbalanced: ignored
  probe.render([](IPainter& q) { fill(q, 17, 19, 18, 20, blue); });
  EXPECT_EQ(probe.count_not(0, 0, 20, 15, white), 5 * 10);
  EXPECT_EQ(probe.count_not(0, 15, 20, 16, white), 8);
  EXPECT_EQ(probe.mismatches({{5, 0, red}, {9, 9, red}, {4, 0, white}, {10, 0, white}}), "");
  EXPECT_EQ(probe.mismatches({{2, 15, blue}, {9, 15, blue}, {19, 19, blue}}), "");
  // Nothing the passes saved is left on the context: one more restore is one too many.
  cairo_restore(probe.context());
  EXPECT_EQ(cairo_status(probe.context()), CAIRO_STATUS_INVALID_RESTORE);
}

TEST(CairoShapes, BitmapsAreDrawnAtTheirPositionAndBadOnesAreSkipped) {
  bitmap image;
  image.width = image.height = 2;
  image.pixels = {0xFFFF0000, 0xFF0000FF, 0x00000000, 0xFFFF0000};
  bitmap broken = image;
  broken.pixels.pop_back();
  pixel_probe_t probe(10, 10);
  probe.render([&](IPainter& p) {
    p.SetOrigin({1, 1});
    p.DrawBitmap(image, 3, 4);
    p.DrawBitmap(broken, 0, 0);
  });
  EXPECT_EQ(probe.mismatches({{4, 5, red}, {5, 5, blue}, {4, 6, white} /* transparent */}), "");
  EXPECT_EQ(probe.count_not(0, 0, 10, 10, white), 3);
}

// Fills and shapes at their degenerate sizes, each alone on a white surface with a red hairline
// pen and a blue brush: all ink inside their own rectangle and, where a count is given (-1: some),
// that many pixels, each fully red or blue.
TEST(CairoShapes, DegenerateSizesInkOnlyTheirOwnPixels) {
  struct case_t {
    const char* what;
    std::function<void(IPainter&)> draw;
    int left, top, right, bottom, count;  // where ink may go, how much
  };
  const point<double> points[] = {{2, 2}, {9, 2}, {16, 2}};
  const case_t cases[] = {
      {"fill", [](auto& p) { p.FillRect(2, 3, 6, 8); }, 2, 3, 6, 8, 4 * 5},
      {"fill of one pixel", [](auto& p) { p.FillRect(5, 5, 6, 6); }, 5, 5, 6, 6, 1},
      {"fill of no width", [](auto& p) { p.FillRect(5, 5, 5, 15); }, 0, 0, 0, 0, 0},
      {"fills inside out", [](auto& p) { p.FillRect(18, 2, 14, 6), p.FillRect(1, 9, 4, 3); }, 0, 0,
       0, 0, 0},
      {"fill not a number", [](auto& p) { p.FillRect(nan, 0, 10, 10); }, 0, 0, 0, 0, 0},
      {"hollow brush",
       [](auto& p) {
         p.SetBrush({blue, 0}), p.FillRect(0, 0, 20, 20);
       },
       0, 0, 0, 0, 0},
      {"fill far beyond the surface", [](auto& p) { p.FillRect(0, 0, 1e300, 1e300); }, 0, 0, 20, 20,
       400},
      {"line of one pixel", [](auto& p) { p.MoveTo(5, 5), p.LineTo(5, 5); }, 5, 5, 6, 6, 1},
      {"dotted line of one pixel", [](auto& p) { line(p, pen(red, 0, 3), 5, 5, 5, 5); }, 5, 5, 6, 6,
       1},
      {"round rectangle of no width", [](auto& p) { p.RoundRect(5, 5, 5, 15, 2, 2); }, 0, 0, 0, 0,
       0},
      {"round rectangle of no height", [](auto& p) { p.RoundRect(5, 5, 15, 5, 2, 2); }, 0, 0, 0, 0,
       0},
      {"round rectangle of one pixel", [](auto& p) { p.RoundRect(5, 5, 6, 6, 2, 2); }, 5, 5, 6, 6,
       1},
      {"round rectangle one pixel wide", [](auto& p) { p.RoundRect(5, 2, 6, 18, 1, 1); }, 5, 2, 6,
       18, 16},
      {"round rectangle no wider than its pen",
       [](auto& p) { p.SetPen(pen(red, 3, 1)), p.RoundRect(5, 2, 8, 18, 1, 1); }, 5, 2, 8, 18,
       3 * 16},
      {"round rectangle of two pixels", [](auto& p) { p.RoundRect(5, 5, 7, 7, 2, 2); }, 5, 5, 7, 7,
       -1},
      {"round rectangle narrower than its radius",
       [](auto& p) { p.RoundRect(5, 2, 9, 18, 10, 10); }, 5, 2, 9, 18, -1},
      {"round rectangle with one radius zero", [](auto& p) { p.RoundRect(2, 2, 18, 18, 0, 6); }, 2,
       2, 18, 18, 16 * 16},
      {"polygon of one point", [&](auto& p) { p.Polygon(points, 1); }, 0, 0, 0, 0, 0},
      {"polygon without area", [&](auto& p) { p.Polygon(points, 3); }, 2, 2, 17, 3, -1},
  };
  const auto solid = [](_color c) { return c.value == red.value || c.value == blue.value; };
  for (const case_t& c : cases) {
    pixel_probe_t probe(20, 20);
    probe.render([&](IPainter& p) {
      p.SetPen(pen(red, 0, 1));
      p.SetBrush(brush(blue, 1));
      c.draw(p);
    });
    const int inside = probe.count_not(c.left, c.top, c.right, c.bottom, white);
    EXPECT_EQ(probe.count_not(0, 0, 20, 20, white), inside) << c.what;
    const int expected = c.count < 0 ? inside : c.count;
    EXPECT_TRUE(inside > 0 || c.count == 0) << c.what;
    EXPECT_EQ(c.count < 0 ? expected : probe.count(c.left, c.top, c.right, c.bottom, solid),
              expected)
        << c.what << ": " << inside;
  }
  // Radii beyond half the rectangle make an ellipse: its corners stay clear.
  pixel_probe_t ellipse(20, 20);
  ellipse.render([](IPainter& p) {
    p.SetPen(pen(red, 0, 1));
    p.SetBrush(brush(blue, 1));
    p.RoundRect(5, 2, 9, 18, 10, 10);
  });
  EXPECT_GT(ellipse.count_not(5, 2, 9, 18, white), 30);
  const auto inked = [](_color c) { return c.green() < 0xC0; };
  for (const auto& [x, y] : {std::pair(5, 2), {8, 2}, {5, 17}, {8, 17}})
    EXPECT_EQ(ellipse.count(x, y, x + 1, y + 1, inked), 0) << x << ", " << y;
}

// The drawing state every case below starts from, and a drawing that uses all of it (brush, pen
// on a slanted line and an outline, font and text colour on one line and in a paragraph) on the
// right half of an 80 × 40 surface.
void set_state(IPainter& p) {
  p.SetPen(pen(red, 0, 1));
  p.SetBrush(brush(blue, 1));
  p.SetFont(font(1, 10, 0));
  p.SetTextColor(_color::rgb(0, 0x80, 0));
  p.SetBkColor(_color::rgb(0xFF, 0xFF, 0));
  p.SetBkMode(BK_Transparent);
}

void draw_with_state(IPainter& p) {
  p.FillRect(42, 2, 50, 10);
  line(p, p.GetPen(), 52, 2, 78, 20);
  p.RoundRect(42, 22, 60, 38, 4, 4);
  p.DrawString({60, 22, 80, 40}, L"Rg", TA_Left | TA_SingleLine, -1);
  p.DrawString({44, 10, 80, 40}, L"Ab\ncd", TA_Left, -1);
}

// The right half of the surface's pixels.
std::vector<std::uint32_t> right_half(const orrin7_test::canvas_t& canvas) {
  std::vector<std::uint32_t> all = canvas.pixels(), half;
  for (std::size_t i = 0; i < all.size(); ++i)
    if (int(i % std::size_t(canvas.width())) >= canvas.width() / 2) half.push_back(all[i]);
  return half;
}

// Operations that change the drawing state for a while, or measure in another font, on the left
// half within a paint pass: afterwards every getter answers what was set, the right half looks as
// it does when nothing came before, and the pass leaves the context as it found it (no dashes,
// clip or font of the painter's).
TEST(CairoShapes, EveryOperationLeavesTheStateAsItFoundIt) {
  const font other(2, 14, FS_Bold | FS_Underline);
  const std::pair<const char*, std::function<void(IPainter&)>> operations[] = {
      {"dotted and dashed lines",
       [](auto& p) {
         line(p, pen(red, 0, 3), 2, 30, 30, 38);
         line(p, pen(red, 2, 2), 2, 2, 30, 10);
         p.SetPen(pen(red, 0, 1));
       }},
      {"thick focus line",
       [](auto& p) {
         DrawFocusLine(&p, {2, 2}, {30, 20}, true);
       }},
      {"text cut by its cell",
       [](auto& p) {
         p.DrawStringNative({2, 2, 20, 8}, L"overflowing", TA_SingleLine);
       }},
      {"measuring in another font",
       [&](auto& p) {
         p.GetTextSize(L"wide", &other, -1, false, false);
         p.GetTextSize(L"wide", &other, -1, true, true);
         p.GetTextRect({0, 0, 40, 40}, L"x\ny", TA_CalcRect, -1);
       }},
      {"opaque text",
       [](auto& p) {
         p.SetBkMode(BK_Opaque);
         p.DrawString({2, 2, 40, 20}, L"op", TA_SingleLine, -1);
         p.SetBkMode(BK_Transparent);
       }},
      {"pop without a push", [](auto& p) { p.PopClip(); }},
      {"round rectangle", [](auto& p) { p.RoundRect(2, 2, 30, 30, 8, 4); }},
  };
  orrin7_test::canvas_t reference(80, 40);
  reference.painter().BeginPaint(0);
  set_state(reference.painter());
  draw_with_state(reference.painter());
  reference.painter().EndPaint();
  for (const auto& [what, operation] : operations) {
    orrin7_test::canvas_t canvas(80, 40);
    IPainter& p = canvas.painter();
    p.BeginPaint(0);
    set_state(p);
    operation(p);
    draw_with_state(p);
    p.EndPaint();
    EXPECT_EQ(p.GetPen().color, red) << what;
    EXPECT_EQ(p.GetBrush().color, blue) << what;
    EXPECT_TRUE(p.GetFont() == font(1, 10, 0)) << what;
    EXPECT_EQ(p.GetTextColor(), _color::rgb(0, 0x80, 0)) << what;
    EXPECT_EQ(p.GetBkMode(), BK_Transparent) << what;
    EXPECT_TRUE(right_half(canvas) == right_half(reference)) << what;
    cairo_t* cr = canvas.context();
    double x0 = 1, y0 = 1, x1 = 0, y1 = 0;
    cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
    EXPECT_TRUE(x0 == 0 && y0 == 0 && x1 == 80 && y1 == 40) << what;
    EXPECT_EQ(cairo_get_dash_count(cr), 0) << what;
    EXPECT_EQ(cairo_font_face_get_type(cairo_get_font_face(cr)), CAIRO_FONT_TYPE_TOY) << what;
  }
}

// Without a context nothing is drawn, yet the painter keeps its state and measures text as it
// does on a surface; attached to one later, it draws with that state and no clip or paint pass
// opened meanwhile is left behind.
TEST(CairoShapes, WithoutAContextStateIsKeptAndTextMeasuredAsOnASurface) {
  CCairoPainter painter(nullptr);
  orrin7_test::canvas_t canvas(200, 40);
  const font f(2, 12, FS_Bold);
  painter.SetFont(f);
  canvas.painter().SetFont(f);
  const int align = TA_Right | TA_VCenter;
  const rectangle<double> box(0, 0, 200, 40);
  painter.BeginPaint(0);
  painter.PushClip({0, 0, 1, 1});
  fill(painter, 0, 0, 5, 5);
  EXPECT_EQ(painter.DrawString(box, L"text\nlines", align, -1),
            canvas.painter().DrawString(box, L"text\nlines", align, -1));
  EXPECT_EQ(painter.GetTextRect(box, L"text", align, -1),
            canvas.painter().GetTextRect(box, L"text", align | TA_CalcRect, -1));
  painter.EndPaint();
  // A pass and a clip opened on a context the painter then leaves stay with that context.
  orrin7_test::canvas_t gone(10, 10);
  painter.SetContext(gone.context());
  painter.BeginPaint(0);
  painter.PushClip({0, 0, 1, 1});
  painter.SetContext(canvas.context());
  painter.EndPaint();
  canvas.clear();
  painter.BeginPaint(0);
  painter.FillRect(0, 0, 200, 40);  // the red brush set without a context; no clip
  painter.EndPaint();
  painter.SetContext(nullptr);
  EXPECT_TRUE(painter.GetFont() == f);
  for (const std::uint32_t pixel : canvas.pixels()) ASSERT_EQ(pixel, 0xFFFF0000u);
}

// ---- palette, system object, image lists, XPM images ----

const _color black = _color::rgb(0, 0, 0);
const _color opaque_black(black.value, 1);

TEST(Palette, LightByDefaultDarkOnRequestUnknownIndexesBlack) {
  IPalette& palette = GetSysPalette();
  ASSERT_FALSE(palette.IsDark());
  const _color light_background = palette.GetColor(PAL_CellBackground);
  EXPECT_EQ(light_background, _color(white.value, 1));
  for (const int index : {int(PAL_Text), 0, -5, 32})
    EXPECT_EQ(palette.GetColor(index), opaque_black);
  palette.UseDarkColors(true);
  EXPECT_LT(palette.GetColor(PAL_CellBackground).red(), 0x40);
  EXPECT_GT(palette.GetColor(PAL_Text).red(), 0xC0);
  palette.SetColor(PAL_Text, _color::rgb(1, 2, 3, 0xFF, 0));  // stored with flag 1
  EXPECT_EQ(palette.GetColor(PAL_Text), _color::rgb(1, 2, 3, 0xFF, 1));
  palette.UseDarkColors(false);
  EXPECT_EQ(palette.GetColor(PAL_CellBackground), light_background);
  EXPECT_EQ(palette.GetColor(PAL_Text), opaque_black);
}

// A row is the default text line plus five pixels: two above the text, one below, one that keeps
// the text off the grid line and the grid line itself, so that the lowest ink of a line drawn two
// pixels into the row (underscores, descenders) stays clear of the last two rows. The alternative
// font is what the default font without a size draws as.
TEST(SystemObject, RowsHoldTheDefaultLineWithItsMarginsAndTheClipboardFallsBackToMemory) {
  ISystem* system = GetCurrentSystem();
  const int row = system->GetMetric(SM_LineHeight);
  EXPECT_EQ(system->GetMetricF(SM_LineHeight), 5.0);
  EXPECT_EQ(system->GetMetric(99), 0);
  EXPECT_EQ(system->GetMetricF(99), 0.0);
  pixel_probe_t probe(120, 3 * row), alternative(120, 3 * row);
  const std::wstring low_ink = L"_gjpqy\u00C5";
  probe.render([&](IPainter& p) {
    p.SetFont(GetDefaultGUIFont());
    EXPECT_EQ(p.GetFontMetrics().line_height(), system->GetLineHeightUnit());
    EXPECT_EQ(row, system->GetLineHeightUnit() + 5);
    p.DrawString({2, double(row + 2), 120, double(2 * row)}, low_ink, TA_SingleLine, -1);
  });
  const auto dark = [](_color c) { return c.red() < 0xF0; };
  EXPECT_GT(probe.count(0, row + 2, 120, 2 * row - 2, dark), 0);
  EXPECT_EQ(probe.count(0, 0, 120, row + 2, dark), 0);
  EXPECT_EQ(probe.count(0, 2 * row - 2, 120, 3 * row, dark), 0);
  alternative.render([&](IPainter& p) {
    p.SetFont(system->GetAlternativeFont());
    p.DrawString({2, double(row + 2), 120, double(2 * row)}, low_ink, TA_SingleLine, -1);
  });
  for (int y = row; y < 2 * row; ++y)
    for (int x = 0; x < 120; x += 2) ASSERT_EQ(probe.pixel(x, y), alternative.pixel(x, y));

  struct recording_service_t : IClipboardService {
    void SetText(const std::wstring& text) override { last = text; }
    std::wstring GetText() const override { return last; }
    std::wstring last;
  } service;
  system->GetClipboardService()->SetText(L"first\tline");
  system->SetClipboardService(&service);
  system->GetClipboardService()->SetText(L"second");
  EXPECT_EQ(service.last, L"second");
  system->SetClipboardService(nullptr);
  EXPECT_EQ(system->GetClipboardService()->GetText(), L"first\tline");
}

TEST(ImageList, TakesImagesOfItsSizeAndDrawsThemThroughThePainter) {
  orrin_ptr<IImageList> list = GetCurrentSystem()->CreateImageList(9, 9);
  // A black square outline with a black plus inside, transparent elsewhere.
  const XPMImage plus(XPMBuf({"9 9 3 1 0 0", "  c #000000", "! c #FFFFFF", "# c None", "         ",
                              " ####### ", " ### ### ", " ### ### ", " #     # ", " ### ### ",
                              " ### ### ", " ####### ", "         "}));
  ASSERT_TRUE(plus.IsValid());
  EXPECT_EQ(list->Add(plus.GetBitmap()), 0);
  EXPECT_EQ(list->Add(XPMImage(XPMBuf({"9 1 1 1", "a c #000000", "aaaaaaaaa"})).GetBitmap()), -1);
  EXPECT_EQ(list->GetImageSize(1), size<int>(0, 0));
  pixel_probe_t probe(20, 20);
  probe.render([&](IPainter& p) {
    list->Draw(&p, 0, 5, 6, 0, 0);
    list->Draw(&p, 7, 0, 0, 0, 0);
    list->Draw(&p, -1, 0, 0, 0, 0);
  });
  // Outline corners, the transparent inside, the centre of the plus.
  EXPECT_EQ(probe.mismatches({{5, 6, black}, {13, 14, black}, {7, 8, white}, {9, 10, black}}), "");
  EXPECT_EQ(probe.count_not(0, 0, 20, 20, white), 32 + 9);
  // Counted handles keep the list alive while one of them holds it (sanitizers watch).
  orrin_ptr<IImageList> unowned(list.get(), /*owned=*/false);
  orrin_ptr<IImageList> copy = list;
  list = orrin_ptr<IImageList>();
  EXPECT_EQ(copy->GetImageCount(), 1);
  EXPECT_FALSE(list);
}

TEST(XpmImage, IncompleteOrMalformedTextGivesAnEmptyImage) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"9 9 3 1"},                       // no colours, no rows
      {"2 2 1 1", "a c #000000", "aa"},  // one row short
      {"2 2 1 2", "a", "aaaa", "aaaa"},  // colour line shorter than its key
      {"x y z w", "a c #000000", "aa", "aa"},
      {"100000 1 1 1", "a c #000000", "a"},
      {"3 1 2 1", "a c #FF0000", "b c None", "a"},  // row shorter than the width
  };
  for (const auto& lines : bad) EXPECT_FALSE(XPMImage(XPMBuf(lines)).IsValid()) << lines.size();
  const XPMImage red_dot(XPMBuf({"2 1 2 1", "a c #FF0000", "b c None", "ab"}));
  EXPECT_EQ(red_dot.GetBitmap().pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0}));
  const XPMImage opaque(XPMBuf({"3 1 2 1", "a c #FF0000", "b c #0000FF", "aba"}));  // no alpha
  EXPECT_EQ(opaque.GetBitmap().pixels,
            (std::vector<std::uint32_t>{0xFFFF0000, 0xFF0000FF, 0xFFFF0000}));
}

// An image file's pixels come back premultiplied as Cairo wrote them, the half-transparent ones
// rounded to the same values; a file that cannot be read gives the reason.
TEST(ImageFile, PixelsComeBackAsWritten) {
  const std::vector<std::uint32_t> written = {0x80640000, 0xFF0000FF, 0x40102030, 0};
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2, 2);
  cairo_surface_flush(surface);
  for (int y = 0; y < 2; ++y)
    std::memcpy(cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface),
                &written[std::size_t(2 * y)], 8);
  cairo_surface_mark_dirty(surface);
  const std::string path = sv4_test::output_path("orrin7_image_file.png");
  ASSERT_EQ(cairo_surface_write_to_png(surface, path.c_str()), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(surface);
  bitmap image;
  std::string error;
  ASSERT_TRUE(LoadImageFile(path, image, error)) << error;
  EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(2, 2));
  EXPECT_EQ(image.pixels, written);
  EXPECT_FALSE(LoadImageFile(path + ".missing", image, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
