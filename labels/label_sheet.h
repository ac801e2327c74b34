// A column of labels in one SVG: each serial number's barcode with the serial
// number written under it, for printing several at once.
#ifndef QUILLET_LABELS_LABEL_SHEET_H_
#define QUILLET_LABELS_LABEL_SHEET_H_

#include <cstddef>
#include <string>
#include <vector>

#include "labels/barcode.h"

namespace quillet::labels {

// The most labels one sheet takes: a batch is at most this long too.
inline constexpr std::size_t kMaxSheetLabels = 32766;

// The SVG of one label per serial number, top to bottom, sized in
// millimetres. Raises what BarcodeSvg raises for the first serial it refuses
// (the message names it), errc::kNotEncodable for no serial at all, and
// errc::kRequestTooLarge past kMaxSheetLabels. Thread-safe.
std::string LabelSheetSvg(const std::vector<std::string>& serials, Symbology symbology,
                          double module_mm);

}  // namespace quillet::labels

#endif  // QUILLET_LABELS_LABEL_SHEET_H_
