// The Cairo painter's shapes, lines, clips, origin and paint passes, probed pixel by pixel.
#include <gtest/gtest.h>

#include <cmath>

#include "orrin7/painter.h"
#include "support/pixel_probe.h"

namespace {

using orrin7::_color;
using orrin7::pen;
using sv4_test::pixel_probe_t;

const _color white = _color::rgb(0xFF, 0xFF, 0xFF);
const _color red = _color::rgb(0xFF, 0, 0);
const _color blue = _color::rgb(0, 0, 0xFF);
const double nan = std::nan("");

void fill(orrin7::IPainter& p, double l, double t, double r, double b, _color c = red) {
  p.SetBrush(orrin7::brush(c, 1));
  p.FillRect(l, t, r, b);
}

void line(orrin7::IPainter& p, const pen& with, double x0, double y0, double x1, double y1) {
  p.SetPen(with);
  p.MoveTo(x0, y0);
  p.LineTo(x1, y1);
}

TEST(CairoShapes, FillsCoverExactlyTheirPixelsAndBadRectanglesNone) {
  pixel_probe_t probe(20, 20);
  probe.render([](orrin7::IPainter& p) {
    fill(p, 2, 3, 6, 8);
    fill(p, 18, 2, 14, 6, blue);    // negative width
    fill(p, 10, 18, 16, 14, blue);  // negative height
    fill(p, nan, 0, 10, 10, blue);
    p.SetBrush(orrin7::brush(blue, 0));  // hollow
    p.FillRect(0, 0, 20, 20);
  });
  EXPECT_EQ(probe.count_not(0, 0, 20, 20, white), 4 * 5);
  EXPECT_EQ(probe.mismatches({{2, 3, red}, {5, 7, red}, {6, 7, white}, {5, 8, white}}), "");
  probe.render([](orrin7::IPainter& p) { fill(p, 0, 0, 1e300, 1e300, blue); });
  EXPECT_EQ(probe.count_not(0, 0, 20, 20, blue), 0);  // huge but valid: fills all
}

TEST(CairoShapes, LinesCoverTheirEndPixelsInTheirStyleAndTheFocusLineKeepsThePen) {
  pixel_probe_t probe(30, 20);
  probe.render([](orrin7::IPainter& p) {
    line(p, pen(red, 0, 0), 0, 1, 29, 1);     // style 0 draws nothing
    line(p, pen(red, 0, 3), 0, 15, 9, 15);    // dots on every other pixel, first pixel on
    line(p, pen(red, 2, 1), 12, 10, 19, 10);  // two pixels wide, centred on the coordinate
    p.SetTextColor(blue);
    p.SetPen(pen(red, 0, 1));
    orrin7::DrawFocusLine(&p, {25, 3}, {25, 12}, /*thick=*/false);  // dotted, text colour
    p.MoveTo(2, 5);                                                 // the hairline pen again
    p.LineTo(8, 5);
    p.LineTo(8, 12);  // continues from the current point
  });
  EXPECT_EQ(probe.count_not(0, 0, 30, 3, white), 0);
  EXPECT_EQ(probe.count_not(0, 3, 10, 13, white), 7 + 7);
  EXPECT_EQ(probe.mismatches({{2, 5, red}, {8, 5, red}, {8, 12, red}}), "");
  EXPECT_EQ(probe.count_not(0, 14, 10, 17, white), 5);
  EXPECT_EQ(probe.mismatches({{0, 15, red}, {1, 15, white}, {8, 15, red}}), "");
  EXPECT_EQ(probe.mismatches({{15, 8, white}, {15, 9, red}, {15, 10, red}, {15, 11, white}}), "");
  EXPECT_EQ(probe.count_not(20, 0, 30, 20, white), 5);
  EXPECT_EQ(probe.mismatches({{25, 3, blue}, {25, 4, white}, {25, 11, blue}}), "");
}

TEST(CairoShapes, RoundRectAndPolygonFillWithTheBrushAndOutlineWithThePen) {
  pixel_probe_t probe(40, 20);
  probe.render([](orrin7::IPainter& p) {
    p.SetBrush(orrin7::brush(blue, 1));
    p.SetPen(pen(red, 0, 1));
    p.RoundRect(0, 0, 16, 16, 4, 4);
    const orrin7::point<double> triangle[] = {{20, 1}, {38, 1}, {20, 18}};
    p.Polygon(triangle, 3);
  });
  // The outline lies inside the rectangle, the brush fills within it, the corners are round.
  EXPECT_EQ(probe.mismatches({{8, 0, red}, {8, 15, red}, {8, 8, blue}, {0, 0, white}}), "");
  EXPECT_EQ(probe.mismatches({{8, 16, white}, {25, 1, red}, {23, 5, blue}, {36, 16, white}}), "");
}

TEST(CairoShapes, ClipsNestFollowTheOriginAndTheOutermostPaintPassEndsThem) {
  pixel_probe_t probe(20, 20);
  orrin7::IPainter& p = probe.painter();
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
  probe.render([](orrin7::IPainter& q) { fill(q, 17, 19, 18, 20, blue); });
  EXPECT_EQ(probe.count_not(0, 0, 20, 15, white), 5 * 10);
  EXPECT_EQ(probe.count_not(0, 15, 20, 16, white), 8);
  EXPECT_EQ(probe.mismatches({{5, 0, red}, {9, 9, red}, {4, 0, white}, {10, 0, white}}), "");
  EXPECT_EQ(probe.mismatches({{2, 15, blue}, {9, 15, blue}, {19, 19, blue}}), "");
}

TEST(CairoShapes, BitmapsAreDrawnAtTheirPositionAndBadOnesAreSkipped) {
  orrin7::bitmap image;
  image.width = image.height = 2;
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

TEST(CairoShapes, WithoutAContextNothingIsDrawnButTextIsStillMeasured) {
  orrin7::CCairoPainter painter(nullptr);
  painter.BeginPaint(0);
  painter.PushClip({0, 0, 5, 5});
  fill(painter, 0, 0, 5, 5);
  line(painter, pen(red, 0, 1), 0, 0, 4, 4);
  EXPECT_GT(painter.DrawString({0, 0, 50, 20}, L"text", 0x1, -1).width, 0.0);
  painter.PopClip();
  painter.EndPaint();
}

}  // namespace
