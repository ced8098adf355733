// Text drawn from kept glyphs against Pango's renderer: the painter replayed from a recording must
// give the same pixels as drawing straight into an image, for many texts, fonts and places.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "orrin7/cairo_painter.h"

namespace {

using namespace orrin7;

constexpr int width = 360, height = 40;

struct case_t {
  std::wstring text;
  font face;
  rectangle<double> rect;
  int align;
};

// What a painter call leaves on a white image, drawn either straight or through a recording.
std::vector<std::uint32_t> draw(const case_t& c, bool through_recording, bool* glyph_font_left) {
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_rectangle_t extents{0, 0, width, height};
  cairo_surface_t* target =
      through_recording ? cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents)
                        : cairo_surface_reference(image);
  cairo_t* cr = cairo_create(target);
  {
    // No paint pass: its end would restore the context's font, which tells the paths apart.
    CCairoPainter painter(cr);
    painter.SetFont(c.face);
    painter.SetTextColor(_color::rgb(0x20, 0x30, 0x40));
    painter.DrawStringNative(c.rect, c.text, c.align);
    cairo_surface_flush(target);
  }
  // The context keeps the font the glyphs were drawn in; Pango's renderer restores it.
  if (glyph_font_left)
    *glyph_font_left = cairo_font_face_get_type(cairo_get_font_face(cr)) != CAIRO_FONT_TYPE_TOY;
  cairo_destroy(cr);
  if (through_recording) {
    cairo_t* out = cairo_create(image);
    cairo_set_source_surface(out, target, 0, 0);
    cairo_paint(out);
    cairo_destroy(out);
  }
  cairo_surface_flush(image);
  std::vector<std::uint32_t> pixels(std::size_t(width * height));
  const unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int y = 0; y < height; ++y)
    std::memcpy(&pixels[std::size_t(y * width)], data + y * stride, std::size_t(width) * 4);
  cairo_surface_destroy(target);
  cairo_surface_destroy(image);
  return pixels;
}

// The leftmost and rightmost inked columns, for a readable failure.
std::string ink_span(const std::vector<std::uint32_t>& pixels) {
  int first = width, last = -1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (pixels[std::size_t(y * width + x)] != 0)
        first = std::min(first, x), last = std::max(last, x);
  return "[" + std::to_string(first) + ", " + std::to_string(last) + "]";
}

// Draws `c` both ways and compares every pixel; answers whether the straight drawing used the
// kept glyphs.
bool expect_same(const case_t& c) {
  bool glyph_path = false;
  const auto straight = draw(c, /*through_recording=*/false, &glyph_path);
  const auto pango = draw(c, /*through_recording=*/true, nullptr);
  EXPECT_EQ(straight, pango) << "text \"" << std::string(c.text.begin(), c.text.end())
                             << "\" align " << c.align << " ink " << ink_span(straight) << " vs "
                             << ink_span(pango);
  return glyph_path;
}

std::wstring random_text(std::mt19937& random, const std::wstring& alphabet, std::size_t length) {
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::wstring text(length, L' ');
  for (wchar_t& c : text) c = alphabet[pick(random)];
  return text;
}

const font faces[] = {font(2, 10, 0, L"DejaVu Sans Mono"), font(1, 9, 0, L"DejaVu Sans"),
                      font(3, 12, FS_Bold | FS_Italic, L"DejaVu Serif"), font(0, 0, 0),
                      font(1, 11, FS_Bold, L"DejaVu Sans")};

const int aligns[] = {TA_Left | TA_VCenter | TA_SingleLine,
                      TA_Left | TA_VCenter | TA_SingleLine | TA_EndEllipsis,
                      TA_Right | TA_Bottom | TA_SingleLine, TA_HCenter | TA_Top | TA_SingleLine,
                      TA_HCenter | TA_VCenter | TA_SingleLine | TA_EndEllipsis};

// Source-like and Latin text, kerning and ligature candidates, on whole and fractional positions,
// in cells wide enough and too narrow (ellipsis and clipping): the kept glyphs are drawn, and
// exactly where Pango draws them.
TEST(GlyphPath, PlainTextMatchesPangoPixelForPixel) {
  std::mt19937 random(5);
  const std::wstring alphabet =
      L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 _(){}[];=+-*/<>!&|.,:'\"%#"
      L"AVTofiflffWaYo";
  const std::wstring accents = L"àéîõüçñßøåÆŒ€«»–—…ąćęłńśźżΩαβγδЖжЯя";
  std::uniform_int_distribution<int> length(0, 70);
  std::uniform_real_distribution<double> offset(0.0, 1.0), cell(20.0, 340.0);
  int glyph_paths = 0, cases = 0;
  for (const font& face : faces) {
    for (const int align : aligns) {
      for (int i = 0; i < 6; ++i) {
        const std::wstring& letters = i % 3 == 2 ? accents : alphabet;
        const double left = 2 + (i % 2 ? offset(random) : 0.0), top = 3 + offset(random);
        const case_t c{random_text(random, letters, std::size_t(length(random))), face,
                       rectangle<double>(left, top, left + cell(random), top + 22), align};
        glyph_paths += expect_same(c) ? 1 : 0;
        ++cases;
      }
    }
  }
  // Clipped cases restore the context's font, so only some show the path they took; still, the
  // glyph path must have been taken where it shows.
  EXPECT_GT(glyph_paths, cases / 4);
}

// Text that needs more than one face, other directions, marks, controls or characters no face has,
// and fonts with line styles: whichever way each is drawn, it looks as Pango draws it.
TEST(GlyphPath, MixedScriptsMarksAndLineStylesMatchPango) {
  const std::wstring texts[] = {L"mixed 中文字 and עברית text",
                                L"مرحبا بالعالم 123",
                                L"e\u0301 combining a\u0308\u0323",
                                L"tab\there\u200bzero\u00adwidth",
                                L"emoji \U0001F600 \U0001F44D end",
                                L"private \uE000 unassigned \U000E0001 x",
                                L"ligatures fi ffl fj Th",
                                L"AVAVAV To Ty Wa",
                                L"",
                                L"\x0001\x001F controls"};
  for (const std::wstring& text : texts) {
    for (const font& face : {font(1, 10, 0, L"DejaVu Sans"), font(2, 10, FS_Underline),
                             font(1, 9, FS_StrikeOut | FS_Bold)}) {
      for (const int align : aligns) expect_same({text, face, {1.5, 2.25, 300.75, 30}, align});
    }
  }
}

}  // namespace
