// The Pango side of the drawing library: UTF-32 to UTF-8 conversion at the Pango boundary, font
// descriptions and shaped layouts, both cached, and measuring text on one line without a layout.
#pragma once

#include <pango/pangocairo.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "orrin7/types.h"

namespace orrin7 {
namespace text {

// Fonts whose size is not set (below 1 point) take this size: 9 points, 12 pixels at 96 dpi, the
// size desktop user-interface text usually has.
constexpr int default_point_size = 9;
// Sizes are clamped to this many points, so that a wild size cannot make the font machinery
// allocate huge glyph caches.
constexpr int largest_point_size = 1000;
// Text is laid out for a screen of this resolution, whatever the surface.
constexpr double screen_dpi = 96.0;

// Appends `length` characters of UTF-32 `text` as UTF-8. Code points that are not Unicode scalar
// values (surrogates, values past U+10FFFF) and U+0000 become U+FFFD, so Pango always gets valid
// text.
void AppendUtf8(std::string& out, const wchar_t* text, std::size_t length);
std::string ToUtf8(const std::wstring& text);

struct gobject_deleter_t {
  void operator()(gpointer object) const { g_object_unref(object); }
};
struct description_deleter_t {
  void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
struct attributes_deleter_t {
  void operator()(PangoAttrList* a) const { pango_attr_list_unref(a); }
};
using context_ptr_t = std::unique_ptr<PangoContext, gobject_deleter_t>;
using layout_ptr_t = std::unique_ptr<PangoLayout, gobject_deleter_t>;

// A font resolved for Pango. Underline and strike-through are layout attributes, not part of
// the description.
struct face_t {
  std::unique_ptr<PangoFontDescription, description_deleter_t> description;
  std::unique_ptr<PangoAttrList, attributes_deleter_t> attributes;  // null without line styles
  fontmetrics metrics;
  double pixel_size = 0.0;  // the em size in pixels
};

// A rectangle in pixels relative to a layout's own origin.
struct extent_t {
  double x = 0.0;
  double y = 0.0;
  double width = 0.0;
  double height = 0.0;
};

// A glyph as Pango's renderer places it, in Pango units from the start of its run on the baseline.
struct placed_glyph_t {
  unsigned long index = 0;
  int x = 0;
  int y = 0;  // down from the baseline
};

// The glyphs of one run of a shaped line in one font. `x` and `baseline` are Pango units from the
// layout's top-left, summed as the renderer sums them, so that drawing from them puts every glyph
// on the very position the renderer would.
struct glyph_run_t {
  cairo_scaled_font_t* font = nullptr;  // held by the run's Pango font, which the layout keeps
  int x = 0;
  int baseline = 0;
  std::vector<placed_glyph_t> glyphs;
};

// A shaped text, ready to be drawn any number of times.
struct shaped_text_t {
  layout_ptr_t layout;  // null when shaped from learned glyphs for a surface that keeps no text
  // The layout's glyphs, complete only when drawing them is all the renderer would do for it:
  // one line without underline, strike-through, shifted runs or glyphs the font lacks.
  std::vector<glyph_run_t> runs;
  bool runs_complete = false;
  extent_t logical;       // the advance box: what text is aligned and measured by
  extent_t ink;           // the pixels the glyphs actually cover
  double baseline = 0.0;  // from the layout's top to the first line's baseline
  int lines = 1;
  bool ellipsized = false;
};

// A text measured on one line: what Shape with a single-line request would report of it.
struct measured_text_t {
  extent_t logical;
  extent_t ink;  // empty unless asked for
};

enum class horizontal_t { left, centre, right };
enum class vertical_t { top, centre, bottom };

// Which part of an over-long line can be visible and is therefore worth shaping.
enum class cut_t { none, keep_start, keep_end };

struct layout_request_t {
  int face = 0;
  horizontal_t alignment = horizontal_t::left;  // of the lines of a several-line text
  bool single_line = false;                     // line feeds are shown, not obeyed
  bool ellipsis = false;                        // end lines wider than max_width with "…"
  double max_width = -1.0;                      // pixels: the ellipsis width, or the visible one
  cut_t cut = cut_t::none;
  // False when the text goes to a surface that keeps no text (image, window): glyphs alone then
  // suffice, and a single line of printable ASCII may be shaped from glyphs learned before.
  bool layout_needed = true;
};

// Font descriptions and layouts for one Pango context. Layouts are kept in a least-recently-used
// cache keyed by font, layout options and text, so that repainting the same cells does not shape
// their texts again. Measuring keeps no layout per text: a text of simple characters is measured
// by adding up what each character measures alone, as learned once per face; any other text is
// laid out in one layout the engine reuses. Shaping keeps each one-line text's glyphs for drawing,
// and shapes a line of printable ASCII bound for a surface that keeps no text from glyphs learned
// once per face, without a layout. Owned by one painter (or the system object) and used on its
// thread.
class CTextEngine {
 public:
  CTextEngine();
  ~CTextEngine();
  CTextEngine(const CTextEngine&) = delete;
  CTextEngine& operator=(const CTextEngine&) = delete;

