// Barcodes of serial numbers, for the labels stuck on the items: an SVG
// document with the symbol's dark modules on a white ground, sized in
// millimetres.
#ifndef QUILLET_LABEL_H_
#define QUILLET_LABEL_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/export.h"

namespace quillet {

// code128 takes Latin-1 text and prints it under the bars; qr and datamatrix
// take any UTF-8 text. The GS1 forms carry the serial number as application
// identifier (21): at most 20 characters of GS1's set.
enum class LabelSymbology { kCode128, kGs1_128, kQrCode, kDataMatrix, kGs1DataMatrix };

// The longest serial number a barcode is made of, in bytes.
inline constexpr std::size_t kMaxLabelTextBytes = 256;

// "code128", "gs1-128", "qr", "datamatrix", "gs1-datamatrix". Pure.
QUILLET_EXPORT std::string_view LabelSymbologyWord(LabelSymbology symbology);

// The symbology of a word, in any case; nullopt for another. Pure.
QUILLET_EXPORT std::optional<LabelSymbology> LabelSymbologyOf(std::string_view word);

// The words a symbology may be written as, for messages.
QUILLET_EXPORT std::string_view LabelSymbologyWords();

// The SVG of `serial` in `symbology`, modules of `module_mm` millimetres: the
// symbol alone, without the text that Code 128 may print under its bars.
// Throws Failure (kInvalidRequest): errc::kInvalidText for a text that is not
// UTF-8 or holds a NUL, errc::kRequestTooLarge past kMaxLabelTextBytes,
// errc::kInvalidArgument for a module size outside (0, 10], and
// errc::kNotEncodable for an empty serial or one the symbology cannot take
// (the message says why). Pure; thread-safe.
QUILLET_EXPORT std::string LabelSvg(std::string_view serial, LabelSymbology symbology,
                                    double module_mm = 0.33);

// One SVG of a label per serial number, top to bottom: the barcode and the
// serial number written under it. Throws as LabelSvg does for the first
// serial refused (the message names it), and errc::kRequestTooLarge past
// 32766 labels. Pure; thread-safe.
QUILLET_EXPORT std::string LabelSheetSvg(const std::vector<std::string>& serials,
                                         LabelSymbology symbology, double module_mm = 0.33);

}  // namespace quillet

#endif  // QUILLET_LABEL_H_
