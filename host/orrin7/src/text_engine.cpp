// Pango font descriptions, metrics, the cache of shaped layouts with their glyphs, lines of ASCII
// shaped from learned glyphs, and measuring without a layout.
#include "text_engine.h"

#include <algorithm>
#include <cmath>

namespace orrin7 {
namespace text {

namespace {

// Layouts kept per engine: a full-screen grid shows a few hundred cells, several grids share a
// painter, and every cell's text must survive one repaint.
constexpr std::size_t layout_cache_size = 2048;

// Learning a character or a pair costs a layout of its own, so one text learns at most this many
// and is laid out whole when it needs more: an unusual text then costs a few layouts more than one
// layout, while a column of lines in one script soon knows all it needs.
constexpr int learned_per_text = 8;
// Pairs that are not both ASCII are kept in a map that stops growing here; later pairs are laid
// out with their text.
constexpr std::size_t other_pairs_kept = 1 << 16;

// No glyph of a text face advances by less than this share of the em, apart from zero-width
// marks; a cut that turns out too short because of such marks is retried with a longer one.
constexpr double narrowest_advance_em = 0.1;

const char* FamilyClassName(int family) {
  switch (family) {
    case 2:
      return "Monospace";
    case 3:
      return "Serif";
    default:
      return "Sans";
  }
}

// The fontconfig family list: the face first (when given), then the family class as fallback.
// Commas would split the face name into several families, so they become spaces.
std::string FamilyList(const font& f) {
  std::string families;
  if (!f.face.empty()) {
    families = ToUtf8(f.face);
    std::replace(families.begin(), families.end(), ',', ' ');
    families += ',';
  }
  return families + FamilyClassName(f.family);
}

int PointSize(int size) {
  if (size < 1) return default_point_size;
  return std::min(size, largest_point_size);
}

std::wstring FaceKey(const font& f) {
  std::wstring key;
  key += wchar_t(f.family);
  key += wchar_t(PointSize(f.size));
  key += wchar_t(f.style & 0xF);
  return key + f.face;
}

PangoAttrList* LineStyleAttributes(int style) {
  if ((style & (FS_Underline | FS_StrikeOut)) == 0) return nullptr;
  PangoAttrList* list = pango_attr_list_new();
  if (style & FS_Underline)
    pango_attr_list_insert(list, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (style & FS_StrikeOut) pango_attr_list_insert(list, pango_attr_strikethrough_new(TRUE));
  return list;
}

extent_t ToPixels(const PangoRectangle& r) {
  return {double(r.x) / PANGO_SCALE, double(r.y) / PANGO_SCALE, double(r.width) / PANGO_SCALE,
          double(r.height) / PANGO_SCALE};
}

std::size_t CutLimit(double max_width, double pixel_size) {
  const double chars = std::ceil(std::max(0.0, max_width) / (narrowest_advance_em * pixel_size));
  return std::size_t(std::min(chars, 1e9)) + 8;
}

// Appends the part of one line that is worth shaping.
void AppendLine(std::string& out, const wchar_t* line, std::size_t length, cut_t cut,
                std::size_t limit, bool& was_cut) {
  if (cut == cut_t::none || length <= limit) {
    AppendUtf8(out, line, length);
    return;
  }
  was_cut = true;
  AppendUtf8(out, cut == cut_t::keep_start ? line : line + (length - limit), limit);
}

// The text as Pango gets it: each line (or the whole text on one line) cut to `limit` characters
// from the side that stays visible.
std::string CutText(const wchar_t* text, std::size_t length, const layout_request_t& request,
                    std::size_t limit, bool& was_cut) {
  std::string out;
  out.reserve(std::min(length, limit) + 16);
  was_cut = false;
  const wchar_t* const end = text + length;
  const wchar_t* line = text;
  while (true) {
    const wchar_t* line_end = request.single_line ? end : std::find(line, end, L'\n');
    AppendLine(out, line, std::size_t(line_end - line), request.cut, limit, was_cut);
    if (line_end == end) break;
    out += '\n';
    line = line_end + 1;
  }
  return out;
}

// The part of the cache key that is not the text.
std::string KeyPrefix(const layout_request_t& request) {
  const int ellipsis_width =
      request.ellipsis ? int(std::lround(request.max_width * PANGO_SCALE)) : -1;
  const int fields[] = {request.face, int(request.alignment), int(request.single_line),
                        ellipsis_width, int(request.layout_needed)};
  return std::string(reinterpret_cast<const char*>(fields), sizeof fields);
}

PangoAlignment ToPango(horizontal_t alignment) {
  switch (alignment) {
    case horizontal_t::centre:
      return PANGO_ALIGN_CENTER;
    case horizontal_t::right:
      return PANGO_ALIGN_RIGHT;
    default:
      return PANGO_ALIGN_LEFT;
  }
}

// Characters that Pango lays out the same wherever they stand: letters, digits, punctuation,
// symbols and spaces of left-to-right scripts. Marks combine with their neighbours, controls and
// format characters are shown or hidden by rules of their own, tabs go to tab stops.
bool SimpleCharacter(gunichar c) {
  switch (g_unichar_type(c)) {
    case G_UNICODE_CONTROL:
    case G_UNICODE_FORMAT:
    case G_UNICODE_UNASSIGNED:
    case G_UNICODE_PRIVATE_USE:
    case G_UNICODE_SURROGATE:
    case G_UNICODE_SPACING_MARK:
    case G_UNICODE_ENCLOSING_MARK:
    case G_UNICODE_NON_SPACING_MARK:
    case G_UNICODE_LINE_SEPARATOR:
    case G_UNICODE_PARAGRAPH_SEPARATOR:
      return false;
    default:
      return true;
  }
}

// Whether the renderer draws a run with this attribute other than as its bare glyphs: colours,
// lines, shifts and shapes. Attributes that only steer shaping (such as the one that shows line
// separators on a single line) are already in the glyphs.
bool DrawnOtherwise(const PangoAttribute* attribute) {
  switch (attribute->klass->type) {
    case PANGO_ATTR_FOREGROUND:
    case PANGO_ATTR_BACKGROUND:
    case PANGO_ATTR_UNDERLINE:
    case PANGO_ATTR_STRIKETHROUGH:
    case PANGO_ATTR_RISE:
    case PANGO_ATTR_SHAPE:
    case PANGO_ATTR_LETTER_SPACING:
    case PANGO_ATTR_UNDERLINE_COLOR:
    case PANGO_ATTR_STRIKETHROUGH_COLOR:
    case PANGO_ATTR_FOREGROUND_ALPHA:
    case PANGO_ATTR_BACKGROUND_ALPHA:
    case PANGO_ATTR_OVERLINE:
    case PANGO_ATTR_OVERLINE_COLOR:
    case PANGO_ATTR_BASELINE_SHIFT:
      return true;
    default:
      return false;
  }
}

bool AnyDrawnOtherwise(GSList* attributes) {
  for (GSList* a = attributes; a != nullptr; a = a->next)
    if (DrawnOtherwise(static_cast<const PangoAttribute*>(a->data))) return true;
  return false;
}

// The runs of the layout's one line as pango_cairo_show_layout draws them: each run starts where
// the line's logical box starts plus the widths of the runs before it; empty glyphs draw nothing.
// False when the line holds anything the renderer draws otherwise.
bool CollectRuns(PangoLayout* layout, std::vector<glyph_run_t>& runs) {
  PangoLayoutIter* iter = pango_layout_get_iter(layout);
  PangoRectangle line_logical;
  pango_layout_iter_get_line_extents(iter, nullptr, &line_logical);
  const int baseline = pango_layout_iter_get_baseline(iter);
  pango_layout_iter_free(iter);
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  if (line == nullptr) return false;
  int x = line_logical.x;
  for (GSList* l = line->runs; l != nullptr; l = l->next) {
    const PangoGlyphItem* run = static_cast<const PangoGlyphItem*>(l->data);
    if (run->y_offset != 0 || run->start_x_offset != 0 || run->end_x_offset != 0) return false;
    if (AnyDrawnOtherwise(run->item->analysis.extra_attrs)) return false;
    glyph_run_t out;
    out.font = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(run->item->analysis.font));
    if (out.font == nullptr || cairo_scaled_font_status(out.font) != CAIRO_STATUS_SUCCESS)
      return false;
    out.x = x;
    out.baseline = baseline;
    int position = 0;
    const PangoGlyphString* glyphs = run->glyphs;
    for (int i = 0; i < glyphs->num_glyphs; ++i) {
      const PangoGlyphInfo& info = glyphs->glyphs[i];
      if (info.glyph & PANGO_GLYPH_UNKNOWN_FLAG) return false;
      if (info.glyph != PANGO_GLYPH_EMPTY)
        out.glyphs.push_back(
            {info.glyph, position + info.geometry.x_offset, info.geometry.y_offset});
      position += info.geometry.width;
    }
    x += pango_glyph_string_get_width(run->glyphs);
    runs.push_back(std::move(out));
  }
  return true;
}

context_ptr_t CreateContext() {
  context_ptr_t context(pango_font_map_create_context(pango_cairo_font_map_get_default()));
  pango_cairo_context_set_resolution(context.get(), screen_dpi);
  // Whole-pixel advances keep measured widths equal to drawn ones and pieces of text drawn one
  // after another seamless; grey antialiasing suits every surface (image, PDF, window).
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  pango_cairo_context_set_font_options(context.get(), options);
  cairo_font_options_destroy(options);
  return context;
}

}  // namespace

void AppendUtf8(std::string& out, const wchar_t* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    const gunichar c = gunichar(text[i]);
    if (c > 0 && c < 0x80) {
      out += char(c);
      continue;
    }
    char buffer[6];
    const gunichar valid = (c != 0 && g_unichar_validate(c)) ? c : 0xFFFD;
    out.append(buffer, std::size_t(g_unichar_to_utf8(valid, buffer)));
  }
}

std::string ToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  AppendUtf8(out, text.data(), text.size());
  return out;
}

