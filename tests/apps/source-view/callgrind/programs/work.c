// work.c: a small program to profile: loops, calls from several lines, a table with cache misses,
// the inlined mix() from mix.h, and step() called three times so that a dump before each call
// splits the run into parts.
#include <stdio.h>

#include "mix.h"

static unsigned table[1 << 14];

__attribute__((noinline)) unsigned step(unsigned seed, int rounds) {
  unsigned h = seed;
  for (int i = 0; i < rounds; ++i) {
    h = mix(h, (unsigned)i);
    table[h & ((1 << 14) - 1)] += h;
  }
  return h;
}

__attribute__((noinline)) static unsigned sum_table(int stride) {
  unsigned s = 0;
  for (int i = 0; i < (1 << 14); i += stride) s += table[i];
  return s;
}

int main(int argc, char** argv) {
  unsigned h = (unsigned)argc;
  for (int r = 1; r <= 3; ++r) h ^= step(h, 300 * r);
  if (argc > 5) puts(argv[1]);
  printf("%u %u\n", h, sum_table(7) + sum_table(3));
  return 0;
}
