// The Cairo painter's shapes, lines, clips, origin and paint passes, probed pixel by pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "orrin7/painter.h"
#include "support/pixel_probe.h"

namespace {

using orrin7::_color;
using sv4_test::pixel_probe_t;

const _color white = _color::rgb(0xFF, 0xFF, 0xFF);
const _color red = _color::rgb(0xFF, 0, 0);
const _color blue = _color::rgb(0, 0, 0xFF);

void fill(orrin7::IPainter& p, double l, double t, double r, double b, _color c = red) {
  p.SetBrush(orrin7::brush(c, 1));
  p.FillRect(l, t, r, b);
}

TEST(CairoShapes, FillRectCoversExactlyItsPixels) {
  pixel_probe_t probe(20, 20);
  probe.render([](orrin7::IPainter& p) { fill(p, 2, 3, 6, 8); });
  EXPECT_EQ(probe.count_not(0, 0, 20, 20, white), 4 * 5);
  EXPECT_EQ(probe.mismatches({{2, 3, red}, {5, 7, red}, {6, 7, white}, {5, 8, white}}), "");
}

TEST(CairoShapes, BadRectanglesAndHollowBrushesFillNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  pixel_probe_t probe(20, 20);
  probe.render([nan](orrin7::IPainter& p) {
    fill(p, 8, 2, 4, 6);  // negative width
    fill(p, 2, 8, 6, 4);  // negative height
    fill(p, nan, 0, 10, 10);
    fill(p, 0, 0, 1e300, 1e300, _color::rgb(0, 0, 0xFF));  // huge but valid: fills all
    p.SetBrush(orrin7::brush(red, 0));
    p.FillRect(0, 0, 20, 20);
  });
  EXPECT_EQ(probe.count_not(0, 0, 20, 20, blue), 0);
}

TEST(CairoShapes, HairlinesCoverBothEndPixelsThroughPixelCentres) {
  pixel_probe_t probe(20, 20);
  probe.render([](orrin7::IPainter& p) {
    p.SetPen(orrin7::pen(red, 0, 1));
    p.MoveTo(2, 5);
    p.LineTo(8, 5);
    p.LineTo(8, 12);  // continues from the current point
  });
  EXPECT_EQ(probe.count_not(0, 0, 20, 20, white), 7 + 7);
  for (int x = 2; x <= 8; ++x) EXPECT_EQ(probe.pixel(x, 5).value, red.value) << x;
  for (int y = 5; y <= 12; ++y) EXPECT_EQ(probe.pixel(8, y).value, red.value) << y;
}

TEST(CairoShapes, PenStylesAndWidths) {
  pixel_probe_t probe(20, 20);
  probe.render([](orrin7::IPainter& p) {
    p.SetPen(orrin7::pen(red, 0, 0));  // draws nothing
    p.MoveTo(0, 1);
    p.LineTo(19, 1);
    p.SetPen(orrin7::pen(red, 0, 3));  // dots on every other pixel, first pixel on
    p.MoveTo(0, 4);
    p.LineTo(9, 4);
    p.SetPen(orrin7::pen(red, 2, 1));  // two pixels wide, centred on the coordinate
    p.MoveTo(0, 10);
    p.LineTo(9, 10);
  });
  EXPECT_EQ(probe.count_not(0, 0, 20, 3, white), 0);
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(probe.pixel(x, 4).value, (x % 2 == 0 ? red : white).value) << x;
  }
  EXPECT_EQ(probe.mismatches({{3, 9, red}, {3, 10, red}, {3, 11, white}}), "");
}

TEST(CairoShapes, FocusLineIsDottedInTheTextColourAndKeepsThePen) {
  pixel_probe_t probe(20, 20);
  probe.render([](orrin7::IPainter& p) {
    p.SetTextColor(blue);
    p.SetPen(orrin7::pen(red, 0, 1));
    orrin7::DrawFocusLine(&p, {2, 3}, {2, 12}, /*thick=*/false);
    EXPECT_EQ(p.GetPen().color.value, red.value);
    EXPECT_EQ(p.GetPen().style, 1);
  });
  for (int y = 3; y <= 12; ++y) {
    EXPECT_EQ(probe.pixel(2, y).value, ((y - 3) % 2 == 0 ? blue : white).value) << y;
  }
  EXPECT_EQ(probe.count_not(0, 0, 20, 20, white), 5);
}

