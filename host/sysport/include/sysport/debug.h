// The platform layer's assertion hook: failed preconditions are reported here.
// The hook calls an installable handler; the default one writes one line to stderr and returns.
#pragma once

#pragma GCC visibility push(default)

namespace SYSPORT_2_18 {
namespace debug {
namespace _private {

// Receives (expression text, source file, line, function name) of a failed precondition.
using assertion_handler_t = void (*)(const char* expression, const char* file, int line,
                                     const char* function);

// Reports a failed precondition to the installed handler. Returns when the handler returns.
void assertion_failed(const char* expression, const char* file, int line, const char* function);

// Installs a handler (null restores the default one) and answers the one it replaces.
assertion_handler_t set_assertion_handler(assertion_handler_t handler);

// The handler in force after start-up: one line on stderr.
void default_assertion_handler(const char* expression, const char* file, int line,
                               const char* function);

}  // namespace _private
}  // namespace debug
}  // namespace SYSPORT_2_18

namespace sysport = SYSPORT_2_18;

#pragma GCC visibility pop

// Checks a precondition and reports the failure; the caller decides what to do next.
#define SYSPORT_CHECK(expression)                                                           \
  ((expression) ? true                                                                      \
                : (::SYSPORT_2_18::debug::_private::assertion_failed(#expression, __FILE__, \
                                                                     __LINE__, __func__),   \
                   false))
