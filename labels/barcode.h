// Barcodes of serial numbers as SVG, for labels: the symbol drawn by libzint,
// the SVG written here from its vector form (dark modules only, on a white
// ground, with the quiet zones each symbology needs).
//
// What each symbology takes (anything else is refused, errc::kNotEncodable,
// with libzint's reason):
//   code128         ISO 8859-1 characters (ASCII and Western European letters);
//                   no CJK. Text under the bars when human_readable.
//   gs1-128         the serial as GS1 application identifier (21), optionally
//   gs1-datamatrix  after a GTIN (01): at most 20 characters of GS1's 82
//                   (letters, digits and !"%&'()*+,-./:;<=>?_), no brackets.
//   qr, datamatrix  any UTF-8 text; outside ASCII it is marked as UTF-8 (ECI 26)
//                   so that readers do not guess another encoding.
#ifndef QUILLET_LABELS_BARCODE_H_
#define QUILLET_LABELS_BARCODE_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::labels {

enum class Symbology { kCode128, kGs1_128, kQrCode, kDataMatrix, kGs1DataMatrix };

// The longest text a barcode is made of, in bytes: serial numbers are far
// shorter, and a bound keeps every symbol small.
inline constexpr std::size_t kMaxBarcodeTextBytes = 256;

// "code128", "gs1-128", "qr", "datamatrix", "gs1-datamatrix". Pure.
std::string_view SymbologyWord(Symbology symbology);

// The symbology of a word, in any case; nullopt for another word. Pure.
std::optional<Symbology> SymbologyOf(std::string_view word);

// The words a symbology may be written as, for messages.
std::string_view SymbologyWords();

struct BarcodeOptions {
  // The X dimension: the width of the narrowest bar or of a matrix module, in
  // millimetres (the SVG's width and height are given in mm). (0, 10].
  double module_mm = 0.33;
  // The height of a linear symbol's bars in modules, 0 for libzint's own
  // (50 for Code 128); matrix symbols are square. [0, 500].
  double bar_height = 0;
  // The text under a linear symbol; matrix symbols carry none.
  bool human_readable = true;
  // GS1 forms: a GTIN (14 digits, its check digit right) to put before the
  // serial number; empty for the serial number alone.
  std::string gtin;
};

// The SVG document of `text` in `symbology`. Raises Error errc::kInvalidText
// for a text that is not UTF-8 or holds a NUL, errc::kRequestTooLarge past
// kMaxBarcodeTextBytes, errc::kInvalidArgument for options out of range, and
// errc::kNotEncodable for an empty text or one the symbology cannot take (the
// message says why). Thread-safe: each call has its own libzint symbol.
std::string BarcodeSvg(std::string_view text, Symbology symbology,
                       const BarcodeOptions& options = {});

}  // namespace quillet::labels

#endif  // QUILLET_LABELS_BARCODE_H_
