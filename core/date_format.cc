// FormatDateValue: a document date written by a segment's date pattern.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "core/text_functions.h"
#include "core/utf8.h"

namespace quillet {
namespace {

struct DateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Reads between `min` and `max` digits at `pos`; nullopt when fewer are there.
std::optional<int> ReadNumber(std::string_view text, std::size_t& pos, std::size_t min,
                              std::size_t max) {
  int value = 0;
  std::size_t count = 0;
  while (pos < text.size() && count < max && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    ++pos, ++count;
  }
  if (count < min) return std::nullopt;
  return value;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool ReadDate(std::string_view text, std::size_t& pos, DateTime& out) {
  const auto year = ReadNumber(text, pos, 4, 4);
  if (!year) return false;
  const char separator = pos < text.size() ? text[pos] : '\0';
  if (separator != '-' && separator != '/') return false;
  ++pos;
  const auto month = ReadNumber(text, pos, 1, 2);
  if (!month || !Expect(text, pos, separator)) return false;
  const auto day = ReadNumber(text, pos, 1, 2);
  if (!day || *year < 100 || *month < 1 || *month > 12) return false;
  if (*day < 1 || *day > DaysInMonth(*year, *month)) return false;
  out.year = *year, out.month = *month, out.day = *day;
  return true;
}

// hh:mm, hh:mm:ss or hh:mm:ss.fraction; the fraction is read and dropped.
bool ReadTime(std::string_view text, std::size_t& pos, DateTime& out) {
  const auto hour = ReadNumber(text, pos, 1, 2);
  if (!hour || !Expect(text, pos, ':')) return false;
  const auto minute = ReadNumber(text, pos, 2, 2);
  if (!minute) return false;
  std::optional<int> second = 0;
  if (Expect(text, pos, ':')) {
    second = ReadNumber(text, pos, 2, 2);
    if (!second) return false;
    if (Expect(text, pos, '.') && !ReadNumber(text, pos, 1, 9)) return false;
  }
  if (*hour > 23 || *minute > 59 || *second > 59) return false;
  out.hour = *hour, out.minute = *minute, out.second = *second;
  return true;
}

// A date, optionally followed by blanks and a time; blanks around are allowed.
std::optional<DateTime> ParseDateTime(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  DateTime result;
  if (!ReadDate(text, pos, result)) return std::nullopt;
  const std::size_t after_date = pos;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (pos < text.size() && pos > after_date && !ReadTime(text, pos, result)) return std::nullopt;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (pos != text.size()) return std::nullopt;
  return result;
}

void ReplaceAll(std::string& text, std::string_view token, std::string_view by) {
  std::size_t pos = 0;
  while ((pos = text.find(token, pos)) != std::string::npos) {
    text.replace(pos, token.size(), by);
    pos += by.size();
  }
}

std::string Digits(int value, int width) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
  return buffer;
}

std::string TwoDigits(int value) { return Digits(value % 100, 2); }

std::string ToUpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// A 'T' between date and time read as a blank.
std::string Spaced(std::string value) {
  for (char& c : value) {
    if (c == 'T') c = ' ';
  }
  return value;
}

}  // namespace

std::string FormatDateValue(const std::string& value, const std::string& pattern, bool) {
  if (utf8::Length(pattern) < 3) return value;
  if (value.empty()) return "";
  const std::string spaced = Spaced(value);
  const std::optional<DateTime> date = ParseDateTime(spaced);
  if (!date) return spaced;

  std::string out = ToUpperAscii(pattern);
  std::string minute(1, ':');
  minute.append(TwoDigits(date->minute)).push_back(':');
  ReplaceAll(out, ":MM:", minute);
  ReplaceAll(out, "MM", TwoDigits(date->month));
  ReplaceAll(out, "DD", TwoDigits(date->day));
  ReplaceAll(out, "YYYY", Digits(date->year, 4));
  ReplaceAll(out, "YY", TwoDigits(date->year));
  ReplaceAll(out, "HH", TwoDigits(date->hour));
  ReplaceAll(out, "SS", TwoDigits(date->second));
  return out;
}

std::optional<std::string> DayOfDateValue(const std::string& value) {
  const std::optional<DateTime> date = ParseDateTime(Spaced(value));
  if (!date) return std::nullopt;
  return Digits(date->year, 4) + "-" + TwoDigits(date->month) + "-" + TwoDigits(date->day);
}

}  // namespace quillet
