// The headless control and a grid viewer in it: painted, scrolled and invalidated pixels, surface
// size and scale, files, injected input, tips, the clipboard, the cells a grid repaints.
#include <gtest/gtest.h>

#include <cairo.h>

#include <fstream>
#include <functional>
#include <map>
#include <numeric>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "orrinfrw7/offscreen_control.h"
#include "orrinfrw7/viewer.h"
#include "support/output_path.h"
#include "support/signal_spy.h"

using namespace orrinfrw7;
using CGrid = CGridViewer<IContinuousItemViewModel, IContinuousItemViewModel>;
using cells_t = std::set<std::pair<int, int>>;

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

// The opaque colour of content pixel (x, y): 5 and 7 are odd, so no two pixels closer than 256
// in either direction share a colour.
std::uint32_t Pattern(int x, int y) {
  return 0xFF00005Au | std::uint32_t(std::uint8_t(x * 5)) << 16 |
         std::uint32_t(std::uint8_t(y * 7)) << 8;
}

// Paints content pixel (x + origin.x, y + origin.y) at each pixel (x, y) of what it is asked to
// update, as a scrolled view does, and records the areas it was asked for.
struct pattern_t : CVisualElement {
  explicit pattern_t(CVisualElement* parent) : CVisualElement(parent, {0, 0}, AL_Client) {}
  void DrawContent(orrin7::IPainter* painter) override {
    const orrin7::rectangle<int> r = GetUpdateRect();
    painted.push_back(r);
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const std::uint32_t c = Pattern(x + origin.x, y + origin.y);
        painter->SetBrush(
            orrin7::brush(orrin7::_color::rgb(c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF), 1));
        painter->FillRect(x, y, x + 1, y + 1);
      }
  }
  orrin7::point<int> origin{0, 0};
  std::vector<orrin7::rectangle<int>> painted;
};

// The headless control with its surface-scrolling hook open to the tests.
struct scrolling_control_t : COffscreenControl {
  using COffscreenControl::COffscreenControl;
  using COffscreenControl::ScrollSurface;
};

// Device pixel (x, y) of the surface as stored (premultiplied ARGB).
std::uint32_t& DevicePixel(cairo_surface_t* surface, int x, int y) {
  unsigned char* row =
      cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
  return reinterpret_cast<std::uint32_t*>(row)[x];
}

