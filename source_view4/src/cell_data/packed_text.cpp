// Packing wide strings into extended UTF-8 and back, with vector paths for ASCII text, and the
// chunks that hold a column's packed texts.
#include "cell_data/packed_text.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "cell_data/large_pages.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace source_view4::packed_text {

namespace {

using code_t = std::make_unsigned_t<wchar_t>;

// Header bits below the character count.
constexpr std::size_t ascii_bit = 1;
constexpr std::size_t tabs_bit = 2;
constexpr int flag_bits = 2;

std::size_t sequence_length(std::uint32_t code) {
  if (code < 0x80) return 1;
  if (code < 0x800) return 2;
  if (code < 0x10000) return 3;
  if (code < 0x200000) return 4;
  if (code < 0x4000000) return 5;
  if (code < 0x80000000) return 6;
  return 7;
}

char* put_varint(char* out, std::size_t value) {
  while (value >= 0x80) {
    *out++ = static_cast<char>(value | 0x80);
    value >>= 7;
  }
  *out++ = static_cast<char>(value);
  return out;
}

const char* get_varint(const char* in, std::size_t& value) {
  value = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*in++);
    value |= std::size_t(byte & 0x7F) << shift;
    if (byte < 0x80) return in;
  }
}

// The lead byte carries as many high one bits as the sequence has bytes (0xFE for seven, whose
// lead holds no payload); every continuation byte carries six bits under 10.
char* put_sequence(char* out, std::uint32_t code) {
  const std::size_t length = sequence_length(code);
  if (length == 1) {
    *out = static_cast<char>(code);
    return out + 1;
  }
  for (std::size_t i = length - 1; i > 0; --i) {
    out[i] = static_cast<char>(0x80 | (code & 0x3F));
    code >>= 6;
  }
  const unsigned lead_ones = 0xFF00u >> length;
  out[0] = static_cast<char>(lead_ones | code);
  return out + length;
}

const char* get_sequence(const char* in, std::uint32_t& code) {
  const auto lead = static_cast<unsigned char>(*in);
  if (lead < 0x80) {
    code = lead;
    return in + 1;
  }
  std::size_t length = 2;
  while (length < 7 && (lead & (0x80u >> length)) != 0) ++length;
  code = lead & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i)
    code = (code << 6) | (static_cast<unsigned char>(in[i]) & 0x3F);
  return in + length;
}

}  // namespace

namespace {

std::size_t varint_size(std::size_t value) {
  std::size_t size = 1;
  for (; value >= 0x80; value >>= 7) ++size;
  return size;
}

std::size_t header_of(std::size_t chars, bool ascii, std::size_t tabs) {
  return (chars << flag_bits) | (ascii ? ascii_bit : 0) | (tabs != 0 ? tabs_bit : 0);
}

std::size_t header_of(const shape_t& shape) {
  return header_of(shape.chars, shape.bytes == shape.chars, shape.tabs);
}

// Narrows eight characters at a time while gathering the OR of all of them (any bit above 7 set
// means not ASCII) and counting tabs.
std::uint32_t narrow_and_scan(char* out, const wchar_t* text, std::size_t size, std::size_t& tabs) {
  std::uint32_t high = 0;
  std::size_t i = 0;
#ifdef __SSE2__
  __m128i bits = _mm_setzero_si128();
  __m128i tab_counts = _mm_setzero_si128();
  const __m128i tab = _mm_set1_epi32('\t');
  for (; i + 8 <= size; i += 8) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const __m128i upper = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 4));
    bits = _mm_or_si128(bits, _mm_or_si128(low, upper));
    tab_counts = _mm_sub_epi32(tab_counts, _mm_cmpeq_epi32(low, tab));
    tab_counts = _mm_sub_epi32(tab_counts, _mm_cmpeq_epi32(upper, tab));
    const __m128i words = _mm_packs_epi32(low, upper);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(words, words));
  }
  alignas(16) std::uint32_t lanes[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), bits);
  high = lanes[0] | lanes[1] | lanes[2] | lanes[3];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), tab_counts);
  tabs += std::size_t(lanes[0]) + lanes[1] + lanes[2] + lanes[3];
#endif
  for (; i < size; ++i) {
    const auto code = static_cast<std::uint32_t>(static_cast<code_t>(text[i]));
    high |= code;
    tabs += code == '\t' ? 1 : 0;
    out[i] = static_cast<char>(code);
  }
  return high;
}

void widen_ascii(wchar_t* out, const unsigned char* in, std::size_t size) {
  std::size_t i = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= size; i += 8) {
    const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + i));
    const __m128i words = _mm_unpacklo_epi8(bytes, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi16(words, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4), _mm_unpackhi_epi16(words, zero));
  }
#endif
  for (; i < size; ++i) out[i] = static_cast<wchar_t>(in[i]);
}

}  // namespace

