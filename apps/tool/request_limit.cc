#include "apps/tool/request_limit.h"

#include <limits>

#include "quillet/error.h"
#include "quillet/limits.h"

namespace quillet::tool {

void AddMaxRequestOption(CLI::App& command, std::size_t& max_bytes) {
  max_bytes = limits::kDefaultMaxRequestBytes;
  command
      .add_option("--max-request", max_bytes,
                  "the largest request in bytes: one line of input, the arguments of a call")
      ->envname(limits::kMaxRequestVariable)
      ->capture_default_str()
      ->check(CLI::Range(std::size_t{1}, std::numeric_limits<std::size_t>::max() / 2));
}

UsageError RequestTooLarge(std::size_t max_bytes) {
  return UsageError(errc::kRequestTooLarge, "the request is larger than " +
                                                std::to_string(max_bytes) +
                                                " bytes (raise the bound with --max-request or " +
                                                limits::kMaxRequestVariable + ")");
}

LineRead ReadBoundedLine(std::istream& in, std::size_t max_bytes, std::string& line) {
  line.clear();
  std::streambuf* buffer = in.rdbuf();
  bool any = false;
  bool too_long = false;
  for (;;) {
    const int c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      if (!any) return LineRead::kEnd;
      break;
    }
    any = true;
    if (c == '\n') break;
    if (line.size() < max_bytes) {
      line += static_cast<char>(c);
    } else {
      too_long = true;
    }
  }
  return too_long ? LineRead::kTooLong : LineRead::kLine;
}

std::string ReadBoundedText(std::istream& in, std::size_t max_bytes) {
  std::string text;
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    text.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (text.size() > max_bytes) throw RequestTooLarge(max_bytes);
  }
  return text;
}

}  // namespace quillet::tool
