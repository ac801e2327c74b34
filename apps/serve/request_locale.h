// Which locale a request is answered in.
#ifndef QUILLET_SERVE_REQUEST_LOCALE_H_
#define QUILLET_SERVE_REQUEST_LOCALE_H_

#include <string>
#include <string_view>

namespace httplib {
struct Request;
}

namespace quillet::serve {

// The query parameter `locale`, else the first language of Accept-Language,
// else `fallback`. Raises a 400 Problem naming "locale" for a parameter that
// is not a language tag; an Accept-Language that is none is passed over.
std::string RequestLocale(const httplib::Request& request, const std::string& fallback);

// Whether `text` has the form of a language tag: letters, then parts of
// letters and digits after hyphens ("zh-CN", "en", "sr-Latn-RS"). Pure.
bool IsLanguageTag(std::string_view text);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_REQUEST_LOCALE_H_