CTextEngine::CTextEngine() : m_context(CreateContext()) {}

CTextEngine::~CTextEngine() = default;

// Measuring a column asks for the same font once per row: the last answer saves building and
// hashing the key.
int CTextEngine::FindFace(const font& f) {
  if (m_last_face >= 0 && f == m_last_font) return m_last_face;
  std::wstring key = FaceKey(f);
  const auto found = m_face_ids.find(key);
  int id = 0;
  if (found != m_face_ids.end()) {
    id = found->second;
  } else {
    m_faces.push_back(CreateFace(f));
    id = int(m_faces.size() - 1);
    m_face_ids.emplace(std::move(key), id);
  }
  m_last_font = f;
  m_last_face = id;
  return id;
}

std::unique_ptr<face_t> CTextEngine::CreateFace(const font& f) {
  auto face = std::make_unique<face_t>();
  face->description.reset(pango_font_description_new());
  PangoFontDescription* d = face->description.get();
  pango_font_description_set_family(d, FamilyList(f).c_str());
  pango_font_description_set_size(d, PointSize(f.size) * PANGO_SCALE);
  pango_font_description_set_weight(d,
                                    (f.style & FS_Bold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(d,
                                   (f.style & FS_Italic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  face->attributes.reset(LineStyleAttributes(f.style));
  face->pixel_size = PointSize(f.size) * screen_dpi / 72.0;
  face->metrics = MeasureMetrics(*face);
  return face;
}

// The metrics of the line an empty text takes, so that their sum equals the height of every
// one-line layout in this face.
fontmetrics CTextEngine::MeasureMetrics(const face_t& face) {
  layout_ptr_t layout(pango_layout_new(m_context.get()));
  pango_layout_set_font_description(layout.get(), face.description.get());
  PangoRectangle logical;
  pango_layout_get_extents(layout.get(), nullptr, &logical);
  fontmetrics metrics;
  metrics.ascent = int(std::lround(double(pango_layout_get_baseline(layout.get())) / PANGO_SCALE));
  metrics.descent = int(std::lround(double(logical.height) / PANGO_SCALE)) - metrics.ascent;
  metrics.leading = 0;
  return metrics;
}

const shaped_text_t& CTextEngine::Shape(const wchar_t* text, std::size_t length,
                                        const layout_request_t& request) {
  const std::string prefix = KeyPrefix(request);
  std::size_t limit = request.cut == cut_t::none
                          ? length
                          : CutLimit(request.max_width, GetFace(request.face).pixel_size);
  while (true) {
    bool was_cut = false;
    std::string key = prefix + CutText(text, length, request, limit, was_cut);
    const shaped_text_t& shaped = Lookup(std::move(key), prefix.size(), request);
    // A cut text that fits might be short only because it held zero-width marks: the full text
    // could reach further, so try again with more of it.
    if (!was_cut || shaped.ellipsized || shaped.logical.width > request.max_width) return shaped;
    limit *= 4;
  }
}

const shaped_text_t& CTextEngine::Lookup(std::string key, std::size_t text_start,
                                         const layout_request_t& request) {
  const auto found = m_layout_index.find(key);
  if (found != m_layout_index.end()) {
    m_layouts.splice(m_layouts.begin(), m_layouts, found->second);
    return found->second->shaped;
  }
  if (m_layouts.size() >= layout_cache_size) {
    m_layout_index.erase(m_layouts.back().key);
    m_layouts.pop_back();
  }
  const std::string utf8 = key.substr(text_start);
  shaped_text_t shaped;
  if (request.layout_needed || !ShapeAscii(utf8, request, shaped))
    shaped = CreateLayout(utf8, request);
  m_layouts.push_front(cached_layout_t{std::move(key), std::move(shaped)});
  m_layout_index.emplace(m_layouts.front().key, m_layouts.begin());
  return m_layouts.front().shaped;
}

shaped_text_t CTextEngine::CreateLayout(const std::string& utf8, const layout_request_t& request) {
  const face_t& face = GetFace(request.face);
  shaped_text_t shaped;
  shaped.layout.reset(pango_layout_new(m_context.get()));
  PangoLayout* layout = shaped.layout.get();
  pango_layout_set_font_description(layout, face.description.get());
  if (face.attributes) pango_layout_set_attributes(layout, face.attributes.get());
  pango_layout_set_single_paragraph_mode(layout, request.single_line);
  pango_layout_set_alignment(layout, ToPango(request.alignment));
  if (request.ellipsis) {
    pango_layout_set_width(layout, int(std::lround(request.max_width * PANGO_SCALE)));
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
  }
  pango_layout_set_text(layout, utf8.data(), int(utf8.size()));
  PangoRectangle ink, logical;
  pango_layout_get_extents(layout, &ink, &logical);
  shaped.ink = ToPixels(ink);
  shaped.logical = ToPixels(logical);
  shaped.baseline = double(pango_layout_get_baseline(layout)) / PANGO_SCALE;
  shaped.lines = pango_layout_get_line_count(layout);
  shaped.ellipsized = request.ellipsis && pango_layout_is_ellipsized(layout);
  // Drawing the glyphs straight skips the renderer's per-run work on every repaint.
  if (shaped.lines == 1 && !face.attributes) {
    shaped.runs_complete = CollectRuns(layout, shaped.runs);
    if (!shaped.runs_complete) shaped.runs.clear();
  }
  return shaped;
}

namespace {

// Widens `box` to hold `other` too, as Pango unites glyph ink boxes.
void Unite(PangoRectangle& box, const PangoRectangle& other) {
  const int left = std::min(box.x, other.x), top = std::min(box.y, other.y);
  box.width = std::max(box.x + box.width, other.x + other.width) - left;
  box.height = std::max(box.y + box.height, other.y + other.height) - top;
  box.x = left;
  box.y = top;
}

}  // namespace

// Pango shapes such a line as the sum of its characters: one item after another in one font,
// each glyph advancing by its own width, the line as high as the font. Every pair of neighbours
// is checked once against Pango, so kerning and two-character ligatures send the text to Pango.
bool CTextEngine::ShapeAscii(const std::string& utf8, const layout_request_t& request,
                             shaped_text_t& out) {
  if (!request.single_line || utf8.empty() || GetFace(request.face).attributes) return false;
  if (m_ascii.size() <= std::size_t(request.face)) m_ascii.resize(std::size_t(request.face) + 1);
  std::unique_ptr<ascii_face_t>& slot = m_ascii[std::size_t(request.face)];
  if (!slot) slot = std::make_unique<ascii_face_t>();
  ascii_face_t& ascii = *slot;
  glyph_run_t run;
  PangoRectangle ink{};
  int x = 0;
  unsigned int previous = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned int c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x20 || c > 0x7E) return false;
    const ascii_glyph_t& glyph = LearnAscii(request.face, ascii, c);
    if (glyph.state != 1) return false;
    if (i > 0 && !PairKept(request.face, ascii, previous, c)) return false;
    run.glyphs.push_back({glyph.index, x, 0});
    if (glyph.ink.width != 0 && glyph.ink.height != 0) {
      PangoRectangle placed = glyph.ink;
      placed.x += x;
      if (ink.width == 0 || ink.height == 0) {
        ink = placed;
      } else {
        Unite(ink, placed);
      }
    }
    x += glyph.width;
    previous = c;
  }
  if (request.ellipsis && x > int(std::lround(request.max_width * PANGO_SCALE))) return false;
  run.font = ascii.scaled;
  run.baseline = ascii.baseline;
  out.runs.push_back(std::move(run));
  out.runs_complete = true;
  PangoRectangle logical = ascii.logical;
  logical.x = 0;
  logical.width = x;
  out.logical = ToPixels(logical);
  out.ink = ToPixels(ink);
  out.baseline = double(ascii.baseline) / PANGO_SCALE;
  return true;
}

const CTextEngine::ascii_glyph_t& CTextEngine::LearnAscii(int face, ascii_face_t& ascii,
                                                          unsigned int c) {
  ascii_glyph_t& glyph = ascii.glyphs[c];
  if (glyph.state != 0) return glyph;
  glyph.state = -1;
  const char alone = char(c);
  PangoLayout* layout = LayOut(face, std::string(1, alone));
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  if (line == nullptr || line->runs == nullptr || line->runs->next != nullptr) return glyph;
  const PangoGlyphItem* run = static_cast<const PangoGlyphItem*>(line->runs->data);
  const PangoGlyphString* glyphs = run->glyphs;
  if (glyphs->num_glyphs != 1 || run->y_offset != 0 || run->start_x_offset != 0 ||
      run->end_x_offset != 0)
    return glyph;
  const PangoGlyphInfo& info = glyphs->glyphs[0];
  if ((info.glyph & PANGO_GLYPH_UNKNOWN_FLAG) || info.glyph == PANGO_GLYPH_EMPTY ||
      info.geometry.x_offset != 0 || info.geometry.y_offset != 0)
    return glyph;
  PangoFont* font = run->item->analysis.font;
  if (!ascii.font) {
    cairo_scaled_font_t* scaled = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(font));
    if (scaled == nullptr || cairo_scaled_font_status(scaled) != CAIRO_STATUS_SUCCESS) return glyph;
    ascii.font.reset(PANGO_FONT(g_object_ref(font)));
    ascii.scaled = scaled;
    ascii.baseline = pango_layout_get_baseline(layout);
    pango_layout_get_extents(layout, nullptr, &ascii.logical);
  }
  if (font != ascii.font.get()) return glyph;
  PangoRectangle logical;
  pango_layout_get_extents(layout, &glyph.ink, &logical);
  if (logical.y != ascii.logical.y || logical.height != ascii.logical.height ||
      pango_layout_get_baseline(layout) != ascii.baseline)
    return glyph;
  glyph.index = info.glyph;
  glyph.width = info.geometry.width;
  glyph.state = 1;
  return glyph;
}

// Whether two usable characters shape together into their own glyphs side by side.
bool CTextEngine::PairKept(int face, ascii_face_t& ascii, unsigned int first, unsigned int second) {
  pair_t& pair = ascii.pairs[first * 128 + second];
  if (pair != pair_t::unknown) return pair == pair_t::adds_up;
  pair = pair_t::shaped_together;
  const char both[] = {char(first), char(second)};
  PangoLayout* layout = LayOut(face, std::string(both, 2));
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  if (line == nullptr) return false;
  const ascii_glyph_t* expected[] = {&ascii.glyphs[first], &ascii.glyphs[second]};
  int seen = 0;
  for (GSList* l = line->runs; l != nullptr; l = l->next) {
    const PangoGlyphItem* run = static_cast<const PangoGlyphItem*>(l->data);
    if (run->item->analysis.font != ascii.font.get() || run->y_offset != 0) return false;
    for (int i = 0; i < run->glyphs->num_glyphs; ++i, ++seen) {
      const PangoGlyphInfo& info = run->glyphs->glyphs[i];
      if (seen >= 2 || info.glyph != expected[seen]->index ||
          info.geometry.width != expected[seen]->width || info.geometry.x_offset != 0 ||
          info.geometry.y_offset != 0)
        return false;
    }
  }
  if (seen != 2) return false;
  pair = pair_t::adds_up;
  return true;
}

measured_text_t CTextEngine::Measure(const wchar_t* text, std::size_t length, int face, bool ink) {
  measured_text_t measured;
  if (!ink && MeasureBySum(text, length, face, measured)) return measured;
  return MeasureByLayout(text, length, face, ink);
}

// A text of simple characters whose every pair of neighbours adds up measures the sum of its
// characters' advances, and its line reaches as high and as low as its highest and lowest
// character. This holds as long as shaping joins characters only by rules over two neighbours
// (kerning pairs, two-letter ligatures), which every pair learned here is checked against; a rule
// over three or more characters that leaves each pair of them alone would go unnoticed.
bool CTextEngine::MeasureBySum(const wchar_t* text, std::size_t length, int face,
                               measured_text_t& out) {
  if (length == 0) return false;
  if (m_advances.size() <= std::size_t(face)) m_advances.resize(std::size_t(face) + 1);
  std::unique_ptr<advances_t>& slot = m_advances[std::size_t(face)];
  if (!slot) slot = std::make_unique<advances_t>();
  advances_t& advances = *slot;
  std::int64_t width = 0;
  int ascent = 0, descent = 0;
  int learned = 0;
  unsigned int previous = 0;
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned int c = static_cast<unsigned int>(text[i]);
    if (c >= simple_limit) return false;
    if (advances.glyphs[c].advance == -1 && learned++ == learned_per_text) return false;
    const glyph_t& glyph =
        advances.glyphs[c].advance == -1 ? Learn(face, advances, c) : advances.glyphs[c];
    if (glyph.advance < 0) return false;
    // Pairs of ASCII characters, nearly all a source holds, are looked up here without a call.
    const bool known_pair =
        (previous | c) < 128 && advances.ascii_pairs[previous * 128 + c] == pair_t::adds_up;
    if (i > 0 && !known_pair && !AddsUp(face, advances, previous, c, learned)) return false;
    width += glyph.advance;
    ascent = std::max(ascent, glyph.ascent);
    descent = std::max(descent, glyph.descent);
    previous = c;
  }
  out.logical.width = double(width) / PANGO_SCALE;
  out.logical.height = double(ascent + descent) / PANGO_SCALE;
  return true;
}