TEST(CairoShapes, RoundRectAndPolygonFillWithTheBrushAndOutlineWithThePen) {
  pixel_probe_t probe(40, 20);
  probe.render([](orrin7::IPainter& p) {
    p.SetBrush(orrin7::brush(blue, 1));
    p.SetPen(orrin7::pen(red, 0, 1));
    p.RoundRect(0, 0, 16, 16, 4, 4);
    const orrin7::point<double> triangle[] = {{20, 1}, {38, 1}, {20, 18}};
    p.Polygon(triangle, 3);
  });
  // The outline lies inside the rectangle, the brush fills within it, the corners are round.
  EXPECT_EQ(probe.mismatches({{8, 0, red},
                              {8, 15, red},
                              {8, 8, blue},
                              {0, 0, white},
                              {8, 16, white},
                              {25, 1, red},
                              {23, 5, blue},
                              {36, 16, white}}),
            "");
}

TEST(CairoShapes, ClipsNestAndUnbalancedPopsAreIgnored) {
  pixel_probe_t probe(20, 20);
  probe.render([](orrin7::IPainter& p) {
    p.PopClip();  // nothing pushed
    p.PushClip({0, 0, 10, 20});
    p.PushClip({5, 0, 20, 10});
    fill(p, 0, 0, 20, 20);  // only [5, 10) × [0, 10)
    p.PopClip();
    fill(p, 0, 15, 20, 16, blue);  // only [0, 10)
    p.PopClip();
    fill(p, 19, 19, 20, 20, blue);  // unclipped again
  });
  EXPECT_EQ(probe.count(0, 0, 20, 15, [](_color c) { return c.value == red.value; }), 5 * 10);
  EXPECT_EQ(probe.mismatches({{5, 0, red}, {9, 15, blue}, {10, 15, white}, {19, 19, blue}}), "");
}

TEST(CairoShapes, PaintPassesNestAndTheOutermostEndUndoesLeftoverClips) {
  pixel_probe_t probe(20, 20);
  orrin7::IPainter& p = probe.painter();
  p.BeginPaint(0);
  p.BeginPaint(3);
  p.PushClip({0, 0, 5, 5});
  p.EndPaint();  // inner: the clip stays
  fill(p, 0, 0, 20, 20);
  p.EndPaint();  // outer: the clip goes
  p.EndPaint();  // unbalanced: ignored
  p.BeginPaint(0);
  fill(p, 19, 19, 20, 20, blue);
  p.EndPaint();
  EXPECT_EQ(probe.count(0, 0, 20, 20, [](_color c) { return c.value == red.value; }), 25);
  EXPECT_EQ(probe.pixel(19, 19).value, blue.value);
}

TEST(CairoShapes, OriginShiftsDrawingAndClips) {
  pixel_probe_t probe(20, 20);
  probe.render([](orrin7::IPainter& p) {
    p.SetOrigin({10, 5});
    p.PushClip({0, 0, 3, 3});
    fill(p, 0, 0, 20, 20);
    p.PopClip();
    p.SetOrigin({std::nan(""), 0});  // ignored
    EXPECT_EQ(p.GetOrigin(), orrin7::point<double>(10, 5));
  });
  EXPECT_EQ(probe.count_not(0, 0, 20, 20, white), 9);
  EXPECT_EQ(probe.mismatches({{10, 5, red}, {12, 7, red}}), "");
}

TEST(CairoShapes, BitmapsAreDrawnAtTheirPositionAndBadOnesAreSkipped) {
  orrin7::bitmap image;
  image.width = 2;
  image.height = 2;
  image.pixels = {0xFFFF0000, 0xFF0000FF, 0x00000000, 0xFFFF0000};
  orrin7::bitmap broken = image;
  broken.pixels.pop_back();
  pixel_probe_t probe(10, 10);
  probe.render([&](orrin7::IPainter& p) {
    p.SetOrigin({1, 1});
    p.DrawBitmap(image, 3, 4);
    p.DrawBitmap(broken, 0, 0);
  });
  EXPECT_EQ(probe.mismatches({{4, 5, red}, {5, 5, blue}, {4, 6, white} /* transparent */}), "");
  EXPECT_EQ(probe.count_not(0, 0, 10, 10, white), 3);
}

TEST(CairoShapes, NullContextDrawsNothingAndKeepsState) {
  orrin7::CCairoPainter painter(nullptr);
  painter.BeginPaint(0);
  painter.PushClip({0, 0, 5, 5});
  painter.SetBrush(orrin7::brush(red, 1));
  painter.FillRect(0, 0, 5, 5);
  painter.MoveTo(0, 0);
  painter.LineTo(4, 4);
  const orrin7::size<double> extent = painter.DrawString({0, 0, 50, 20}, L"text", 0x1, -1);
  painter.PopClip();
  painter.EndPaint();
  EXPECT_GT(extent.width, 0.0);
  EXPECT_EQ(painter.GetBrush().color.value, red.value);
}

}  // namespace
