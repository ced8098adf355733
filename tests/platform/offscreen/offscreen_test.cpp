// The headless control itself: pixels of painted elements, containment of a failing painter,
// image files, and the in-memory clipboard.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "orrinfrw7/offscreen_control.h"
#include "support/output_path.h"

using namespace orrinfrw7;

namespace {

const orrin7::_color kRed = orrin7::_color::rgb(220, 20, 20);
const orrin7::_color kBlue = orrin7::_color::rgb(20, 20, 220);

std::string TempPath(const std::string& name) {
  return sv4_test::output_path("offscreen_test_" + name);
}

// Fills itself, pushes a clip that it never pops, and throws while `broken` is set.
class faulty_t : public CVisualElement {
 public:
  using CVisualElement::CVisualElement;
  bool broken = true;

 protected:
  void DrawContent(orrin7::IPainter* painter) override {
    CVisualElement::DrawContent(painter);
    if (!broken) return;
    painter->PushClip({0, 0, 1, 1});
    throw std::runtime_error("paint failed");
  }
};

TEST(offscreen_control, ElementsPaintTheirAreaAndAFailingOneTakesNothingDown) {
  COffscreenControl control(120, 80);
  auto* left = new faulty_t(control.GetRoot(), {40, 0}, AL_Left);
  auto* right = new CVisualElement(control.GetRoot(), {0, 0}, AL_Client);
  auto* inner = new CVisualElement(right, {20, 20}, AL_None);
  left->SetBkColor(kRed);
  right->SetBkColor(kBlue);
  inner->SetBkColor(kRed);
  inner->SetPos({10, 10, 30, 30});
  control.Paint();
  EXPECT_EQ(control.GetFailureCount(), 1);
  EXPECT_EQ(control.GetLastFailure(), "paint: paint failed");
  EXPECT_EQ(control.GetPixel(5, 70), kRed);     // drawn before it threw
  EXPECT_EQ(control.GetPixel(100, 70), kBlue);  // painted after it, not clipped away
  EXPECT_EQ(control.GetPixel(55, 15), kRed);    // the child, in its parent's pixels
  EXPECT_EQ(control.GetPixel(-1, 0), orrin7::_color(0, 0));

  left->broken = false;
  left->SetBkColor(kBlue);
  control.Paint();
  EXPECT_EQ(control.GetFailureCount(), 1);
  EXPECT_EQ(control.GetPixel(5, 70), kBlue);
}

TEST(offscreen_control, ResizingRelaysTheTreeOutOnANewSurface) {
  COffscreenControl control(50, 50);
  auto* right = new CVisualElement(control.GetRoot(), {10, 0}, AL_Right);
  right->SetBkColor(kRed);
  control.SetSize(200, 100);
  control.Paint();
  EXPECT_EQ(right->GetBounds(), orrin7::rectangle<int>(190, 0, 200, 100));
  EXPECT_EQ(control.GetPixel(195, 99), kRed);
  control.SetSize(-5, 0);  // nonsense sizes give the smallest surface
  EXPECT_EQ(control.GetSize(), (orrin7::size<int>{1, 1}));
}

TEST(offscreen_control, WritesImagesAndReportsPathsItCannotWrite) {
  COffscreenControl control(64, 32);
  (new CVisualElement(control.GetRoot(), {0, 0}, AL_Client))->SetBkColor(kBlue);
  const std::string png = TempPath("image.png");
  ASSERT_TRUE(control.SavePng(png));
  cairo_surface_t* read = cairo_image_surface_create_from_png(png.c_str());
  ASSERT_EQ(cairo_surface_status(read), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(read), 64);
  EXPECT_EQ(cairo_image_surface_get_height(read), 32);
  cairo_surface_destroy(read);
  EXPECT_TRUE(control.SavePdf(TempPath("image.pdf")));
  EXPECT_TRUE(control.SaveSvg(TempPath("image.svg")));
  std::string error;
  EXPECT_FALSE(control.SavePng("/nonexistent-dir/x.png", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(control.SavePdf("/nonexistent-dir/x.pdf", &error));
}

TEST(offscreen_control, ClipboardIsItsOwnWhileItLives) {
  struct copier_t : CVisualElement {
    using CVisualElement::CVisualElement;
    bool IsCopyToClipboardEnabled() const override { return true; }
    std::wstring HandleAsString() const override { return L"a\tb\r\n"; }
  };
  orrin7::IClipboardService* before = orrin7::GetCurrentSystem()->GetClipboardService();
  {
    COffscreenControl control(10, 10);
    auto* copier = new copier_t(control.GetRoot(), {0, 0}, AL_Client);
    copier->SetTabStop(true);
    control.Click(5, 5);
    EXPECT_TRUE(control.CopyFocusedToClipboard());
    EXPECT_EQ(control.GetClipboardText(), L"a\tb\r\n");
  }
  EXPECT_EQ(orrin7::GetCurrentSystem()->GetClipboardService(), before);
}

}  // namespace
