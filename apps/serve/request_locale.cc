#include "apps/serve/request_locale.h"

#include <httplib.h>

#include <cctype>

#include "apps/serve/problem.h"

namespace quillet::serve {
namespace {

constexpr std::size_t kPartLimit = 8;
constexpr std::size_t kTagLimit = 35;

bool IsTagPart(std::string_view part, bool first) {
  if (part.empty() || part.size() > kPartLimit) return false;
  for (const char c : part) {
    const auto byte = static_cast<unsigned char>(c);
    if (!(std::isalpha(byte) || (!first && std::isdigit(byte)))) return false;
  }
  return true;
}

std::string_view FirstLanguage(std::string_view header) {
  header = header.substr(0, header.find(','));
  header = header.substr(0, header.find(';'));
  const std::size_t first = header.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  header.remove_prefix(first);
  return header.substr(0, header.find(' '));
}

}  // namespace

bool IsLanguageTag(std::string_view text) {
  if (text.size() > kTagLimit) return false;
  bool first = true;
  while (true) {
    const std::size_t hyphen = text.find('-');
    if (!IsTagPart(text.substr(0, hyphen), first)) return false;
    if (hyphen == std::string_view::npos) return true;
    text.remove_prefix(hyphen + 1);
    first = false;
  }
}

std::string RequestLocale(const httplib::Request& request, const std::string& fallback) {
  if (request.has_param("locale")) {
    const std::string asked = request.get_param_value("locale");
    if (!IsLanguageTag(asked)) {
      throw BadInput("locale", "locale '" + asked + "' is not a language tag such as zh-CN");
    }
    return asked;
  }
  // The header's value is a copy: the view into it must not outlive it.
  const std::string header = request.get_header_value("Accept-Language");
  const std::string_view accepted = FirstLanguage(header);
  if (IsLanguageTag(accepted)) return std::string(accepted);
  return fallback;
}

}  // namespace quillet::serve
