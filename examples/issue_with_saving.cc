// Issues two serial numbers for a document line and uses them up, then says
// which rule gave them.
//
//   issue_with_saving CONNECTION_STRING ITEM [DEPARTMENT]
#include <quillet/numbering.h>

#include <iostream>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: issue_with_saving CONNECTION_STRING ITEM [DEPARTMENT]\n";
    return 2;
  }
  try {
    quillet::Numbering numbering =
        quillet::Numbering::Open(argv[1], {.locale = "en-US", .user = "example"});
    quillet::IssueRequest request{.item = argv[2], .date = "2024-05-06", .count = 2, .save = true};
    if (argc > 3) request.values["department"] = argv[3];

    const quillet::IssueResult result = numbering.Issue(request);
    if (result.reason) {
      // No serial number is an answer, not a failure: it says why.
      std::cerr << "no serial number: " << result.reason->text << '\n';
      return 1;
    }
    for (const std::string& serial : result.serial_numbers) std::cout << serial << '\n';
    std::cout << "from the rule \"" << result.rule << "\" of "
              << quillet::FormatOwner(*result.owner) << " (" << result.checked_owners.size()
              << " owners asked)\n";
  } catch (const quillet::Failure& failure) {
    std::cerr << quillet::FailureKindName(failure.kind()) << ", error " << failure.number() << ": "
              << failure.what() << '\n';
    return 1;
  }
  return 0;
}
