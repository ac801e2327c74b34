#include "labels/barcode.h"

#include <zint.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <utility>

#include "core/ascii_case.h"
#include "core/text_check.h"
#include "core/xml_writer.h"
#include "quillet/error.h"

namespace quillet::labels {
namespace {

struct SymbologyRow {
  Symbology symbology;
  std::string_view word;
  std::string_view name;  // for messages
  int zint;
  bool gs1;
};

constexpr std::array<SymbologyRow, 5> kSymbologies = {{
    {Symbology::kCode128, "code128", "Code 128", BARCODE_CODE128, false},
    {Symbology::kGs1_128, "gs1-128", "GS1-128", BARCODE_GS1_128, true},
    {Symbology::kQrCode, "qr", "QR Code", BARCODE_QRCODE, false},
    {Symbology::kDataMatrix, "datamatrix", "Data Matrix", BARCODE_DATAMATRIX, false},
    {Symbology::kGs1DataMatrix, "gs1-datamatrix", "GS1 Data Matrix", BARCODE_DATAMATRIX, true},
}};

const SymbologyRow& RowOf(Symbology symbology) {
  for (const SymbologyRow& row : kSymbologies) {
    if (row.symbology == symbology) return row;
  }
  return kSymbologies[0];
}

// libzint's UTF-8 ECI: readers then decode the bytes as UTF-8.
constexpr int kEciUtf8 = 26;

using Symbol = std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)>;

[[noreturn]] void NotEncodable(const SymbologyRow& row, std::string_view text,
                               std::string_view reason) {
  throw Error(errc::kNotEncodable, std::string(row.name) + " cannot encode \"" + std::string(text) +
                                       "\": " + std::string(reason));
}

void CheckOptions(const BarcodeOptions& options) {
  if (!(options.module_mm > 0 && options.module_mm <= 10)) {
    throw Error(errc::kInvalidArgument,
                "a barcode's module size must be above 0 and at most 10 mm");
  }
  if (!(options.bar_height >= 0 && options.bar_height <= 500)) {
    throw Error(errc::kInvalidArgument, "a barcode's bar height must be 0 to 500 modules");
  }
}

// A GS1 symbol's element string: the serial number as AI (21), after the GTIN
// as AI (01) when one is given. Brackets delimit the AIs, so a bracket in the
// serial would smuggle in another one; GS1 has no brackets in its character set.
std::string Gs1Data(const SymbologyRow& row, std::string_view text, const BarcodeOptions& options) {
  if (text.find_first_of("[]") != std::string_view::npos) {
    NotEncodable(row, text, "GS1 serial numbers hold no brackets");
  }
  if (!std::all_of(options.gtin.begin(), options.gtin.end(),
                   [](char c) { return c >= '0' && c <= '9'; })) {
    NotEncodable(row, text, "the GTIN \"" + options.gtin + "\" is not digits");
  }
  std::string data;
  if (!options.gtin.empty()) data = "[01]" + options.gtin;
  return data + "[21]" + std::string(text);
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

Symbol Encode(const SymbologyRow& row, std::string_view text, const BarcodeOptions& options) {
  Symbol symbol(ZBarcode_Create(), &ZBarcode_Delete);
  if (!symbol) throw Error(errc::kNotEncodable, "libzint has no memory for a symbol");
  symbol->symbology = row.zint;
  symbol->input_mode = row.gs1 ? GS1_MODE : UNICODE_MODE;
  symbol->output_options |= BARCODE_QUIET_ZONES;
  // libzint only warns of a symbol outside its standard (a GS1 field with a
  // character GS1 does not allow, a GTIN whose check digit is wrong): a label
  // that readers may refuse is refused here.
  symbol->warn_level = WARN_FAIL_ALL;
  symbol->show_hrt = options.human_readable ? 1 : 0;
  // libzint's vectors measure two units per module at scale 1: at 0.5 one
  // unit is one module.
  symbol->scale = 0.5f;
  if (options.bar_height > 0) symbol->height = static_cast<float>(options.bar_height);
  // Square Data Matrix symbols: every reader takes them; not all read the
  // rectangular ones.
  if (row.zint == BARCODE_DATAMATRIX) symbol->option_3 = DM_SQUARE;
  if (!row.gs1 && row.zint != BARCODE_CODE128 && !IsAscii(text)) symbol->eci = kEciUtf8;
  const std::string data = row.gs1 ? Gs1Data(row, text, options) : std::string(text);
  const int status = ZBarcode_Encode_and_Buffer_Vector(
      symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
      static_cast<int>(data.size()), 0);
  if (status >= ZINT_ERROR || symbol->vector == nullptr) {
    std::string_view reason = symbol->errtxt;
    // "Error 204: Invalid character ..." -> "Invalid character ...".
    if (const auto colon = reason.find(": ");
        reason.starts_with("Error ") && colon != reason.npos) {
      reason.remove_prefix(colon + 2);
    }
    NotEncodable(row, text, reason);
  }
  return symbol;
}

void AppendNumber(std::string& out, float value) {
  std::array<char, 32> buffer;
  const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  out.append(buffer.data(), ec == std::errc() ? end : buffer.data());
}

// Every dark module of the symbol as one path: "M x,y h w v h h -w z" each.
void AppendBars(std::string& out, const zint_vector& vector) {
  out += "<path fill=\"#000\" d=\"";
  for (const zint_vector_rect* rect = vector.rectangles; rect != nullptr; rect = rect->next) {
    out += 'M';
    AppendNumber(out, rect->x);
    out += ',';
    AppendNumber(out, rect->y);
    out += 'h';
    AppendNumber(out, rect->width);
    out += 'v';
    AppendNumber(out, rect->height);
    out += 'h';
    AppendNumber(out, -rect->width);
    out += 'z';
  }
  out += "\"/>\n";
}

void AppendTexts(std::string& out, const zint_vector& vector) {
  for (const zint_vector_string* text = vector.strings; text != nullptr; text = text->next) {
    constexpr std::array<std::string_view, 3> kAnchors = {"middle", "start", "end"};
    out += "<text x=\"";
    AppendNumber(out, text->x);
    out += "\" y=\"";
    AppendNumber(out, text->y);
    out += "\" font-family=\"monospace\" font-size=\"";
    AppendNumber(out, text->fsize);
    out += "\" text-anchor=\"";
    out += kAnchors[static_cast<std::size_t>(std::clamp(text->halign, 0, 2))];
    out += "\">";
    out += EscapeAttribute(std::string_view(reinterpret_cast<const char*>(text->text),
                                            static_cast<std::size_t>(std::max(text->length, 0))));
    out += "</text>\n";
  }
}

std::string Svg(const zint_vector& vector, const BarcodeOptions& options) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
  AppendNumber(out, static_cast<float>(vector.width * options.module_mm));
  out += "mm\" height=\"";
  AppendNumber(out, static_cast<float>(vector.height * options.module_mm));
  out += "mm\" viewBox=\"0 0 ";
  AppendNumber(out, vector.width);
  out += ' ';
  AppendNumber(out, vector.height);
  out += "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
  AppendBars(out, vector);
  AppendTexts(out, vector);
  out += "</svg>\n";
  return out;
}

}  // namespace

std::string_view SymbologyWord(Symbology symbology) { return RowOf(symbology).word; }

std::optional<Symbology> SymbologyOf(std::string_view word) {
  for (const SymbologyRow& row : kSymbologies) {
    if (service::EqualsIgnoringAsciiCase(word, row.word)) return row.symbology;
  }
  return std::nullopt;
}

std::string_view SymbologyWords() { return "code128, gs1-128, qr, datamatrix, gs1-datamatrix"; }

std::string BarcodeSvg(std::string_view text, Symbology symbology, const BarcodeOptions& options) {
  RequireValidText(text, "a barcode's text");
  if (text.size() > kMaxBarcodeTextBytes) {
    throw Error(errc::kRequestTooLarge, "a barcode's text is " + std::to_string(text.size()) +
                                            " bytes; at most " +
                                            std::to_string(kMaxBarcodeTextBytes) + " are encoded");
  }
  const SymbologyRow& row = RowOf(symbology);
  if (text.empty()) NotEncodable(row, text, "the text is empty");
  CheckOptions(options);
  const Symbol symbol = Encode(row, text, options);
  return Svg(*symbol->vector, options);
}

}  // namespace quillet::labels
