// mix.h: a hash step that the optimiser inlines into its callers, so that its lines are costs of
// another function in another file.
static inline unsigned mix(unsigned h, unsigned v) {
  h ^= v + 0x9e3779b9u + (h << 6) + (h >> 2);
  if (h & 1) h = h * 2654435761u;
  return h;
}
