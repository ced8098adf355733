// Where tests write the files they produce: the build folder when CTest runs them (it sets
// SV4_BUILD_DIR), the test framework's temporary folder otherwise, never the working directory.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace sv4_test {

inline std::string output_path(const std::string& file_name) {
  const char* dir = std::getenv("SV4_BUILD_DIR");
  std::string folder = dir != nullptr ? dir : ::testing::TempDir();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + file_name;
}

}  // namespace sv4_test
