#include "core/segment_notation.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <limits>
#include <set>

#include "core/ascii_case.h"
#include "core/nearest_word.h"
#include "core/number_text.h"
#include "quillet/error.h"
#include "quillet/limits.h"

namespace quillet::notation {
namespace {

struct NamedSource {
  std::string_view name;
  int type;
};

constexpr std::array<NamedSource, 21> kNamedSources = {{
    {"date", source::kDate},
    {"lot", source::kLot},
    {"department", source::kDepartment},
    {"workcenter", 3},
    {"warehouse", 4},
    {"clerk", 5},
    {"supplier", 6},
    {"class", source::kClass},
    {"item", source::kItem},
    {"text", source::kText},
    {"number", source::kNumber},
    {"free1", 20},
    {"free2", 21},
    {"free3", 28},
    {"free4", 29},
    {"free5", 30},
    {"free6", 31},
    {"free7", 32},
    {"free8", 33},
    {"free9", 34},
    {"free10", 35},
}};

constexpr std::string_view kUnnamedPrefix = "type";

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The key of the value after the source name, if the source takes one.
std::optional<std::string_view> HeadKey(int type) {
  switch (type) {
    case source::kDate:
      return "pattern";
    case source::kDepartment:
    case source::kClass:
      return "level";
    case source::kText:
      return "text";
    default:
      return std::nullopt;
  }
}

// What the value after the source name means, as messages say it.
std::optional<std::string_view> HeadMeaning(int type) {
  const std::optional<std::string_view> key = HeadKey(type);
  if (key == "text") return "fixed text";
  return key;
}

// The key under which a source without a head value carries its format.
std::string_view FormatKey(int type) { return type == source::kNumber ? "start" : "format"; }

// ---- escapes ----------------------------------------------------------------

void AppendUtf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

// `\u{HEX}` starting at text[at] == 'u'; returns the position after '}'.
std::size_t ReadCodePoint(std::string_view text, std::size_t at, std::string& out) {
  const std::string_view bad = "'\\u' must be followed by {HEX}, e.g. \\u{2C} for a comma";
  if (at + 1 >= text.size() || text[at + 1] != '{') throw NotationError(std::string(bad));
  const std::size_t close = text.find('}', at + 2);
  if (close == std::string_view::npos) throw NotationError(std::string(bad));
  const std::string_view hex = text.substr(at + 2, close - at - 2);
  uint32_t code_point = 0;
  const auto [stop, problem] = std::from_chars(hex.data(), hex.data() + hex.size(), code_point, 16);
  if (hex.empty() || hex.size() > 6 || problem != std::errc() || stop != hex.data() + hex.size() ||
      code_point > 0x10FFFF || (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    throw NotationError("'\\u{" + std::string(hex) + "}' is not a character");
  }
  if (code_point == 0) {
    throw NotationError("'\\u{" + std::string(hex) + "}' (NUL) cannot be part of a value",
                        errc::kInvalidText);
  }
  AppendUtf8(out, code_point);
  return close + 1;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '\\') {
      out += text[i++];
      continue;
    }
    if (i + 1 == text.size()) throw NotationError("a '\\' at the end escapes nothing");
    const char next = text[i + 1];
    switch (next) {
      case '\\':
      case ',':
      case '=':
        out += next;
        i += 2;
        break;
      case 'n':
        out += '\n';
        i += 2;
        break;
      case 'r':
        out += '\r';
        i += 2;
        break;
      case 't':
        out += '\t';
        i += 2;
        break;
      case 'u':
        i = ReadCodePoint(text, i + 1, out);
        break;
      default:
        throw NotationError("unknown escape '\\" + std::string(1, next) +
                            "' (escapes: \\, \\= \\\\ \\n \\r \\t \\u{HEX})");
    }
  }
  return out;
}

std::string Escape(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == ',' || c == '=' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\u{";
      if (byte >= 0x10) out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
      out += '}';
    } else {
      out += c;
    }
  }
  return out;
}

// ---- splitting --------------------------------------------------------------

// The parts of a word between unescaped commas, escapes kept.
std::vector<std::string_view> SplitParts(std::string_view word) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (word[i] == '\\') {
      ++i;
    } else if (word[i] == ',') {
      parts.push_back(word.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(word.substr(start));
  return parts;
}

struct Part {
  std::string_view name;
  std::optional<std::string_view> value;  // escapes kept; nullopt without '='
};

// Name and value of a part, split at its first unescaped '='.
Part SplitPart(std::string_view part) {
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (part[i] == '\\') {
      ++i;
    } else if (part[i] == '=') {
      return {part.substr(0, i), part.substr(i + 1)};
    }
  }
  return {part, std::nullopt};
}

// ---- reading ----------------------------------------------------------------

int ReadSource(std::string_view name) {
  if (name.empty()) throw NotationError("the segment has no data source before its first ','");
  if (const std::optional<int> type = SourceType(name)) return *type;
  std::string known;
  std::vector<std::string> names;
  for (const std::string_view source_name : SourceNames()) {
    known += known.empty() ? "" : ", ";
    known += source_name;
    names.emplace_back(source_name);
  }
  throw NotationError("unknown data source '" + std::string(name) + "'" + DidYouMean(name, names) +
                      " (data sources: " + known + ")");
}