bool Encloses(const orrin7::rectangle<int>& outer, const orrin7::rectangle<int>& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::string ReadFile(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

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

// Sides are clamped to 1 … 32767 control pixels and the device surface to 32767 pixels a side;
// the scale to 1 … 8. A pixel reads back straight (not premultiplied) with its alpha.
TEST(offscreen_control, SurfacesFollowSizeAndScaleWithinTheirLimits) {
  COffscreenControl control(50, 50);
  const auto surface_size = [&] {
    return std::make_pair(cairo_image_surface_get_width(control.GetSurface()),
                          cairo_image_surface_get_height(control.GetSurface()));
  };
  control.SetSize(-5, 0);
  EXPECT_EQ(control.GetSize(), (orrin7::size<int>{1, 1}));
  control.SetSize(3, 40000);
  EXPECT_EQ(control.GetSize(), (orrin7::size<int>{3, 32767}));
  control.SetSize(40000, 3);
  EXPECT_EQ(control.GetSize(), (orrin7::size<int>{32767, 3}));
  for (const auto& [asked, scale] : {std::pair(9, 8), std::pair(0, 1), std::pair(3, 3)}) {
    control.SetScale(asked);
    EXPECT_EQ(control.GetScale(), scale);
  }
  EXPECT_EQ(surface_size(), std::make_pair(32767, 9));
  // 2 × 20000 device pixels do not fit: the surface stops at 32767.
  control.SetScale(2);
  control.SetSize(2, 20000);
  EXPECT_EQ(surface_size(), std::make_pair(4, 32767));
  // A pixel is read from its top-left device pixel, unpremultiplied with rounding.
  control.SetSize(2, 2);
  cairo_surface_t* surface = control.GetSurface();
  cairo_surface_flush(surface);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      DevicePixel(surface, x, y) = x == 2 && y == 2 ? 0x4D3C1E09u : 0xFF0000FFu;  // alpha 77
  cairo_surface_mark_dirty(surface);
  EXPECT_EQ(control.GetPixel(1, 1), orrin7::_color::rgb(199, 99, 30, 77, 0));
  EXPECT_EQ(control.GetPixel(0, 1), orrin7::_color::rgb(0, 0, 255, 255, 0));
  EXPECT_EQ(control.GetPixel(2, 0), orrin7::_color(0, 0));
}

// At scale 2, scrolled pixels move by twice the control pixels in either direction, inside the
// scrolled area only, and the strips uncovered are all that is painted again; an invalidated area
// alone is repainted.
TEST(offscreen_control, ScrollingMovesDevicePixelsAndRepaintsOnlyWhatItUncovers) {
  constexpr int kWidth = 40, kHeight = 30, kScale = 2;
  scrolling_control_t control(kWidth, kHeight);
  auto* view = new pattern_t(control.GetRoot());
  control.SetScale(kScale);
  control.Paint();
  // What each control pixel should show: moved along with the scroll, or painted afresh.
  std::vector<std::uint32_t> expected(kWidth * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) expected[y * kWidth + x] = Pattern(x, y);
  const auto check = [&](const std::string& step) {
    cairo_surface_t* surface = control.GetSurface();
    cairo_surface_flush(surface);
    ASSERT_EQ(cairo_image_surface_get_width(surface) * cairo_image_surface_get_height(surface),
              kWidth * kHeight * kScale * kScale);
    int wrong = 0;
    for (int y = 0; y < kHeight * kScale; ++y)
      for (int x = 0; x < kWidth * kScale; ++x)
        wrong += DevicePixel(surface, x, y) != expected[y / kScale * kWidth + x / kScale];
    EXPECT_EQ(wrong, 0) << step;
  };
  check("first paint");
  const struct {
    orrin7::rectangle<int> area;
    int dx, dy;
  } steps[] = {{{0, 0, 40, 30}, 0, -3}, {{0, 0, 40, 30}, 0, 4},  {{0, 0, 40, 30}, -5, 0},
               {{0, 0, 40, 30}, 6, 0},  {{4, 5, 30, 25}, 3, -2}, {{4, 5, 30, 25}, -2, 3}};
  for (const auto& s : steps) {
    const std::string step = std::to_string(s.dx) + "," + std::to_string(s.dy);
    const std::vector<std::uint32_t> before = expected;
    view->origin = {view->origin.x - s.dx, view->origin.y - s.dy};
    for (int y = s.area.top; y < s.area.bottom; ++y)
      for (int x = s.area.left; x < s.area.right; ++x)
        expected[y * kWidth + x] = s.area.contains(x - s.dx, y - s.dy)
                                       ? before[(y - s.dy) * kWidth + x - s.dx]
                                       : Pattern(x + view->origin.x, y + view->origin.y);
    view->painted.clear();
    control.ScrollArea(s.area, s.dx, s.dy);
    control.Paint();
    check(step);
    // Each area painted lies in the strip the vertical or the horizontal move uncovered.
    const orrin7::rectangle<int>& a = s.area;
    const orrin7::rectangle<int> rows =
        s.dy > 0 ? orrin7::rectangle<int>(a.left, a.top, a.right, a.top + s.dy)
                 : orrin7::rectangle<int>(a.left, a.bottom + s.dy, a.right, a.bottom);
    const orrin7::rectangle<int> columns =
        s.dx > 0 ? orrin7::rectangle<int>(a.left, a.top, a.left + s.dx, a.bottom)
                 : orrin7::rectangle<int>(a.right + s.dx, a.top, a.right, a.bottom);
    ASSERT_FALSE(view->painted.empty()) << step;
    for (const auto& p : view->painted)
      EXPECT_TRUE(Encloses(rows, p) || Encloses(columns, p))
          << step << " painted " << p.left << "," << p.top << "," << p.right << "," << p.bottom;
  }
  // Nothing left to move, or beyond the surface: the hook refuses and leaves the pixels alone.
  EXPECT_FALSE(control.ScrollSurface({0, 0, 40, 30}, 40, 0));
  EXPECT_FALSE(control.ScrollSurface({0, 0, 40, 30}, 0, -30));
  EXPECT_FALSE(control.ScrollSurface({0, 0, 41, 30}, 1, 0));
  EXPECT_FALSE(control.ScrollSurface({0, 0, 40, 31}, 0, -1));
  EXPECT_FALSE(control.ScrollSurface({-1, 0, 40, 30}, 1, 0));
  view->painted.clear();
  control.Paint();
  EXPECT_TRUE(view->painted.empty());
  check("refused");
  view->origin = {0, 0};
  control.Invalidate({5, 6, 12, 9});
  control.Paint();
  EXPECT_EQ(view->painted, (std::vector<orrin7::rectangle<int>>{{5, 6, 12, 9}}));
  for (int y = 6; y < 9; ++y)
    for (int x = 5; x < 12; ++x) expected[y * kWidth + x] = Pattern(x, y);
  check("invalidated");
}

// Files have the device pixels (PNG) or the control's size in points (PDF, SVG), painted first;
// the tree is drawn into the vector pages too.
TEST(offscreen_control, FilesHoldThePaintedTreeAtTheirSizeAndOrientation) {
  COffscreenControl control(50, 50);
  auto* strip = new CVisualElement(control.GetRoot(), {10, 0}, AL_Right);
  strip->SetBkColor(kBlue);
  control.SetScale(2);
  control.SetSize(200, 100);
  strip->SetBkColor(kRed);  // pending until the file is written
  const std::string png = sv4_test::output_path("offscreen_test_image.png");
  std::string error;
  ASSERT_TRUE(control.SavePng(png, &error)) << error;
  orrin7::bitmap image;
  ASSERT_TRUE(orrin7::LoadImageFile(png, image, error)) << error;
  EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(400, 200));
  const std::uint32_t red = 0xFF000000u | 220u << 16 | 20u << 8 | 20u;
  EXPECT_EQ(image.pixels[199 * 400 + 380], red);
  EXPECT_EQ(image.pixels[0 * 400 + 399], red);
  EXPECT_NE(image.pixels[199 * 400 + 379], red);

  const std::string pdf = sv4_test::output_path("offscreen_test_image.pdf");
  const std::string svg = sv4_test::output_path("offscreen_test_image.svg");
  ASSERT_TRUE(control.SavePdf(pdf, &error)) << error;
  ASSERT_TRUE(control.SaveSvg(svg, &error)) << error;
  const std::string pdf_text = ReadFile(pdf), svg_text = ReadFile(svg);
  EXPECT_EQ(pdf_text.rfind("%PDF-", 0), 0u);
  EXPECT_TRUE(std::regex_search(pdf_text, std::regex(R"(/MediaBox \[ ?0 0 200 100 ?\])")));
  std::smatch size;
  ASSERT_TRUE(std::regex_search(
      svg_text, size,
      std::regex(R"re(<svg[^>]* width="(\w+)" height="(\w+)" viewBox="([^"]+)")re")));
  EXPECT_EQ(
      std::make_tuple(size[1].str(), size[2].str(), size[3].str()),
      std::make_tuple(std::string("200pt"), std::string("100pt"), std::string("0 0 200 100")));
  EXPECT_NE(svg_text.find("rgb(86.27451%,7.843137%,7.843137%)"), std::string::npos);

  // A file that cannot be made or written: false, with the reason.
  for (const auto& save :
       {&COffscreenControl::SavePng, &COffscreenControl::SavePdf, &COffscreenControl::SaveSvg})
    for (const char* path : {"/nonexistent-dir/x", "/dev/full"}) {
      std::string reason;
      EXPECT_FALSE((control.*save)(path, &reason)) << path;
      EXPECT_FALSE(reason.empty()) << path;
    }
}

// Logs the events it receives (element pixels, wheel notches across and down); the press and the
// key press go unhandled, the release, the wheel and the key release are handled. Answers every
// tip request: the tip "tip" for its top-left 10 × 10 pixels left of x 30, no text further right.
struct input_t : CVisualElement {
  using CVisualElement::CVisualElement;
  void Log(const char* what, int x = 0, int y = 0) {
    log += std::string(what) + " " + std::to_string(x) + "," + std::to_string(y) + "; ";
  }
  bool HandleMouseDown(const CMouseEvent& e) override { return Log("down", e.x, e.y), false; }
  bool HandleMouseUp(const CMouseEvent& e) override { return Log("up", e.x, e.y), true; }
  bool HandleMouseWheel(const CWheelEvent& e) override { return Log("wheel", e.dx, e.dy), true; }
  bool HandleMouseDoubleClick(const CMouseEvent& e) override {
    return Log("double", e.x, e.y), true;
  }
  bool HandleKeyDown(const CKeyEvent& e) override { return Log("key", e.key), false; }
  bool HandleKeyUp(const CKeyEvent& e) override { return Log("key up", e.key), true; }
  void HandleControlChangeFocus(bool focused) override { Log("focus", focused); }
  bool HandleOnTooltip(CTooltipEvent& event) override {
    event.text = event.x < 30 ? L"tip" : L"";
    event.rect = {0, 0, 10, 10};
    return true;
  }
  std::string log;
};

// A click or a key is handled when either half is; each injected event reaches the element once.
// Tips show after the delay in control pixels and go with a press, a release, a click, the wheel, a
// key, a leave and (not otherwise) a move out of their area, and these call off a delay running;
// any move, even a pointer's return to where it left, starts the delay again. No text, no tip.
TEST(offscreen_control, InjectedInputAndTipsBehaveAsThePlatformsDo) {
  COffscreenControl control(100, 50);
  auto* element = new input_t(control.GetRoot(), {40, 30}, AL_None);
  element->SetPos({20, 10, 60, 40});
  element->SetTabStop(true);
  EXPECT_TRUE(control.Click(25, 15));
  EXPECT_TRUE(control.Key(KEY_A));
  EXPECT_TRUE(control.KeyUp(KEY_Down));
  EXPECT_TRUE(control.DoubleClick(21, 11));
  EXPECT_TRUE(control.Wheel(22, 12, 3, 0, -2));
  control.SetInputFocus(false);
  control.SetInputFocus(true);
  EXPECT_EQ(element->log,
            "down 5,5; up 5,5; key 65,0; key up 65,0; key up 40,0; down 1,1; up 1,1; down 1,1; "
            "double 1,1; up 1,1; wheel -2,3; focus 0,0; focus 1,0; ");
  // The area of the tip in view (empty when none is).
  const auto tip = [&] {
    const CShownTooltip* shown = control.GetShownTooltip();
    return shown && shown->text == L"tip" ? shown->area : orrin7::rectangle<int>();
  };
  const orrin7::rectangle<int> area(20, 10, 30, 20), none;
  control.MouseMove(25, 15);
  control.AdvanceTime(COffscreenControl::kTooltipDelayMs);
  EXPECT_EQ(tip(), area);
  control.MouseMove(29, 19);  // inside the tip's area: it stays
  EXPECT_EQ(tip(), area);
  for (const auto& take_away : std::vector<std::function<void()>>{
           [&] { control.MouseDown(29, 19); }, [&] { control.MouseUp(29, 19); },
           [&] { control.Click(29, 19); }, [&] { control.DoubleClick(29, 19); },
           [&] { control.Wheel(29, 19, 1); }, [&] { control.KeyDown(KEY_A); },
           [&] { control.Key(KEY_A); }}) {
    ASSERT_TRUE(control.HoverElapsed());
    take_away();
    EXPECT_EQ(tip(), none);
  }
  control.MouseMove(28, 18);
  control.KeyDown(KEY_A);
  control.AdvanceTime(COffscreenControl::kTooltipDelayMs);
  EXPECT_EQ(tip(), none);
  control.AdvanceTime(-1000);  // the clock never goes back
  EXPECT_EQ(control.GetTimeMs(), 2 * COffscreenControl::kTooltipDelayMs);
  control.MouseLeave();
  EXPECT_FALSE(control.HoverElapsed());
  control.MouseMove(55, 35);
  EXPECT_FALSE(control.HoverElapsed());
  control.MouseMove(29, 19);
  control.AdvanceTime(COffscreenControl::kTooltipDelayMs - 100);
  control.MouseMove(29, 18);
  control.AdvanceTime(COffscreenControl::kTooltipDelayMs - 100);
  EXPECT_EQ(tip(), none);
  control.AdvanceTime(100);
  EXPECT_EQ(tip(), area);
  // The record keeps the recent tips only: at 256 the older half goes.
  const std::size_t shown = control.GetTooltipRecord().size();
  for (std::size_t i = shown; i < 300; ++i) control.HoverElapsed();  // 300 tips in all
  EXPECT_EQ(control.GetTooltipRecord().size(), 300u - 128u);
}

// While it lives the control's own clipboard is the system's; the one before comes back after.
TEST(offscreen_control, ClipboardIsItsOwnWhileItLives) {
  struct copier_t : CVisualElement {
    using CVisualElement::CVisualElement;
    bool IsCopyToClipboardEnabled() const override { return true; }
    std::wstring HandleAsString() const override { return L"a\tb\r\n"; }
  };
  struct clipboard_t : orrin7::IClipboardService {
    void SetText(const std::wstring& text) override { this->text = text; }
    std::wstring GetText() const override { return text; }
    std::wstring text;
  } before;
  orrin7::GetCurrentSystem()->SetClipboardService(&before);
  {
    COffscreenControl control(10, 10);
    (new copier_t(control.GetRoot(), {0, 0}, AL_Client))->SetTabStop(true);
    control.Click(5, 5);
    EXPECT_TRUE(control.CopyFocusedToClipboard());
    EXPECT_EQ(control.GetClipboardText(), L"a\tb\r\n");
    EXPECT_EQ(before.text, L"");
  }
  EXPECT_EQ(orrin7::GetCurrentSystem()->GetClipboardService(), &before);
  orrin7::GetCurrentSystem()->SetClipboardService(nullptr);
}

// ---- a grid viewer ----

orrin7::_color CellColour(int row, int column) {
  return orrin7::_color::rgb(std::uint8_t(row * 37), std::uint8_t(row * 91),
                             std::uint8_t(100 + column * 29));
}

// 1000 rows of 20 pixels, 3 columns of 80; paints every changed cell in a colour of its own and
// records it.
struct recording_grid_t : CGrid {
  explicit recording_grid_t(CVisualElement* parent) : CGrid(parent, {0, 0}, AL_Client) {
    SetRowHeightUpdating(false);
    Rows().SetDefaultItemSize(20);
    Rows().SetCount(1000);
    Columns().SetDefaultItemSize(80);
    Columns().SetCount(3);
  }
  CSimpleDiscreteItemViewModel& Rows() {
    return static_cast<CSimpleDiscreteItemViewModel&>(*GetRowViewModel());
  }
  CSimpleDiscreteItemViewModel& Columns() {
    return static_cast<CSimpleDiscreteItemViewModel&>(*GetColumnViewModel());
  }
  void DrawCell(orrin7::IPainter* painter, int row, int rowOffset, int column, int columnOffset,
                int state, const orrin7::rectangle<double>& rect, int type) override {
    calls.emplace_back(row, rowOffset, columnOffset, rect);
    states[row] = state;
    if (type != UT_Changed) return;
    changed.emplace(row, column);
    painter->SetBrush(orrin7::brush(CellColour(row, column), 1));
    painter->FillRect(rect.left, rect.top, rect.right, rect.bottom);
  }

  cells_t changed;  // cells drawn with UT_Changed as (row, column)
  std::vector<std::tuple<int, int, int, orrin7::rectangle<double>>> calls;  // row, dy, dx, rect
  std::map<int, int> states;
};

cells_t Cells(int first_row, int last_row, int first_column = 0, int last_column = 2) {
  cells_t out;
  for (int r = first_row; r <= last_row; ++r)
    for (int c = first_column; c <= last_column; ++c) out.emplace(r, c);
  return out;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> out(std::size_t(last - first + 1));
  std::iota(out.begin(), out.end(), first);
  return out;
}

struct grid_view_test : ::testing::Test {
  grid_view_test() : grid(new recording_grid_t(control.GetRoot())) { control.Paint(); }
  std::vector<int> Selected() const {
    std::vector<int> out;
    const ISelectionModel& s = *grid->GetRowSelectionModel();
    for (long long i = 0; i < s.GetSelectedCount(); ++i) out.push_back(s.GetSelectedItem(i));
    return out;
  }
  int Current() const { return grid->GetRowSelectionModel()->GetCurrent(); }
  // Runs `change`, repaints, and answers the cells painted anew.
  cells_t PaintAfter(const std::function<void()>& change) {
    grid->changed.clear();
    grid->calls.clear();
    change();
    control.Paint();
    return grid->changed;
  }
  std::size_t Unchanged() const { return grid->calls.size() - grid->changed.size(); }
  // Scrolls and repaints; afterwards every sampled pixel must show the row the view start puts
  // there.
  cells_t ScrollTo(int view_start) {
    const cells_t changed = PaintAfter([&] { grid->Rows().SetViewStart(view_start); });
    for (int y = 0; y < 200; y += 5)
      EXPECT_EQ(control.GetPixel(50, y), CellColour((y + view_start) / 20, 0))
          << view_start << " " << y;
    return changed;
  }

  COffscreenControl control{300, 200};  // ten rows of 20 pixels, columns end at 240
  recording_grid_t* grid;
};

TEST_F(grid_view_test, PaintsOnlyUncoveredRowsAndScrolledPixelsLandRight) {
  EXPECT_EQ(grid->changed, Cells(0, 9));
  EXPECT_EQ(ScrollTo(0), cells_t());
  EXPECT_EQ(control.GetPixel(240, 0).value, grid->GetBkColor().value);  // beside the columns
  EXPECT_EQ(control.GetPixel(299, 199).value, grid->GetBkColor().value);
  EXPECT_EQ(ScrollTo(20), Cells(10, 10));
  EXPECT_EQ(Unchanged(), 0u);     // rows that only moved are not visited at all
  grid->Rows().SetViewStart(75);  // twice before one paint: the first uncovered strip moves too
  EXPECT_EQ(ScrollTo(85), Cells(11, 14));
  EXPECT_EQ(ScrollTo(65), Cells(3, 4));  // back by 20: rows 3 and 4 uncovered at the top
  // Row 3 is cut: drawn from its visible part, with its 5 hidden pixels as the row offset.
  ASSERT_FALSE(grid->calls.empty());
  EXPECT_EQ(grid->calls[0], std::make_tuple(3, 5, 0, orrin7::rectangle<double>(0, 0, 80, 15)));
  // Sideways: the pixels move left and only the uncovered columns are painted.
  PaintAfter([&] { grid->Columns().SetCount(10); });
  EXPECT_EQ(PaintAfter([&] { grid->Columns().SetViewStart(30); }), Cells(3, 13, 3, 4));
  for (int x = 0; x < 300; x += 5)
    EXPECT_EQ(control.GetPixel(x, 75), CellColour(7, (x + 30) / 80)) << x;
}

TEST_F(grid_view_test, ChangedRowsAloneAreRepaintedAndInvalidationRepaintsAll) {
  EXPECT_EQ(PaintAfter([&] {
              grid->GetRowSelectionModel()->SelectItem(3, true);
              grid->GetRowSelectionModel()->SelectItem(500, true);  // out of view: no work
            }),
            Cells(3, 3));
  EXPECT_EQ(grid->states[3] & CS_Selected, CS_Selected);
  EXPECT_EQ(grid->states[4] & CS_Selected, 0);
  EXPECT_EQ(PaintAfter([&] { grid->GetColumnViewModel()->UpdateItems(1, 1); }), Cells(0, 9, 1, 1));
  EXPECT_EQ(PaintAfter([] {}), cells_t());
  EXPECT_EQ(Unchanged(), 0u);
  EXPECT_EQ(PaintAfter([&] { grid->Update(UK_Redraw); }), Cells(0, 9));
}

// Clicks with modifiers and drags inside the rows are walked through in the widget tests; here a
// click beside the columns and a drag released below the control.
TEST_F(grid_view_test, ClicksBesideTheColumnsSelectAndDraggingExtendsPastTheEdge) {
  control.Click(260, 45);
  EXPECT_EQ(Selected(), Range(2, 2));
  control.MouseDown(10, 45);
  control.MouseMove(10, 125);
  EXPECT_EQ(Selected(), Range(2, 6));
  // Below the control: rows further by how far beyond the edge (one, and one per 24 pixels),
  // scrolled in.
  control.MouseMove(10, 260);
  control.MouseUp(10, 260);
  EXPECT_EQ(Selected(), Range(2, 12));
  EXPECT_EQ(grid->Rows().GetViewStart(), 60);
  control.MouseMove(10, 5);  // released: no more dragging
  EXPECT_EQ(Current(), 12);
}

TEST_F(grid_view_test, CellSignalsCarryCellRelativePositions) {
  CCellEventHandler<IContinuousItemViewModel, IContinuousItemViewModel> cells;
  cells.SetViewModel(grid->GetRowViewModel());
  cells.SetColumnViewModel(grid->GetColumnViewModel());
  grid->AddEventHandler(&cells);
  auto moves = sv4_test::spy_on(cells.CellMouseMove);
  auto leaves = sv4_test::spy_on(cells.CellMouseLeave);
  auto clicks = sv4_test::spy_on(cells.CellMouseClick);
  auto doubles = sv4_test::spy_on(cells.CellMouseDblClick);
  auto downs = sv4_test::spy_on(cells.CellMouseDown);
  control.MouseMove(100, 25, MK_Ctrl);
  control.MouseMove(170, 25);
  control.Click(170, 30, orrin7::MB_Right);
  control.MouseDown(20, 30);
  control.MouseUp(90, 30);  // released over another cell: no click
  control.DoubleClick(20, 30);
  control.MouseMove(260, 30);  // beside the columns: no cell
  using event_t = std::tuple<int, int, int, int, int, orrin7::MouseButton>;
  const event_t right_click{1, 2, 10, 10, 0, orrin7::MB_Right},
      left{1, 0, 20, 10, 0, orrin7::MB_Left};
  EXPECT_EQ(moves.records(), (std::vector<event_t>{{1, 1, 20, 5, MK_Ctrl, orrin7::MB_None},
                                                   {1, 2, 10, 5, 0, orrin7::MB_None}}));
  EXPECT_EQ(downs.records(), (std::vector<event_t>{right_click, left, left, left}));
  EXPECT_EQ(clicks.records(), (std::vector<event_t>{right_click, left}));
  EXPECT_EQ(doubles.records(), (std::vector<event_t>{left}));
  EXPECT_EQ(leaves.records(),
            (std::vector<std::tuple<int, int>>{{1, 1}, {1, 2}, {1, 0}, {1, 1}, {1, 0}}));
  EXPECT_EQ(Selected(), (std::vector<int>{1}));  // the row handler still saw the clicks
}

}  // namespace
