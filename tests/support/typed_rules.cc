#include "tests/support/typed_rules.h"

namespace quillet::testing {

std::vector<Segment> Segments(std::initializer_list<const char*> words) {
  std::vector<Segment> segments;
  for (const char* word : words) segments.push_back(ParseSegment(word));
  return segments;
}

Numbering OpenAs(const std::string& connection_string, const std::string& user) {
  return Numbering::Open(connection_string, {.locale = "en-US", .user = user});
}

}  // namespace quillet::testing
