// quillet label SN...: barcodes of serial numbers as one SVG of labels.
#include <memory>
#include <string>
#include <vector>

#include "apps/tool/commands.h"
#include "apps/tool/label_output.h"

namespace quillet::tool {
namespace {

struct LabelCommandOptions {
  std::vector<std::string> serials;
  LabelOptions label;
  std::string out;
};

}  // namespace

Command AddLabelCommand(CLI::App& tool) {
  auto options = std::make_shared<LabelCommandOptions>();
  CLI::App* command =
      tool.add_subcommand("label", "labels of serial numbers: barcodes with the text under them");
  command->add_option("SN", options->serials, "the serial numbers, one label each")->required();
  AddLabelOptions(*command, options->label);
  command->add_option("--out", options->out, "write the SVG to FILE (default: stdout)")
      ->type_name("FILE.svg");
  command->footer(
      "Writes one SVG with a label per serial number, top to bottom: the barcode and the\n"
      "serial number under it, sized in millimetres for printing. Needs no database. Code 128\n"
      "takes Latin-1 text; QR Code and Data Matrix any text.\n"
      "\n"
      "Examples:\n"
      "  quillet label LW01-2405-0001 --out label.svg\n"
      "  quillet label SN-20240506-00005 SN-20240506-00006 --symbology qr > labels.svg");
  return {command, [options] {
            return RunReported("label", [&] {
              WriteLabels(options->serials, options->label, options->out);
              return kExitOk;
            });
          }};
}

}  // namespace quillet::tool
