// Reading input files: whole files (gzip-compressed or plain), line by line with line numbers,
// UTF-8 checks that name the line at fault, and source files made valid for display.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "coverage.h"

namespace source_view_app {

// The bytes of `path`, decompressed when they are gzip data (plain files pass through). Throws
// import_error naming the file when it cannot be read or the compressed data is damaged.
std::string read_input(const std::string& path);

// Told how far a reader has got in its text, about once a MiB: the loader gives back the pages
// of a mapped input behind that place and shows progress.
class read_observer_t {
 public:
  // Every byte before `offset` (from the start of the text) has been read.
  virtual void reached(std::size_t offset) = 0;

 protected:
  ~read_observer_t() = default;
};

// Walks `text` line by line; line ends are "\n" or "\r\n", a last line without an end counts.
class line_reader_t {
 public:
  explicit line_reader_t(std::string_view text, read_observer_t* observer = nullptr)
      : m_text(text), m_observer(observer) {}
  // The next line without its end; false at the end of the text.
  bool next(std::string_view& line);
  unsigned line_number() const { return m_line; }  // 1-based number of the line last read

 private:
  static constexpr std::size_t report_every = std::size_t(1) << 20;

  std::string_view m_text;
  read_observer_t* m_observer;
  std::size_t m_pos = 0;
  std::size_t m_next_report = report_every;
  unsigned m_line = 0;
};

// The bytes of an input file. A plain file is mapped, and release_before gives back the pages
// already read, so that a large input never stays resident whole; gzip data is decompressed into
// memory. Throws import_error naming the file when it cannot be read or the compressed data is
// damaged.
class input_bytes_t {
 public:
  explicit input_bytes_t(const std::string& path);
  ~input_bytes_t();
  input_bytes_t(const input_bytes_t&) = delete;
  input_bytes_t& operator=(const input_bytes_t&) = delete;

  std::string_view text() const { return m_text; }
  // The bytes before `offset` will not be read again (reading them still works, from the file).
  void release_before(std::size_t offset);

 private:
  std::string m_decompressed;
  void* m_map = nullptr;
  std::size_t m_map_size = 0;
  std::size_t m_released = 0;
  std::string_view m_text;
};

// Throws import_error(file, line, ...) when `text` is not valid UTF-8.
void check_utf8(const std::string& file, unsigned line, std::string_view text);

// Throws import_error(file, 0, ...) when the bytes hold a NUL byte (a binary file).
void check_not_binary(const std::string& file, std::string_view bytes);

// The lines of a source file; bytes that are not UTF-8 become U+FFFD so that any source can be
// shown. Throws import_error naming the file when it cannot be read.
source_text_t read_source_lines(const std::string& path);

// The same for text already read; line by line, so that the text is held once: in the result.
// `observer`, when given, is told how far the reading has got.
source_text_t source_lines_of(std::string_view text, read_observer_t* observer = nullptr);

// UTF-8 to the component's wide strings.
std::wstring widen(std::string_view utf8);

}  // namespace source_view_app