int32_t ReadWhole(std::string_view key, const std::string& value, int32_t minimum) {
  const std::optional<int32_t> number = service::ParseNumber<int32_t>(value);
  if (!number) throw NotationError(std::string(key) + " '" + value + "' is not a whole number");
  if (*number < minimum) {
    throw NotationError(std::string(key) + " " + value + " is below " + std::to_string(minimum));
  }
  return *number;
}

class SegmentReader {
 public:
  explicit SegmentReader(int type) : source_name_(SourceName(type)) {
    segment_.type = type;
    segment_.step = type == source::kNumber ? 1 : 0;
    if (type == source::kNumber) segment_.format = "1";
  }

  void ReadHead(std::string_view escaped_value) {
    const std::optional<std::string_view> meaning = HeadMeaning(segment_.type);
    if (!meaning) {
      throw NotationError(source_name_ + " takes no value after '='; write " + source_name_ + "," +
                          std::string(FormatKey(segment_.type)) + "=...");
    }
    segment_.format = Unescape(escaped_value);
    if (*meaning == "level" && !segment_.format.empty() && !AllDigits(segment_.format)) {
      throw NotationError(source_name_ + " level '" + segment_.format + "' is not a whole number");
    }
  }

  void ReadSetting(const Part& part) {
    const std::string key = service::AsciiLowered(part.name);
    if (key.empty()) throw NotationError("empty setting between commas in " + source_name_);
    if (!part.value) {
      throw NotationError("setting '" + std::string(part.name) +
                          "' needs a value: " + std::string(part.name) + "=...");
    }
    if (!seen_.insert(key).second) throw NotationError(key + " is given twice");
    const std::string value = Unescape(*part.value);
    if (key == "width") {
      segment_.width = ReadWhole(key, value, 0);
      RequireWidthInRange();
    } else if (key == "step") {
      segment_.step = ReadWhole(key, value, std::numeric_limits<int32_t>::min());
    } else if (key == "pad") {
      segment_.pad = value;
    } else if (key == "fill") {
      segment_.fill = value;
    } else if (key == "start" || key == "format") {
      ReadFormatKey(key, value);
    } else if (IsPolicyKey(key)) {
      ReadPolicy(key, value);
    } else {
      throw NotationError("unknown setting '" + std::string(part.name) + "' in " + source_name_ +
                          DidYouMean(key, KnownKeys()) + " (settings: " + KnownKeyList() + ")");
    }
  }

  static bool IsPolicyKey(const std::string& key) {
    return key == "restart" || key == "end" || key == "warn" || key == "journal" ||
           key == "unique" || key == "check";
  }

  void ReadPolicy(const std::string& key, const std::string& value) {
    if (segment_.type != source::kNumber) {
      throw NotationError(key + " is a setting of the running number (number,...), not of " +
                          source_name_);
    }
    NumberingPolicy& policy = segment_.policy;
    if (key == "restart") {
      const std::optional<Restart> restart = RestartOf(value);
      if (!restart) {
        throw NotationError("restart '" + value + "' is not one of " + std::string(RestartWords()));
      }
      policy.restart = *restart;
    } else if (key == "check") {
      policy.check = CheckMethodOf(value);
      if (!policy.check) {
        throw NotationError("check '" + value + "' is not one of " +
                            std::string(CheckMethodWords()));
      }
    } else if (key == "end" || key == "warn") {
      (key == "end" ? policy.end : policy.warn) =
          ReadWhole(key, value, std::numeric_limits<int32_t>::min());
    } else {
      const std::optional<bool> yes = YesNoOf(value);
      if (!yes) throw NotationError(key + " '" + value + "' is not yes or no");
      (key == "journal" ? policy.journal : policy.unique) = *yes;
    }
  }

  Segment Finish() const {
    if (UsesWidth(segment_.type) && !seen_.contains("width")) {
      throw NotationError(source_name_ + " needs a width: " + source_name_ +
                          (HeadMeaning(segment_.type) ? "=...," : ",") + "width=N");
    }
    RequireWidthInRange();
    return segment_;
  }

 private:
  void RequireWidthInRange() const {
    const bool running_number = segment_.type == source::kNumber;
    const int32_t least = running_number ? limits::kMinRunningNumberWidth : 0;
    if (segment_.width >= least && segment_.width <= limits::kMaxSegmentWidth) return;
    throw NotationError(source_name_ + " width " + std::to_string(segment_.width) + " is outside " +
                            std::to_string(least) + " to " +
                            std::to_string(limits::kMaxSegmentWidth) +
                            (running_number ? " (the digits of the running number)" : ""),
                        errc::kWidthOutOfRange);
  }

  std::vector<std::string> KnownKeys() const {
    std::vector<std::string> keys = {"width", "pad", "fill", "step",
                                     std::string(FormatKey(segment_.type))};
    if (segment_.type == source::kNumber) {
      keys.insert(keys.end(), {"restart", "end", "warn", "journal", "unique", "check"});
    }
    return keys;
  }

