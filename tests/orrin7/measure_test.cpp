// Measuring without drawing: GetTextSize answers what drawing lays out, for plain, accented,
// combining, wide and right-to-left text, kerned pairs and ligatures, in several faces and sizes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "orrin7/painter.h"
#include "support/pixel_probe.h"

namespace {

using namespace orrin7;
using sv4_test::pixel_probe_t;

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
