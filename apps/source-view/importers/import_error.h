// import_error: what every importer throws for bad input, naming the file and the line at fault.
#pragma once
#include <stdexcept>
#include <string>

namespace source_view_app {

// A fault in an input file. `line` is 1-based; 0 when the fault concerns the file as a whole
// (missing, unreadable, truncated archive). what() is "FILE:LINE: message" (or "FILE: message").
class import_error : public std::runtime_error {
 public:
  import_error(std::string file, unsigned line, std::string message);
  const std::string& file() const { return m_file; }
  unsigned line() const { return m_line; }
  const std::string& message() const { return m_message; }

 private:
  std::string m_file;
  unsigned m_line;
  std::string m_message;
};

}  // namespace source_view_app