  // The id of `f`'s face; ids stay valid until the engine is destroyed.
  int FindFace(const font& f);
  const face_t& GetFace(int id) const { return *m_faces[id]; }

  // The shaped form of `length` characters of `text`. The reference stays valid until the next
  // call of Shape.
  const shaped_text_t& Shape(const wchar_t* text, std::size_t length,
                             const layout_request_t& request);

  // The extents of `length` characters of `text` in face `face` on one line, equal to those of
  // Shape with a single-line request; the ink extent only when `ink` is set.
  measured_text_t Measure(const wchar_t* text, std::size_t length, int face, bool ink);

 private:
  // Code points below this limit (Latin, Greek, Cyrillic) can be measured by adding up; the scripts
  // beyond need shaping across characters, or are rare in the texts measured in bulk.
  static constexpr unsigned int simple_limit = 0x530;

  // A character of one face measured alone, in Pango units from the baseline.
  struct glyph_t {
    int advance = -1;  // -1: not learned yet; -2: not a simple character
    int ascent = 0;
    int descent = 0;
  };
  enum class pair_t : std::uint8_t { unknown, adds_up, shaped_together };
  // What the characters of one face measure, learned through Pango on first use, and whether two
  // neighbours measure together what they measure apart (kerning and ligatures make them not).
  struct advances_t {
    std::array<glyph_t, simple_limit> glyphs;
    std::array<pair_t, 128 * 128> ascii_pairs{};            // first * 128 + second
    std::unordered_map<std::uint32_t, pair_t> other_pairs;  // first * simple_limit + second
  };

  struct cached_layout_t {
    std::string key;
    shaped_text_t shaped;
  };
  using lru_list_t = std::list<cached_layout_t>;

  // A printable ASCII character shaped alone in one face: its glyph, advance and ink box (Pango
  // units from the top-left of its one-line layout).
  struct ascii_glyph_t {
    int state = 0;  // 0: not learned yet; 1: shaped alone in the face's first font; -1: not
    unsigned long index = 0;
    int width = 0;
    PangoRectangle ink{};
  };
  // What a face's printable ASCII characters and their neighbours shape to, learned through
  // Pango, so that a line of them can be shaped by looking its glyphs up.
  struct ascii_face_t {
    std::unique_ptr<PangoFont, gobject_deleter_t> font;  // the font of the first usable character
    cairo_scaled_font_t* scaled = nullptr;               // held by `font`
    int baseline = 0;
    PangoRectangle logical{};  // of a one-line layout of one character
    std::array<ascii_glyph_t, 128> glyphs;
    std::array<pair_t, 128 * 128> pairs{};  // first * 128 + second
  };

  std::unique_ptr<face_t> CreateFace(const font& f);
  fontmetrics MeasureMetrics(const face_t& face);
  shaped_text_t CreateLayout(const std::string& utf8, const layout_request_t& request);
  const shaped_text_t& Lookup(std::string key, std::size_t text_start,
                              const layout_request_t& request);

  // Shapes `utf8` from learned glyphs when it is one line of printable ASCII in one font without
  // kerning or ligatures between neighbours and needs no ellipsis; false to leave it to Pango.
  bool ShapeAscii(const std::string& utf8, const layout_request_t& request, shaped_text_t& out);
  const ascii_glyph_t& LearnAscii(int face, ascii_face_t& ascii, unsigned int c);
  bool PairKept(int face, ascii_face_t& ascii, unsigned int first, unsigned int second);

  bool MeasureBySum(const wchar_t* text, std::size_t length, int face, measured_text_t& out);
  measured_text_t MeasureByLayout(const wchar_t* text, std::size_t length, int face, bool ink);
  // Measures `c` alone in `face` (or marks it as not simple) and keeps what it measures.
  const glyph_t& Learn(int face, advances_t& advances, unsigned int c);
  // `learned` counts the characters and pairs the text being measured has learned so far.
  bool AddsUp(int face, advances_t& advances, unsigned int first, unsigned int second,
              int& learned);
  // Where the pair's state is kept; null when no more pairs are kept.
  pair_t* PairOf(advances_t& advances, unsigned int first, unsigned int second);
  // The reused measuring layout, set to `face` and holding `utf8`.
  PangoLayout* LayOut(int face, const std::string& utf8);

  context_ptr_t m_context;
  std::vector<std::unique_ptr<face_t>> m_faces;
  std::unordered_map<std::wstring, int> m_face_ids;  // keyed by the font's fields
  lru_list_t m_layouts;                              // most recently used first
  std::unordered_map<std::string, lru_list_t::iterator> m_layout_index;
  font m_last_font;  // FindFace's last question and answer: painters ask for one font in a row
  int m_last_face = -1;
  layout_ptr_t m_measuring;  // the one layout every measurement reuses
  int m_measuring_face = -1;
  std::vector<std::unique_ptr<advances_t>> m_advances;  // by face id, made on first measurement
  std::vector<std::unique_ptr<ascii_face_t>> m_ascii;   // by face id, made on first shaping
};

}  // namespace text
}  // namespace orrin7
