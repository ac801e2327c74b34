#include "apps/tool/text_table.h"

#include <algorithm>

namespace quillet::tool {
namespace {

// Wide characters: Hangul Jamo, CJK and its punctuation, Hangul syllables,
// compatibility ideographs, vertical and full-width forms, and the
// supplementary ideographic planes.
bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
         (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// The length of the UTF-8 sequence led by `lead`, 1 for a stray byte.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

}  // namespace

std::size_t DisplayWidth(std::string_view text) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = SequenceLength(lead);
    if (i + length > text.size()) length = 1;
    char32_t c = lead;
    if (length > 1) {
      c = lead & (0xFF >> (length + 1));
      for (std::size_t k = 1; k < length; ++k) {
        c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
      }
    }
    width += IsWide(c) ? 2 : 1;
    i += length;
  }
  return width;
}

std::string PadToWidth(std::string_view text, std::size_t width) {
  std::string padded(text);
  const std::size_t taken = DisplayWidth(text);
  if (taken < width) padded.append(width - taken, ' ');
  return padded;
}

TextTable::TextTable(std::vector<std::string> heading, std::string indent)
    : indent_(std::move(indent)) {
  rows_.push_back(std::move(heading));
}

void TextTable::AddRow(std::vector<std::string> cells) {
  cells.resize(rows_.front().size());
  rows_.push_back(std::move(cells));
}

void TextTable::Print(std::ostream& out) const {
  if (empty()) return;
  const std::size_t columns = rows_.front().size();
  std::vector<std::size_t> widths(columns, 0);
  for (const auto& row : rows_) {
    for (std::size_t c = 0; c < columns; ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
  }
  for (const auto& row : rows_) {
    std::string line = indent_;
    for (std::size_t c = 0; c < columns; ++c) {
      line += c + 1 < columns ? PadToWidth(row[c], widths[c] + 2) : row[c];
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
  }
}

void PrintFields(std::ostream& out,
                 const std::vector<std::pair<std::string, std::string>>& fields) {
  std::size_t label_width = 0;
  for (const auto& [label, value] : fields)
    label_width = std::max(label_width, DisplayWidth(label));
  for (const auto& [label, value] : fields) {
    std::string line = PadToWidth(label, label_width + 2) + value;
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
  }
}

}  // namespace quillet::tool
