// SOURCE_VIEW4_EXPORT marks the classes and functions the shared library exports; everything
// else stays inside it.
#pragma once

#define SOURCE_VIEW4_EXPORT __attribute__((visibility("default")))
