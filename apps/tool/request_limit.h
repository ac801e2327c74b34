// The bound on one request of the tool: one line of `quillet rpc`, the
// arguments of `quillet call`. Input beyond it is refused, and read no
// further into memory than the bound.
#ifndef QUILLET_APPS_TOOL_REQUEST_LIMIT_H_
#define QUILLET_APPS_TOOL_REQUEST_LIMIT_H_

#include <CLI/CLI.hpp>
#include <cstddef>
#include <istream>
#include <string>

#include "quillet/dispatch.h"

namespace quillet::tool {

// Adds --max-request BYTES to `command`: default from QUILLET_MAX_REQUEST,
// else limits::kDefaultMaxRequestBytes (quillet/limits.h); at least 1.
void AddMaxRequestOption(CLI::App& command, std::size_t& max_bytes);

// The refusal of a request larger than `max_bytes`: errc::kRequestTooLarge.
UsageError RequestTooLarge(std::size_t max_bytes);

enum class LineRead { kLine, kTooLong, kEnd };

// Reads the next line of `in` into `line`, without its line end. A line of
// more than `max_bytes` bytes is read to its end and dropped (kTooLong,
// `line` holding its first `max_bytes` bytes); kEnd when nothing was left.
LineRead ReadBoundedLine(std::istream& in, std::size_t max_bytes, std::string& line);

// The text of `in`, read to its end. Throws RequestTooLarge as soon as more
// than `max_bytes` bytes were read.
std::string ReadBoundedText(std::istream& in, std::size_t max_bytes);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_REQUEST_LIMIT_H_
