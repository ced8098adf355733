// Reading input files: whole files (gzip-compressed or plain), line by line with line numbers,
// UTF-8 checks that name the line at fault, and source files made valid for display.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace source_view_app {

// The bytes of `path`, decompressed when they are gzip data (plain files pass through). Throws
// import_error naming the file when it cannot be read or the compressed data is damaged.
std::string read_input(const std::string& path);

// Walks `text` line by line; line ends are "\n" or "\r\n", a last line without an end counts.
class line_reader_t {
 public:
  explicit line_reader_t(std::string_view text) : m_text(text) {}
  // The next line without its end; false at the end of the text.
  bool next(std::string_view& line);
  unsigned line_number() const { return m_line; }  // 1-based number of the line last read

 private:
  std::string_view m_text;
  std::size_t m_pos = 0;
  unsigned m_line = 0;
};

// Throws import_error(file, line, ...) when `text` is not valid UTF-8.
void check_utf8(const std::string& file, unsigned line, std::string_view text);

// Throws import_error(file, 0, ...) when the bytes hold a NUL byte (a binary file).
void check_not_binary(const std::string& file, std::string_view bytes);

// The lines of a source file; bytes that are not UTF-8 become U+FFFD so that any source can be
// shown. Throws import_error naming the file when it cannot be read.
std::vector<std::string> read_source_lines(const std::string& path);

// Splits text into lines (no line ends), as line_reader_t does.
std::vector<std::string> split_lines(std::string_view text);

// UTF-8 to the component's wide strings.
std::wstring widen(std::string_view utf8);

}  // namespace source_view_app
