// import_error: the "FILE:LINE: message" form of an input fault.
#include "import_error.h"

namespace source_view_app {

namespace {
std::string describe(const std::string& file, unsigned line, const std::string& message) {
  if (line == 0) return file + ": " + message;
  return file + ":" + std::to_string(line) + ": " + message;
}
}  // namespace

import_error::import_error(std::string file, unsigned line, std::string message)
    : std::runtime_error(describe(file, line, message)),
      m_file(std::move(file)),
      m_line(line),
      m_message(std::move(message)) {}

}  // namespace source_view_app
