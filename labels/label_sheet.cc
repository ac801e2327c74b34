#include "labels/label_sheet.h"

#include <charconv>
#include <string_view>

#include "core/xml_writer.h"
#include "quillet/error.h"

namespace quillet::labels {
namespace {

constexpr double kGapMm = 4;       // between one label and the next
constexpr double kTextMm = 3;      // the height of the serial's text
constexpr double kMarginMm = 2.5;  // around the column

// The millimetres of the SVG's attribute `name` ("width=\"12.5mm\"").
double Millimetres(std::string_view svg, std::string_view name) {
  const std::string key = " " + std::string(name) + "=\"";
  const std::size_t at = svg.find(key);
  if (at == std::string_view::npos) return 0;
  const char* first = svg.data() + at + key.size();
  double value = 0;
  std::from_chars(first, svg.data() + svg.size(), value);
  return value;
}

std::string Number(double value) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
  return std::string(buffer, ec == std::errc() ? end : buffer);
}

struct Placed {
  std::string body;  // the symbol's <svg> element from its viewBox on
  double width = 0, height = 0;
};

Placed Symbol(const std::string& serial, Symbology symbology, double module_mm) {
  BarcodeOptions options;
  options.module_mm = module_mm;
  options.human_readable = false;  // the sheet writes every serial the same way
  std::string svg;
  try {
    svg = BarcodeSvg(serial, symbology, options);
  } catch (const Error& error) {
    throw Error(error.number(), "serial number " + serial + ": " + error.description());
  }
  // From the viewBox on: the sheet writes the element's own position and size.
  return {svg.substr(svg.find(" viewBox=")), Millimetres(svg, "width"), Millimetres(svg, "height")};
}

}  // namespace

std::string LabelSheetSvg(const std::vector<std::string>& serials, Symbology symbology,
                          double module_mm) {
  if (serials.empty()) throw Error(errc::kNotEncodable, "there is no serial number to label");
  if (serials.size() > kMaxSheetLabels) {
    throw Error(errc::kRequestTooLarge,
                "at most " + std::to_string(kMaxSheetLabels) + " labels go on one sheet");
  }
  std::string labels;
  double y = kMarginMm;
  double widest = 0;
  for (const std::string& serial : serials) {
    Placed symbol = Symbol(serial, symbology, module_mm);
    // The symbol keeps its own size in mm; placed at (margin, y) of the sheet.
    const std::string position = "<svg x=\"" + Number(kMarginMm) + "\" y=\"" + Number(y) +
                                 "\" width=\"" + Number(symbol.width) + "\" height=\"" +
                                 Number(symbol.height) + "\"";
    labels += position + symbol.body;
    y += symbol.height + kTextMm;
    labels += "<text x=\"" + Number(kMarginMm + symbol.width / 2) + "\" y=\"" + Number(y) +
              "\" font-family=\"monospace\" font-size=\"" + Number(kTextMm) +
              "\" text-anchor=\"middle\">" + EscapeAttribute(serial) + "</text>\n";
    y += kGapMm;
    if (symbol.width > widest) widest = symbol.width;
  }
  const double width = widest + 2 * kMarginMm;
  const double height = y - kGapMm + kMarginMm;
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
         Number(width) + "mm\" height=\"" + Number(height) + "mm\" viewBox=\"0 0 " + Number(width) +
         " " + Number(height) + "\">\n<rect width=\"100%\" height=\"100%\" " + "fill=\"#fff\"/>\n" +
         labels + "</svg>\n";
}

}  // namespace quillet::labels
