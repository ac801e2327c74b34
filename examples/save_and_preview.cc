// Saves a rule for the floor lamps, written in the segment notation, and
// previews the next serial number of one of them without using it up.
//
//   save_and_preview CONNECTION_STRING
#include <quillet/numbering.h>

#include <iostream>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: save_and_preview CONNECTION_STRING\n";
    return 2;
  }
  try {
    quillet::Numbering numbering = quillet::Numbering::Open(argv[1], {.locale = "en-US"});
    std::vector<quillet::Segment> segments;
    for (const char* word : {"text=FL-", "date=YYMM-", "number,width=4,start=100"}) {
      segments.push_back(quillet::ParseSegment(word));
    }
    const quillet::SavedRule saved = numbering.SaveRule(
        {.owner = quillet::RuleOwner::Class("0102"), .name = "Floor lamps", .segments = segments});
    std::cout << (saved.created ? "saved a new rule " : "saved the rule ") << saved.rule.name
              << " of " << quillet::FormatOwner(saved.rule.owner) << '\n';

    const quillet::PreviewResult preview =
        numbering.Preview({.item = "LW-FL-300", .date = "2024-05-06"});
    if (preview.reason) {
      std::cerr << "no serial number: " << preview.reason->text << '\n';
      return 1;
    }
    std::cout << "next serial number " << preview.serial_number << " (prefix "
              << preview.parts.prefix << ", running number " << preview.parts.running_number
              << ")\n";
  } catch (const quillet::Failure& failure) {
    std::cerr << quillet::FailureKindName(failure.kind()) << ", error " << failure.number() << ": "
              << failure.what() << '\n';
    return 1;
  }
  return 0;
}
