#include "apps/tool/label_output.h"

#include <filesystem>
#include <fstream>
#include <iostream>

#include "apps/tool/commands.h"

namespace quillet::tool {

void AddLabelOptions(CLI::App& command, LabelOptions& options) {
  command
      .add_option("--symbology", options.symbology,
                  "code128 (default), qr, datamatrix, gs1-128 or gs1-datamatrix")
      ->type_name("NAME")
      ->check([](const std::string& word) {
        return LabelSymbologyOf(word)
                   ? std::string()
                   : "unknown symbology '" + word +
                         "' (symbologies: " + std::string(LabelSymbologyWords()) + ")";
      });
  command.add_option("--module", options.module_mm, "the narrowest bar or module, in mm")
      ->type_name("MM")
      ->check(CLI::Range(0.05, 10.0));
}

void WriteLabels(const std::vector<std::string>& serials, const LabelOptions& options,
                 const std::string& path) {
  const std::string svg =
      LabelSheetSvg(serials, *LabelSymbologyOf(options.symbology), options.module_mm);
  if (path.empty() || path == "-") {
    std::cout << svg << std::flush;
    return;
  }
  // Written beside the file, then moved over it: a failure leaves no half label.
  const std::string partial = path + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out << svg;
    out.close();
    if (!out) {
      std::filesystem::remove(partial);
      throw ToolFailure("cannot write the labels to " + path);
    }
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  if (error) {
    std::filesystem::remove(partial);
    throw ToolFailure("cannot write the labels to " + path + ": " + error.message());
  }
}

}  // namespace quillet::tool
