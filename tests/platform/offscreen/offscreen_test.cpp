// The headless control itself: pixels of painted elements, containment of a failing painter,
// image files, and the in-memory clipboard.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "orrinfrw7/offscreen_control.h"
#include "support/output_path.h"

using namespace orrinfrw7;

namespace {

const orrin7::_color kRed = orrin7::_color::rgb(220, 20, 20);
const orrin7::_color kBlue = orrin7::_color::rgb(20, 20, 220);

// Fills itself, pushes a clip that it never pops, and throws while `broken` is set.
struct faulty_t : CVisualElement {
  using CVisualElement::CVisualElement;
  bool broken = true;
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

TEST(offscreen_control, ResizingRelaysTheTreeOutAndImagesHoldItsPixels) {
  COffscreenControl control(50, 50);
  (new CVisualElement(control.GetRoot(), {10, 0}, AL_Right))->SetBkColor(kRed);
  control.SetSize(200, 100);
  const std::string png = sv4_test::output_path("offscreen_test_image.png");
  std::string error;
  ASSERT_TRUE(control.SavePng(png, &error)) << error;  // paints first
  EXPECT_EQ(control.GetPixel(195, 99), kRed);
  EXPECT_NE(control.GetPixel(189, 99), kRed);
  orrin7::bitmap image;
  ASSERT_TRUE(orrin7::LoadImageFile(png, image, error)) << error;
  EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(200, 100));
  EXPECT_EQ(image.pixels[99 * 200 + 195], 0xFF000000u | 220u << 16 | 20u << 8 | 20u);
  EXPECT_TRUE(control.SavePdf(sv4_test::output_path("offscreen_test_image.pdf")));
  EXPECT_TRUE(control.SaveSvg(sv4_test::output_path("offscreen_test_image.svg")));
  std::string missing, unwritable;
  EXPECT_FALSE(orrin7::LoadImageFile(png + ".missing", image, missing));
  EXPECT_FALSE(control.SavePng("/nonexistent-dir/x.png", &unwritable));
  EXPECT_FALSE(control.SavePdf("/nonexistent-dir/x.pdf"));
  EXPECT_FALSE(missing.empty() || unwritable.empty());
  control.SetSize(-5, 0);  // nonsense sizes give the smallest surface
  EXPECT_EQ(control.GetSize(), (orrin7::size<int>{1, 1}));
}

TEST(offscreen_control, ClipboardIsItsOwnWhileItLives) {
  struct copier_t : CVisualElement {
    using CVisualElement::CVisualElement;
    bool IsCopyToClipboardEnabled() const override { return true; }
    std::wstring HandleAsString() const override { return L"a\tb\r\n"; }
  };
  orrin7::GetCurrentSystem()->SetClipboardService(nullptr);  // the system's own in-memory one
  orrin7::IClipboardService* before = orrin7::GetCurrentSystem()->GetClipboardService();
  {
    COffscreenControl control(10, 10);
    (new copier_t(control.GetRoot(), {0, 0}, AL_Client))->SetTabStop(true);
    control.Click(5, 5);
    EXPECT_TRUE(control.CopyFocusedToClipboard());
    EXPECT_EQ(control.GetClipboardText(), L"a\tb\r\n");
  }
  EXPECT_EQ(orrin7::GetCurrentSystem()->GetClipboardService(), before);
}

}  // namespace
