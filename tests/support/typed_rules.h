// What the tests of the typed interface write again and again: rules from
// their segment words, and the interface opened as the test's user.
#ifndef QUILLET_TESTS_SUPPORT_TYPED_RULES_H_
#define QUILLET_TESTS_SUPPORT_TYPED_RULES_H_

#include <initializer_list>
#include <string>
#include <vector>

#include "quillet/numbering.h"

namespace quillet::testing {

// Each word read by ParseSegment, as a rule is written on the command line.
std::vector<Segment> Segments(std::initializer_list<const char*> words);

// The typed interface on `connection_string`, in English, for `user`.
Numbering OpenAs(const std::string& connection_string, const std::string& user = "tester");

}  // namespace quillet::testing

#endif  // QUILLET_TESTS_SUPPORT_TYPED_RULES_H_
