// The text functions of the segment rules, on any value, width text, pad sign
// and date pattern, and the check of the texts the component accepts.
#include <fuzzer/FuzzedDataProvider.h>

#include "core/text_check.h"
#include "core/text_functions.h"
#include "quillet/limits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string width = input.ConsumeRandomLengthString(16);
  const std::string pad = input.ConsumeRandomLengthString(8);
  const std::string pattern = input.ConsumeRandomLengthString(32);
  const std::string value = input.ConsumeRemainingBytesAsString();

  quillet::TextProblem(value);
  quillet::GetByteLen(value);
  quillet::GetLongValue(value);
  quillet::FormatDateValue(value, pattern);
  // Rule saves keep widths within the bound; PatchValue builds what it is given.
  if (quillet::GetLongValue(width) <= quillet::limits::kMaxSegmentWidth) {
    quillet::PatchValue(value, width, pad);
  }
  return 0;
}
