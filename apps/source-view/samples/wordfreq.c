/* wordfreq: counts the words of a built-in text and prints the most frequent ones.
   The viewer's bundled coverage sample: scripts/make-samples builds it with gcc --coverage,
   runs it and keeps gcov's reports beside it. */
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MAX_WORDS 512
#define MAX_LEN 32

struct entry {
  char word[MAX_LEN];
  int count;
};

static struct entry table[MAX_WORDS];
static int used;

static const char *text =
    "the quick brown fox jumps over the lazy dog and the dog sleeps while the fox runs "
    "into the woods where the trees are tall and the night is dark and quiet";

/* Finds a word in the table, adding it when new; NULL when the table is full. */
static struct entry *lookup(const char *word) {
  for (int i = 0; i < used; ++i)
    if (strcmp(table[i].word, word) == 0) return &table[i];
  if (used == MAX_WORDS) return NULL;
  strncpy(table[used].word, word, MAX_LEN - 1);
  table[used].count = 0;
  return &table[used++];
}

/* Splits the text into lower-case words and counts each one. */
static void count_words(const char *s) {
  char word[MAX_LEN];
  int n = 0;
  for (;; ++s) {
    if (isalpha((unsigned char)*s) && n < MAX_LEN - 1) {
      word[n++] = (char)tolower((unsigned char)*s);
      continue;
    }
    if (n > 0) {
      word[n] = '\0';
      struct entry *e = lookup(word);
      if (e != NULL) e->count++;
      else fprintf(stderr, "table full\n");
      n = 0;
    }
    if (*s == '\0') break;
  }
}

static int by_count(const void *a, const void *b) {
  const struct entry *x = a, *y = b;
  if (x->count != y->count) return y->count - x->count;
  return strcmp(x->word, y->word);
}

/* Never called by main: shows as a function with no calls. */
static void print_all(void) {
  for (int i = 0; i < used; ++i) printf("%s %d\n", table[i].word, table[i].count);
}

int main(int argc, char **argv) {
  int rounds = argc > 1 ? atoi(argv[1]) : 40;
  for (int r = 0; r < rounds; ++r) {
    used = 0;
    count_words(text);
  }
  qsort(table, (size_t)used, sizeof table[0], by_count);
  int shown = used < 5 ? used : 5;
  for (int i = 0; i < shown; ++i) printf("%-8s %d\n", table[i].word, table[i].count);
  if (argc > 2) print_all();
  return 0;
}
