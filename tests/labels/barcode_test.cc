// Barcodes: each SVG, drawn by rsvg-convert, reads back as its text in a
// barcode reader (zbarimg; dmtxread for Data Matrix, which zbar does not
// read); and the texts each symbology refuses.
#include "labels/barcode.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/backends.h"
#include "tests/support/raised.h"

namespace quillet::labels {
namespace {

using testing::Raised;

bool Have(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null").c_str()) == 0;
}

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  char buffer[256];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  ::pclose(pipe);
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// What a reader makes of the SVG, drawn at 96 dpi (1 mm module: about 4 px).
std::string Decoded(const std::string& svg, Symbology symbology) {
  const std::string stem = testing::TempPath("quillet_barcode_");
  std::ofstream(stem + ".svg") << svg;
  const std::string png = stem + ".png";
  std::string read = "rsvg-convert -b white -o " + png + " " + stem + ".svg && ";
  if (symbology == Symbology::kDataMatrix || symbology == Symbology::kGs1DataMatrix) {
    read += "dmtxread -N1 " + png + " 2>/dev/null";
  } else {
    read += "zbarimg -q --raw " + png;
  }
  std::string text = Output(read);
  std::filesystem::remove(stem + ".svg");
  std::filesystem::remove(png);
  return text;
}

BarcodeOptions Options(double module_mm, double bar_height = 0, std::string gtin = "",
                       bool human_readable = true) {
  BarcodeOptions options;
  options.module_mm = module_mm;
  options.bar_height = bar_height;
  options.gtin = std::move(gtin);
  options.human_readable = human_readable;
  return options;
}

constexpr const char* kSerials[] = {"LW01-2405-0001", "AST-240506-0001", "SN-20240506-00001"};

TEST(BarcodeTest, ReadersDecodeEachSymbolToItsText) {
  if (!Have("rsvg-convert") || !Have("zbarimg") || !Have("dmtxread")) {
    GTEST_SKIP() << "needs rsvg-convert, zbarimg and dmtxread (scripts/setup.sh)";
  }
  const BarcodeOptions options = Options(1.0);
  for (const char* serial : kSerials) {
    for (const Symbology symbology :
         {Symbology::kCode128, Symbology::kQrCode, Symbology::kDataMatrix}) {
      EXPECT_EQ(Decoded(BarcodeSvg(serial, symbology, options), symbology), serial)
          << SymbologyWord(symbology) << " " << serial;
    }
    // GS1 readers hand over the element string: AI (21), then the serial.
    EXPECT_EQ(Decoded(BarcodeSvg(serial, Symbology::kGs1_128, options), Symbology::kGs1_128),
              std::string("21") + serial);
  }
  // Outside ASCII the text is marked as UTF-8 (ECI 26), which dmtxread hands
  // over as it is, a byte 26 before the text.
  EXPECT_EQ(Decoded(BarcodeSvg("北京-0001", Symbology::kQrCode, options), Symbology::kQrCode),
            "北京-0001");
  EXPECT_EQ(
      Decoded(BarcodeSvg("北京-0001", Symbology::kDataMatrix, options), Symbology::kDataMatrix),
      "\x1A北京-0001");
}

TEST(BarcodeTest, SvgIsWellFormedAndScaledByTheModule) {
  const std::string svg = BarcodeSvg("A&B<1>", Symbology::kCode128, Options(0.5));
  xmlDocPtr document = xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "barcode.svg",
                                     nullptr, XML_PARSE_NONET);
  ASSERT_NE(document, nullptr) << svg;
  xmlFreeDoc(document);
  EXPECT_NE(svg.find(">A&amp;B&lt;1&gt;</text>"), std::string::npos) << svg;
  // Code 128 of "A&B<1>": 11 modules a character, start and check included, 13
  // for the stop, 10 of quiet zone either side.
  EXPECT_NE(svg.find("width=\"60.5mm\""), std::string::npos) << svg;
  const std::string bare = BarcodeSvg("A&B<1>", Symbology::kCode128, Options(0.33, 0, "", false));
  EXPECT_EQ(bare.find("<text"), std::string::npos);
  EXPECT_EQ(BarcodeSvg("X", Symbology::kQrCode).find("<text"), std::string::npos);
}

TEST(BarcodeTest, RefusesWhatCannotBeEncoded) {
  const struct {
    std::string text;
    Symbology symbology;
    BarcodeOptions options;
    int32_t number;
    std::string_view says;
  } refusals[] = {
      {std::string(257, '1'), Symbology::kQrCode, Options(0.33), errc::kRequestTooLarge,
       "257 bytes"},
      {std::string("SN\0001", 4), Symbology::kCode128, Options(0.33), errc::kInvalidText, "NUL"},
      {"\xFF", Symbology::kDataMatrix, Options(0.33), errc::kInvalidText, "UTF-8"},
      {"", Symbology::kQrCode, Options(0.33), errc::kNotEncodable, "empty"},
      {"北京-0001", Symbology::kCode128, Options(0.33), errc::kNotEncodable, "8859-1"},
      {"北京-0001", Symbology::kGs1_128, Options(0.33), errc::kNotEncodable, "GS1"},
      {"SN 0001", Symbology::kGs1DataMatrix, Options(0.33), errc::kNotEncodable, "21"},
      {"SN-20240506-000000001", Symbology::kGs1_128, Options(0.33), errc::kNotEncodable, "length"},
      {"SN[10]X", Symbology::kGs1_128, Options(0.33), errc::kNotEncodable, "brackets"},
      {"SN-1", Symbology::kGs1_128, Options(0.33, 0, "09506000134351"), errc::kNotEncodable,
       "check"},
      {"SN-1", Symbology::kQrCode, Options(0), errc::kInvalidArgument, "module"},
      {"SN-1", Symbology::kCode128, Options(0.33, 501), errc::kInvalidArgument, "height"},
  };
  for (const auto& refusal : refusals) {
    const Error error =
        Raised([&] { BarcodeSvg(refusal.text, refusal.symbology, refusal.options); });
    EXPECT_EQ(error.number(), refusal.number) << refusal.text << ": " << error.what();
    EXPECT_NE(std::string(error.what()).find(refusal.says), std::string::npos) << error.what();
  }
  // The GTIN goes before the serial number.
  EXPECT_NE(BarcodeSvg("SN-1", Symbology::kGs1_128, Options(0.33, 0, "09506000134352"))
                .find("(01)09506000134352(21)SN-1"),
            std::string::npos);
  for (const std::string_view word : {"code128", "GS1-128", "qr", "datamatrix", "gs1-datamatrix"}) {
    ASSERT_TRUE(SymbologyOf(word)) << word;
    EXPECT_EQ(SymbologyOf(SymbologyWord(*SymbologyOf(word))), SymbologyOf(word));
  }
}

}  // namespace
}  // namespace quillet::labels
