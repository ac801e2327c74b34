#include "core/nearest_word.h"

#include <algorithm>
#include <limits>

#include "core/ascii_case.h"

namespace quillet::notation {
namespace {

// Edits from `a` to `b`: insertions, deletions, replacements and swaps of two
// neighbouring characters (optimal string alignment).
std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t replace = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + replace});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

std::optional<std::string> OnlyWordBegunBy(const std::string& start,
                                           const std::vector<std::string>& known) {
  // Options share their leading dashes: those do not count as a beginning.
  if (start.find_first_not_of('-') == std::string::npos ||
      start.size() - start.find_first_not_of('-') < 2) {
    return std::nullopt;
  }
  std::optional<std::string> found;
  for (const std::string& candidate : known) {
    if (!service::AsciiLowered(candidate).starts_with(start)) continue;
    if (found) return std::nullopt;
    found = candidate;
  }
  return found;
}

}  // namespace

std::optional<std::string> NearestWord(std::string_view word,
                                       const std::vector<std::string>& known) {
  const std::string lower = service::AsciiLowered(word);
  if (std::optional<std::string> begun = OnlyWordBegunBy(lower, known)) return begun;
  const std::size_t allowed = std::max<std::size_t>(1, lower.size() / 3);
  std::optional<std::string> best;
  std::size_t best_distance = std::numeric_limits<std::size_t>::max();
  for (const std::string& candidate : known) {
    const std::size_t distance = EditDistance(lower, service::AsciiLowered(candidate));
    if (distance <= allowed && distance < best_distance) {
      best = candidate;
      best_distance = distance;
    }
  }
  return best;
}

std::string DidYouMean(std::string_view word, const std::vector<std::string>& known) {
  const std::optional<std::string> nearest = NearestWord(word, known);
  return nearest ? "; did you mean '" + *nearest + "'?" : "";
}

}  // namespace quillet::notation
