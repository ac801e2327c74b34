// The locale the component speaks on each worker thread. The component reads
// its language objects and locale id once per thread, at init; the service
// installs one language component for the process that answers each thread
// with the locale that thread asked for last, so that every request can be
// answered in its own locale.
#ifndef QUILLET_SERVE_THREAD_LOCALE_H_
#define QUILLET_SERVE_THREAD_LOCALE_H_

#include <string>

namespace quillet::serve {

// Installs that language component, process-wide; threads that asked for no
// locale get `fallback`. Thread-safe.
void InstallThreadLocaleLanguage(const std::string& fallback);

// Makes `locale` the one this thread's next init reads.
void SetThreadLocale(const std::string& locale);

// Sets `locale` and sets the component's language state of this thread up
// again, as an init does, at once; the component objects of the thread
// answer in it from now on. Raises quillet::Error when that set-up fails.
void SwitchThreadLocale(const std::string& locale);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_THREAD_LOCALE_H_
