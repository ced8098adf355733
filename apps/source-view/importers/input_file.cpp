// Whole-file reading through zlib (which passes plain files through), mapped inputs that give
// back what was read, line walking, UTF-8 checks through GLib.
#include "input_file.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "import_error.h"

namespace source_view_app {

namespace {

struct gz_closer {
  void operator()(gzFile file) const { gzclose(file); }
};

std::string gz_message(gzFile file) {
  int code = 0;
  const char* text = gzerror(file, &code);
  if (code == Z_ERRNO) return std::strerror(errno);
  return text ? text : "read error";
}

[[noreturn]] void fail_to_open(const std::string& path) {
  throw import_error(path, 0, std::string("cannot open: ") + std::strerror(errno));
}

struct fd_closer_t {
  int fd;
  ~fd_closer_t() { close(fd); }
};

bool is_gzip(int fd) {
  unsigned char magic[2] = {0, 0};
  return pread(fd, magic, 2, 0) == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
}

}  // namespace

// Pipes, devices and gzip data are read whole; a plain regular file is mapped.
input_bytes_t::input_bytes_t(const std::string& path) {
  errno = 0;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail_to_open(path);
  fd_closer_t closer{fd};
  struct stat info {};
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 && !is_gzip(fd)) {
    void* map = mmap(nullptr, std::size_t(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      madvise(map, std::size_t(info.st_size), MADV_SEQUENTIAL);
      m_map = map;
      m_map_size = std::size_t(info.st_size);
      m_text = std::string_view(static_cast<const char*>(map), m_map_size);
      return;
    }
  }
  m_decompressed = read_input(path);
  m_text = m_decompressed;
}

input_bytes_t::~input_bytes_t() {
  if (m_map) munmap(m_map, m_map_size);
}

void input_bytes_t::release_before(std::size_t offset) {
  if (!m_map) return;
  static const auto page = std::size_t(sysconf(_SC_PAGESIZE));
  std::size_t end = std::min(offset, m_map_size) / page * page;
  if (end <= m_released) return;
  madvise(static_cast<char*>(m_map) + m_released, end - m_released, MADV_DONTNEED);
  m_released = end;
}

std::string read_input(const std::string& path) {
  errno = 0;
  std::unique_ptr<gzFile_s, gz_closer> file(gzopen(path.c_str(), "rb"));
  if (!file) fail_to_open(path);
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    int got = gzread(file.get(), buffer, sizeof buffer);
    if (got < 0) throw import_error(path, 0, "cannot read: " + gz_message(file.get()));
    if (got == 0) break;
    bytes.append(buffer, std::size_t(got));
  }
  // zlib reports a compressed stream cut short only as an error state after the last read.
  int code = 0;
  gzerror(file.get(), &code);
  if (code != Z_OK && code != Z_STREAM_END)
    throw import_error(path, 0, "damaged compressed data: " + gz_message(file.get()));
  return bytes;
}

bool line_reader_t::next(std::string_view& line) {
  if (m_pos >= m_text.size()) return false;
  std::size_t end = m_text.find('\n', m_pos);
  std::size_t stop = end == std::string_view::npos ? m_text.size() : end;
  line = m_text.substr(m_pos, stop - m_pos);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
  ++m_line;
  if (m_observer && m_pos >= m_next_report) {
    m_observer->reached(m_pos);
    m_next_report = m_pos + report_every;
  }
  return true;
}

void check_utf8(const std::string& file, unsigned line, std::string_view text) {
  const gchar* bad = nullptr;
  if (g_utf8_validate(text.data(), gssize(text.size()), &bad)) return;
  auto column = std::size_t(bad - text.data()) + 1;
  throw import_error(file, line, "invalid UTF-8 at column " + std::to_string(column));
}

void check_not_binary(const std::string& file, std::string_view bytes) {
  std::size_t nul = bytes.find('\0');
  if (nul == std::string_view::npos) return;
  unsigned line = 1;
  for (std::size_t i = 0; i < nul; ++i) line += bytes[i] == '\n';
  throw import_error(file, line, "binary data (a NUL byte), not a text file");
}

namespace {

// Gives back the pages of a mapped input behind its reader.
class releasing_observer_t final : public read_observer_t {
 public:
  explicit releasing_observer_t(input_bytes_t& bytes) : m_bytes(bytes) {}
  void reached(std::size_t offset) override { m_bytes.release_before(offset); }

 private:
  input_bytes_t& m_bytes;
};

}  // namespace

source_text_t read_source_lines(const std::string& path) {
  input_bytes_t bytes(path);
  releasing_observer_t releaser(bytes);
  return source_lines_of(bytes.text(), &releaser);
}

source_text_t source_lines_of(std::string_view text, read_observer_t* observer) {
  line_reader_t reader(text, observer);
  source_text_t lines;
  std::string_view line;
  while (reader.next(line)) {
    if (g_utf8_validate(line.data(), gssize(line.size()), nullptr)) {
      lines.push_back(line);
      continue;
    }
    gchar* valid = g_utf8_make_valid(line.data(), gssize(line.size()));
    lines.push_back(valid);
    g_free(valid);
  }
  return lines;
}

std::wstring widen(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  const char* p = utf8.data();
  const char* end = p + utf8.size();
  while (p < end) {
    gunichar c = g_utf8_get_char_validated(p, end - p);
    if (c == gunichar(-1) || c == gunichar(-2)) {  // not UTF-8: one replacement per byte
      wide.push_back(L'\uFFFD');
      ++p;
      continue;
    }
    wide.push_back(wchar_t(c));
    p = g_utf8_next_char(p);
  }
  return wide;
}

}  // namespace source_view_app
