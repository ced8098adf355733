// Fuzz target for the viewer's importers: the input's first byte picks gcov text, gcov JSON,
// tab-separated data or a callgrind profile, the rest is the file. Every input must either be
// read or be refused with an import_error that names the file and a line within it; any other
// exception, a crash or undefined behaviour is a finding.
#include <cstdint>
#include <string>
#include <string_view>

#include "callgrind.h"
#include "fuzz_support.h"
#include "gcov_json.h"
#include "gcov_text.h"
#include "import_error.h"
#include "tsv.h"

namespace {

using namespace source_view_app;

const std::string input_name = "fuzz-input";

std::size_t line_count(std::string_view text) {
  std::size_t lines = 1;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  return lines;
}

void import(unsigned char format, std::string_view text) {
  switch (format % 4) {
    case 0:
      parse_gcov_text(input_name, text);
      return;
    case 1:
      list_gcov_json(input_name, text);
      return;
    case 2:
      parse_tsv(input_name, text);
      return;
    default: {
      callgrind_profile_t profile;
      parse_callgrind(input_name, text, profile);
      for (const callgrind_line_t& line : profile.lines)
        SV4_FUZZ_CHECK(line.cost + profile.event_count() <= profile.costs.size());
      return;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  try {
    import(data[0], text);
  } catch (const import_error& error) {
    SV4_FUZZ_CHECK(error.file() == input_name);
    SV4_FUZZ_CHECK(error.line() <= line_count(text));
    SV4_FUZZ_CHECK(!error.message().empty());
  }
  return 0;
}
