// Writing labels of serial numbers: the symbology option the commands share,
// and the SVG written to a file or stdout.
#ifndef QUILLET_APPS_TOOL_LABEL_OUTPUT_H_
#define QUILLET_APPS_TOOL_LABEL_OUTPUT_H_

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "quillet/label.h"

namespace quillet::tool {

struct LabelOptions {
  std::string symbology = "code128";
  double module_mm = 0.33;
};

// --symbology and --module on `command`.
void AddLabelOptions(CLI::App& command, LabelOptions& options);

// The labels of `serials` as one SVG, written to `path` ("-" or "" for
// stdout) whole or not at all. Raises ToolFailure for a file that cannot be
// written, Failure for a serial the symbology refuses.
void WriteLabels(const std::vector<std::string>& serials, const LabelOptions& options,
                 const std::string& path);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_LABEL_OUTPUT_H_
