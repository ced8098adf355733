// SOURCE_VIEW4_EXPORT marks the classes and functions the shared library exports; everything
// else stays inside it. SOURCE_VIEW4_LOCAL keeps a member of an exported class (a nested helper
// class, say) out of the exported interface.
#pragma once

#define SOURCE_VIEW4_EXPORT __attribute__((visibility("default")))
#define SOURCE_VIEW4_LOCAL __attribute__((visibility("hidden")))