measured_text_t CTextEngine::MeasureByLayout(const wchar_t* text, std::size_t length, int face,
                                             bool ink) {
  std::string utf8;
  utf8.reserve(length);
  AppendUtf8(utf8, text, length);
  PangoLayout* layout = LayOut(face, utf8);
  PangoRectangle ink_extent{}, logical;
  pango_layout_get_extents(layout, ink ? &ink_extent : nullptr, &logical);
  measured_text_t measured;
  measured.logical = ToPixels(logical);
  if (ink) measured.ink = ToPixels(ink_extent);
  return measured;
}

const CTextEngine::glyph_t& CTextEngine::Learn(int face, advances_t& advances, unsigned int c) {
  glyph_t& glyph = advances.glyphs[c];
  glyph.advance = -2;
  if (!SimpleCharacter(c)) return glyph;
  std::string utf8;
  const wchar_t alone = wchar_t(c);
  AppendUtf8(utf8, &alone, 1);
  PangoLayout* layout = LayOut(face, utf8);
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  const int baseline = pango_layout_get_baseline(layout);
  glyph.ascent = baseline - logical.y;
  glyph.descent = logical.y + logical.height - baseline;
  glyph.advance = logical.width;
  return glyph;
}

// Whether two simple characters measure together what they measure apart, width and height;
// false too when finding out would exceed what one text may learn.
bool CTextEngine::AddsUp(int face, advances_t& advances, unsigned int first, unsigned int second,
                         int& learned) {
  pair_t* known = PairOf(advances, first, second);
  if (known && *known != pair_t::unknown) return *known == pair_t::adds_up;
  if (!known || learned++ == learned_per_text) return false;
  pair_t& pair = *known;
  const glyph_t& a = advances.glyphs[first];
  const glyph_t& b = advances.glyphs[second];
  std::string utf8;
  const wchar_t both[] = {wchar_t(first), wchar_t(second)};
  AppendUtf8(utf8, both, 2);
  PangoRectangle logical;
  pango_layout_get_extents(LayOut(face, utf8), nullptr, &logical);
  const bool adds_up =
      logical.width == a.advance + b.advance &&
      logical.height == std::max(a.ascent, b.ascent) + std::max(a.descent, b.descent);
  pair = adds_up ? pair_t::adds_up : pair_t::shaped_together;
  return adds_up;
}

CTextEngine::pair_t* CTextEngine::PairOf(advances_t& advances, unsigned int first,
                                         unsigned int second) {
  if (first < 128 && second < 128) return &advances.ascii_pairs[first * 128 + second];
  const std::uint32_t key = first * simple_limit + second;
  const auto found = advances.other_pairs.find(key);
  if (found != advances.other_pairs.end()) return &found->second;
  if (advances.other_pairs.size() >= other_pairs_kept) return nullptr;
  return &advances.other_pairs[key];
}

PangoLayout* CTextEngine::LayOut(int face, const std::string& utf8) {
  if (!m_measuring) {
    m_measuring.reset(pango_layout_new(m_context.get()));
    pango_layout_set_single_paragraph_mode(m_measuring.get(), TRUE);
  }
  PangoLayout* layout = m_measuring.get();
  if (face != m_measuring_face) {
    const face_t& f = GetFace(face);
    pango_layout_set_font_description(layout, f.description.get());
    pango_layout_set_attributes(layout, f.attributes.get());
    m_measuring_face = face;
  }
  pango_layout_set_text(layout, utf8.data(), int(utf8.size()));
  return layout;
}

}  // namespace text
}  // namespace orrin7