shape_t shape_of(const wchar_t* text, std::size_t size) {
  shape_t shape;
  shape.chars = size;
  for (std::size_t i = 0; i < size; ++i) {
    const auto code = static_cast<std::uint32_t>(static_cast<code_t>(text[i]));
    shape.bytes += sequence_length(code);
    shape.tabs += code == '\t' ? 1 : 0;
  }
  const bool ascii = shape.bytes == size;
  shape.packed_size =
      varint_size(header_of(shape)) + (ascii ? 0 : varint_size(shape.bytes)) + shape.bytes;
  return shape;
}

void write(char* at, const wchar_t* text, const shape_t& shape) {
  at = put_varint(at, header_of(shape));
  if (shape.bytes != shape.chars) at = put_varint(at, shape.bytes);
  for (std::size_t i = 0; i < shape.chars; ++i)
    at = put_sequence(at, static_cast<std::uint32_t>(static_cast<code_t>(text[i])));
}

std::size_t ascii_packed_size(std::size_t size) {
  return varint_size(header_of(size, true, 0)) + size;
}

bool write_ascii(char* at, const wchar_t* text, std::size_t size, std::size_t& tabs) {
  const std::size_t header_size = varint_size(header_of(size, true, 0));
  tabs = 0;
  const std::uint32_t high = narrow_and_scan(at + header_size, text, size, tabs);
  if ((high & ~std::uint32_t(0x7F)) != 0) return false;
  put_varint(at, header_of(size, true, tabs));
  return true;
}

view_t read(const char* at) {
  std::size_t header = 0;
  at = get_varint(at, header);
  view_t view;
  view.chars = header >> flag_bits;
  view.ascii = (header & ascii_bit) != 0;
  view.tabs = (header & tabs_bit) != 0;
  view.bytes = view.chars;
  if (!view.ascii) at = get_varint(at, view.bytes);
  view.data = at;
  return view;
}

std::size_t packed_size(const char* at) {
  const view_t view = read(at);
  return static_cast<std::size_t>(view.data - at) + view.bytes;
}

void unpack(const view_t& view, wchar_t* out) {
  if (view.ascii) {
    widen_ascii(out, reinterpret_cast<const unsigned char*>(view.data), view.chars);
    return;
  }
  const char* in = view.data;
  for (std::size_t i = 0; i < view.chars; ++i) {
    std::uint32_t code = 0;
    in = get_sequence(in, code);
    out[i] = static_cast<wchar_t>(static_cast<code_t>(code));
  }
}

std::wstring to_wide(const view_t& view) {
  std::wstring text(view.chars, L'\0');
  unpack(view, text.data());
  return text;
}

void chunk_release_t::operator()(char* block) const { large_pages::release(block, bytes); }

std::unique_ptr<char[], chunk_release_t> chunks_t::allocate_chunk(std::size_t bytes) {
  return std::unique_ptr<char[], chunk_release_t>(static_cast<char*>(large_pages::allocate(bytes)),
                                                  chunk_release_t{bytes});
}

chunks_t::chunks_t(const chunks_t& other) : m_used(other.m_used) {
  m_chunks.reserve(other.m_chunks.size());
  for (const chunk_t& chunk : other.m_chunks) {
    chunk_t copy;
    copy.data = allocate_chunk(std::max<std::size_t>(chunk.size, 1));
    if (chunk.size != 0) std::memcpy(copy.data.get(), chunk.data.get(), chunk.size);
    copy.size = copy.capacity = chunk.size;
    m_chunks.push_back(std::move(copy));
  }
}

chunks_t& chunks_t::operator=(const chunks_t& other) {
  if (this != &other) *this = chunks_t(other);
  return *this;
}

std::uint64_t chunks_t::allocate(std::size_t bytes, char*& at) {
  at = room(bytes);
  return commit(bytes);
}

// A last chunk that nothing was handed out of yet is replaced rather than left empty behind a new
// one, so asking again for more room never strands a chunk.
char* chunks_t::room(std::size_t bytes) {
  if (!m_chunks.empty() && m_chunks.back().capacity - m_chunks.back().size >= bytes) {
    chunk_t& chunk = m_chunks.back();
    return chunk.data.get() + chunk.size;
  }
  if (!m_chunks.empty() && m_chunks.back().size == 0) m_chunks.pop_back();
  chunk_t chunk;
  const std::size_t last = m_chunks.empty() ? 0 : m_chunks.back().capacity;
  chunk.capacity = std::max(bytes, std::clamp(2 * last, first_chunk, largest_chunk));
  chunk.data = allocate_chunk(chunk.capacity);
  m_chunks.push_back(std::move(chunk));
  return m_chunks.back().data.get();
}

std::uint64_t chunks_t::commit(std::size_t bytes) {
  chunk_t& chunk = m_chunks.back();
  const std::uint64_t offset = (std::uint64_t(m_chunks.size() - 1) << 32) | chunk.size;
  chunk.size += bytes;
  m_used += bytes;
  return offset;
}

void chunks_t::clear() {
  m_chunks.clear();
  m_used = 0;
}

}  // namespace source_view4::packed_text
