// Barcodes of any text in any symbology, with any options in range, and the
// check characters of what a reader hands back.
#include <fuzzer/FuzzedDataProvider.h>

#include "core/check_character.h"
#include "labels/barcode.h"
#include "quillet/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const auto symbology =
      static_cast<quillet::labels::Symbology>(input.ConsumeIntegralInRange(0, 4));
  quillet::labels::BarcodeOptions options;
  options.human_readable = input.ConsumeBool();
  options.bar_height = input.ConsumeIntegralInRange(0, 500);
  options.gtin = input.ConsumeRandomLengthString(16);
  const std::string text = input.ConsumeRemainingBytesAsString();

  for (const auto method :
       {quillet::CheckMethod::kMod10, quillet::CheckMethod::kLuhn, quillet::CheckMethod::kMod97}) {
    const std::string check = quillet::CheckCharacters(method, text);
    if (!text.empty() && !quillet::HasValidCheckCharacters(method, text + check)) __builtin_trap();
  }
  try {
    quillet::labels::BarcodeSvg(text, symbology, options);
  } catch (const quillet::Error&) {
    // Refusals are answers; anything else escapes and fails the run.
  }
  return 0;
}
