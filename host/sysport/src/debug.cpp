// The assertion hook and its default handler.
#include "sysport/debug.h"

#include <atomic>
#include <cstdio>

namespace SYSPORT_2_18 {
namespace debug {
namespace _private {

namespace {
std::atomic<assertion_handler_t> installed_handler{&default_assertion_handler};
}

void default_assertion_handler(const char* expression, const char* file, int line,
                               const char* function) {
  std::fprintf(stderr, "assertion failed: %s (%s:%d, %s)\n", expression ? expression : "",
               file ? file : "", line, function ? function : "");
}

void assertion_failed(const char* expression, const char* file, int line, const char* function) {
  installed_handler.load()(expression, file, line, function);
}

assertion_handler_t set_assertion_handler(assertion_handler_t handler) {
  return installed_handler.exchange(handler ? handler : &default_assertion_handler);
}

}  // namespace _private
}  // namespace debug
}  // namespace SYSPORT_2_18
