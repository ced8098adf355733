// A small C program in two files, built with debug information and run twice under valgrind's
// callgrind once per test process: the profiles the viewer's tests open.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "gcov_run.h"

namespace source_view_test {

// The folder with prog.c (main calls work 50 times from line 5), work.c (the loop), the program
// and its profiles cg.1 and cg.2.
inline const std::string& callgrind_dir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/source-view-cg-XXXXXX";
    std::string made = mkdtemp(pattern);
    static std::string to_remove = made;
    std::atexit([] { std::system(("rm -rf '" + to_remove + "'").c_str()); });
    write_all(made + "/prog.c",
              "#include <stdio.h>\nlong work(int n);\nint main(void) {\n  long t = 0;\n"
              "  for (int k = 0; k < 50; ++k) t += work(1000);\n  printf(\"%ld\\n\", t);\n"
              "  return 0;\n}\n");
    write_all(made + "/work.c",
              "long work(int n) {\n  long s = 0;\n  for (int i = 0; i < n; ++i)\n"
              "    s += i % 7;\n  return s;\n}\n");
    // The sanitizers' options must not reach the compiler, valgrind or the program.
    std::string env = "env -u ASAN_OPTIONS -u UBSAN_OPTIONS -u LSAN_OPTIONS -u LD_PRELOAD ";
    std::string run = env + "valgrind --tool=callgrind --callgrind-out-file=";
    run_in(made, env + "cc -g -O0 prog.c work.c -o prog && " + run + "cg.1 ./prog && " + run +
                     "cg.2 ./prog");
    return made;
  }();
  return dir;
}

}  // namespace source_view_test
