// The value document as a caller hands it over: the rows the evaluators read,
// and the item code row written into a document and read back.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "core/text_check.h"
#include "core/value_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string item_code = input.ConsumeRandomLengthString(64);
  const std::string text = input.ConsumeRemainingBytesAsString();

  quillet::XmlDocument given;
  if (given.loadXML(text)) {
    quillet::ItemCode(given);
    for (int type = 0; type <= 36; ++type) quillet::RowOfType(given, type);
  }

  quillet::XmlDocument standard;
  if (!standard.loadXML(quillet::StandardRowSetText())) std::abort();
  quillet::AddItemCodeRow(standard, item_code);
  // Set as attribute text, a valid text comes back unchanged.
  if (!quillet::TextProblem(item_code) && quillet::ItemCode(standard) != item_code) {
    std::abort();
  }
  return 0;
}
