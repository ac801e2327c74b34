#include "apps/tool/segment_explanation.h"

#include "core/segment_notation.h"

namespace quillet::tool {
namespace {

namespace source = notation::source;
using notation::IsFreeItem;
using notation::IsMappedSource;
using notation::SourceName;
using notation::UsesWidth;

int TypeOf(const Segment& segment) { return static_cast<int>(segment.source); }

std::string SourceWords(int type) {
  switch (type) {
    case source::kLot:
      return "lot number";
    case source::kItem:
      return "item code";
    case source::kClass:
      return "item's class";
    default:
      break;
  }
  const std::string name = SourceName(type);
  if (name.starts_with("free")) return "free item " + name.substr(4);
  return name;
}

// Free items have mappings too, but serial numbers take their values as they are.
bool IsMapped(int type) { return IsMappedSource(type) && !IsFreeItem(type); }

bool CanBeEmpty(int type) { return type != source::kClass && type != source::kItem; }

// The first character of a UTF-8 text (the whole of a multi-byte one).
std::string FirstCharacter(const std::string& text) {
  if (text.empty()) return text;
  std::size_t length = 1;
  while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
    ++length;
  }
  return text.substr(0, length);
}

std::string Repeated(const std::string& text, int32_t times) {
  std::string out;
  for (int32_t i = 0; i < times; ++i) out += text;
  return out;
}

std::string FittedWords(const Segment& segment) {
  std::string words = std::string(IsMapped(TypeOf(segment)) ? "mapped or " : "") + "fitted to " +
                      std::to_string(segment.width) + " characters";
  const std::string pad = FirstCharacter(segment.pad);
  if (!pad.empty() && pad != "0" && pad != " ") words += " (pad " + pad + ")";
  if (!CanBeEmpty(TypeOf(segment))) return words;
  if (segment.fill.empty()) return words + "; required";
  const std::string filled = Repeated(FirstCharacter(segment.fill), segment.width);
  return words + "; " + (filled.empty() ? "nothing" : filled) + " when empty";
}

std::string RunningNumberWords(const Segment& segment) {
  if (segment.step == 0) {
    return "running number in " + std::to_string(segment.width) +
           " digits, up 1 per serial number (a batch repeats it: step 0)";
  }
  return "running number in " + std::to_string(segment.width) + " digits, up " +
         std::to_string(segment.step) + " per serial number";
}

std::string CheckWords(const NumberingPolicy& policy) {
  if (!policy.check) return {};
  const bool two = *policy.check == CheckMethod::kMod97;
  return "; then " + std::string(two ? "two " : "one ") +
         std::string(CheckMethodWord(*policy.check)) + " check " + (two ? "digits" : "digit") +
         " over the whole serial number";
}

}  // namespace

std::string ExplainSegment(const Segment& segment) {
  switch (TypeOf(segment)) {
    case source::kDate:
      if (segment.format.size() < 3) return "date as it stands";
      return "date written " + segment.format;
    case source::kText:
      return segment.format.empty() ? "nothing (empty text)" : "the text " + segment.format;
    case source::kNumber:
      return RunningNumberWords(segment) + CheckWords(segment.policy);
    case source::kDepartment:
    case source::kClass:
      return SourceWords(TypeOf(segment)) + " cut to level " + segment.format + ", " +
             FittedWords(segment);
    default:
      break;
  }
  if (!UsesWidth(TypeOf(segment)))
    return "nothing (no data source has type " + std::to_string(TypeOf(segment)) + ")";
  return SourceWords(TypeOf(segment)) + ", " + FittedWords(segment);
}

}  // namespace quillet::tool
