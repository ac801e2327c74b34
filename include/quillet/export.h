// QUILLET_EXPORT marks what the shared library exports: the library is
// compiled with hidden visibility, so everything else stays inside it.
#ifndef QUILLET_EXPORT_H_
#define QUILLET_EXPORT_H_

#if defined(__GNUC__) || defined(__clang__)
#define QUILLET_EXPORT __attribute__((visibility("default")))
#else
#define QUILLET_EXPORT
#endif

#endif  // QUILLET_EXPORT_H_
