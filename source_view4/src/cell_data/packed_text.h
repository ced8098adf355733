// The compact form in which the model keeps wide strings: a short header (character count, whether
// the text is all ASCII, whether it holds tabs) and one extended UTF-8 sequence per character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace source_view4::packed_text {

// What the header of a packed text says. `data` points at the first character's byte.
struct view_t {
  const char* data = nullptr;
  std::size_t chars = 0;  // characters of the wide string
  std::size_t bytes = 0;  // bytes of the character sequences
  bool ascii = false;     // one byte per character
  bool tabs = false;      // holds at least one tab
};

// What packing a text takes: its packed size and what the header says.
struct shape_t {
  std::size_t chars = 0;
  std::size_t bytes = 0;        // of the character sequences
  std::size_t tabs = 0;         // tab characters
  std::size_t packed_size = 0;  // header and sequences
};

// One pass over the text: its sequences' bytes and its tabs. Any text can be packed through
// shape_of and write; write_ascii below packs an ASCII one faster.
shape_t shape_of(const wchar_t* text, std::size_t size);

// Writes the packed form of text[0 … size) (shaped by shape_of) to at[0 … shape.packed_size).
// Every wchar_t value is kept, including lone surrogates, values past U+10FFFF and negative ones:
// sequences are the original 1-to-6 byte UTF-8 scheme for 31-bit values and a 7-byte form (0xFE
// lead) for the rest, so no value needs an escape and unpacking gives back exactly the string
// that was packed.
void write(char* at, const wchar_t* text, const shape_t& shape);

// Bytes the packed form of an all-ASCII text of `size` characters takes, header included.
std::size_t ascii_packed_size(std::size_t size);

// Packs text[0 … size) in one pass when every character is ASCII, the case of nearly all source
// lines: writes at[0 … ascii_packed_size(size)), sets `tabs` and answers true. Any other character
// answers false, leaving at[…] undefined: such a text is packed through shape_of and write.
bool write_ascii(char* at, const wchar_t* text, std::size_t size, std::size_t& tabs);

view_t read(const char* at);

// Bytes the packed text at `at` takes, header included.
std::size_t packed_size(const char* at);

// Writes the view's characters to out[0 … view.chars).
void unpack(const view_t& view, wchar_t* out);

// The view's characters as a wide string.
std::wstring to_wide(const view_t& view);

// Gives a chunk's block back the way it was allocated.
struct chunk_release_t {
  std::size_t bytes = 0;
  void operator()(char* block) const;
};

// Packed texts of one column in chunks, each new chunk twice the size of the last one up to
// largest_chunk (a longer text gets a chunk of its own). A chunk never moves or grows, so filling
// a column writes each page once and copies nothing. Texts are addressed by the offsets
// allocate() answers.
class chunks_t {
 public:
  static constexpr std::size_t first_chunk = std::size_t(64) << 10;
  static constexpr std::size_t largest_chunk = std::size_t(32) << 20;

  chunks_t() = default;
  chunks_t(const chunks_t& other);
  chunks_t& operator=(const chunks_t& other);
  chunks_t(chunks_t&&) noexcept = default;
  chunks_t& operator=(chunks_t&&) noexcept = default;

  // Room for `bytes` bytes: answers its offset and sets `at` to its first byte.
  std::uint64_t allocate(std::size_t bytes, char*& at);
  // The first byte of room for `bytes` bytes, not handed out until commit(bytes): a writer that
  // turns out to need more asks again for more.
  char* room(std::size_t bytes);
  // Hands out the first `bytes` bytes of the last room asked for and answers their offset.
  std::uint64_t commit(std::size_t bytes);
  const char* at(std::uint64_t offset) const {
    return m_chunks[offset >> 32].data.get() + (offset & 0xFFFFFFFF);
  }
  // Bytes handed out so far.
  std::size_t used() const { return m_used; }
  void clear();

 private:
  struct chunk_t {
    std::unique_ptr<char[], chunk_release_t> data;
    std::size_t size = 0;
    std::size_t capacity = 0;
  };
  static std::unique_ptr<char[], chunk_release_t> allocate_chunk(std::size_t bytes);

  std::vector<chunk_t> m_chunks;
  std::size_t m_used = 0;
};

}  // namespace source_view4::packed_text