  std::string KnownKeyList() const {
    std::string list;
    for (const std::string& key : KnownKeys()) list += (list.empty() ? "" : ", ") + key;
    return list;
  }

  void ReadFormatKey(const std::string& key, const std::string& value) {
    if (HeadMeaning(segment_.type)) {
      throw NotationError(source_name_ + " takes its " + std::string(*HeadMeaning(segment_.type)) +
                          " after '=', not as " + key + "=: " + source_name_ + "=...");
    }
    if (key != FormatKey(segment_.type)) {
      throw NotationError("unknown setting '" + key + "' in " + source_name_ + " (use " +
                          std::string(FormatKey(segment_.type)) + "=)");
    }
    if (key == "start") ReadWhole(key, value, std::numeric_limits<int32_t>::min());
    segment_.format = value;
  }

  std::string source_name_;
  Segment segment_;
  std::set<std::string> seen_;
};

// ---- writing ----------------------------------------------------------------

void AppendSetting(std::string& word, std::string_view key, std::string_view value) {
  word += ',';
  word += key;
  word += '=';
  word += Escape(value);
}

// The policies that are on, in the order of the notation.
void AppendPolicy(std::string& word, const NumberingPolicy& policy) {
  if (policy.restart != Restart::kNever)
    AppendSetting(word, "restart", RestartWord(policy.restart));
  if (policy.end) AppendSetting(word, "end", std::to_string(*policy.end));
  if (policy.warn) AppendSetting(word, "warn", std::to_string(*policy.warn));
  if (policy.journal) AppendSetting(word, "journal", "yes");
  if (policy.unique) AppendSetting(word, "unique", "yes");
  if (policy.check) AppendSetting(word, "check", CheckMethodWord(*policy.check));
}

}  // namespace

std::string EscapeSegmentValue(std::string_view text) { return Escape(text); }

const std::vector<std::string_view>& SourceNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> all;
    for (const NamedSource& named : kNamedSources) all.push_back(named.name);
    return all;
  }();
  return names;
}

std::string SourceName(int type) {
  for (const NamedSource& named : kNamedSources) {
    if (named.type == type) return std::string(named.name);
  }
  return std::string(kUnnamedPrefix) + std::to_string(type);
}

std::optional<int> SourceType(std::string_view name) {
  const std::string lower = service::AsciiLowered(name);
  for (const NamedSource& named : kNamedSources) {
    if (named.name == lower) return named.type;
  }
  const std::string_view prefix = kUnnamedPrefix;
  if (lower.starts_with(prefix) && AllDigits(std::string_view(lower).substr(prefix.size()))) {
    const std::optional<int16_t> type =
        service::ParseNumber<int16_t>(std::string_view(lower).substr(prefix.size()));
    if (type) return *type;
  }
  return std::nullopt;
}

bool UsesWidth(int type) {
  return type == source::kNumber || (type >= source::kLot && type <= source::kItem) ||
         IsFreeItem(type);
}

bool IsFreeItem(int type) { return type == 20 || type == 21 || (type >= 28 && type <= 35); }

bool IsLineValue(int type) { return (type >= source::kDate && type <= 6) || IsFreeItem(type); }

bool IsMappedSource(int type) {
  return (type >= source::kDepartment && type <= source::kItem) || IsFreeItem(type);
}

Segment ParseSegment(std::string_view word) {
  if (word.empty()) throw NotationError("empty segment");
  const std::vector<std::string_view> parts = SplitParts(word);
  const Part head = SplitPart(parts.front());
  SegmentReader reader(ReadSource(head.name));
  if (head.value) reader.ReadHead(*head.value);
  for (std::size_t i = 1; i < parts.size(); ++i) reader.ReadSetting(SplitPart(parts[i]));
  return reader.Finish();
}

std::string FormatSegment(const Segment& segment) {
  std::string word = SourceName(segment.type);
  const bool has_head = HeadMeaning(segment.type).has_value();
  if (has_head && !segment.format.empty()) word += "=" + Escape(segment.format);
  const bool is_number = segment.type == source::kNumber;
  if (UsesWidth(segment.type) || segment.width != 0) {
    AppendSetting(word, "width", std::to_string(segment.width));
  }
  if (!segment.pad.empty()) AppendSetting(word, "pad", segment.pad);
  if (!segment.fill.empty()) AppendSetting(word, "fill", segment.fill);
  if (is_number || segment.step != 0) AppendSetting(word, "step", std::to_string(segment.step));
  if (is_number) {
    AppendSetting(word, "start", segment.format);
    AppendPolicy(word, segment.policy);
  } else if (!has_head && !segment.format.empty()) {
    AppendSetting(word, "format", segment.format);
  }
  return word;
}

std::optional<std::string_view> SourceHeadMeaning(int type) { return HeadMeaning(type); }

std::optional<std::string_view> SourceHeadKey(int type) { return HeadKey(type); }

}  // namespace quillet::notation
