// The typed face of the barcodes: the engine's symbologies under public
// names, and its errors as Failures.
#include "quillet/label.h"

#include "labels/barcode.h"
#include "labels/label_sheet.h"
#include "quillet/failure.h"

namespace quillet {
namespace {

labels::Symbology EngineSymbology(LabelSymbology symbology) {
  switch (symbology) {
    case LabelSymbology::kCode128:
      return labels::Symbology::kCode128;
    case LabelSymbology::kGs1_128:
      return labels::Symbology::kGs1_128;
    case LabelSymbology::kQrCode:
      return labels::Symbology::kQrCode;
    case LabelSymbology::kDataMatrix:
      return labels::Symbology::kDataMatrix;
    case LabelSymbology::kGs1DataMatrix:
      return labels::Symbology::kGs1DataMatrix;
  }
  return labels::Symbology::kCode128;
}

constexpr LabelSymbology kAll[] = {LabelSymbology::kCode128, LabelSymbology::kGs1_128,
                                   LabelSymbology::kQrCode, LabelSymbology::kDataMatrix,
                                   LabelSymbology::kGs1DataMatrix};

}  // namespace

std::string_view LabelSymbologyWord(LabelSymbology symbology) {
  return labels::SymbologyWord(EngineSymbology(symbology));
}

std::optional<LabelSymbology> LabelSymbologyOf(std::string_view word) {
  const std::optional<labels::Symbology> engine = labels::SymbologyOf(word);
  if (!engine) return std::nullopt;
  for (const LabelSymbology symbology : kAll) {
    if (EngineSymbology(symbology) == *engine) return symbology;
  }
  return std::nullopt;
}

std::string_view LabelSymbologyWords() { return labels::SymbologyWords(); }

std::string LabelSvg(std::string_view serial, LabelSymbology symbology, double module_mm) {
  labels::BarcodeOptions options;
  options.module_mm = module_mm;
  options.human_readable = false;  // a label writes the serial number itself, under the symbol
  try {
    return labels::BarcodeSvg(serial, EngineSymbology(symbology), options);
  } catch (const Error& error) {
    throw Failure(FailureKind::kInvalidRequest, error.number(), error.description());
  }
}

std::string LabelSheetSvg(const std::vector<std::string>& serials, LabelSymbology symbology,
                          double module_mm) {
  try {
    return labels::LabelSheetSvg(serials, EngineSymbology(symbology), module_mm);
  } catch (const Error& error) {
    throw Failure(FailureKind::kInvalidRequest, error.number(), error.description());
  }
}

}  // namespace quillet
