#include "close_names.h"

#include <algorithm>
#include <utility>

namespace orbel {

namespace {

// Edits (insert, delete, replace) from a to b.
size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1] ? 1 : 0)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::vector<size_t> CloseNames(const std::string& wanted,
                               const std::vector<std::string>& candidates, size_t most) {
  std::vector<std::pair<size_t, size_t>> close;  // distance, index
  const size_t limit = std::max<size_t>(2, wanted.size() / 3);
  for (size_t i = 0; i < candidates.size(); ++i) {
    const bool prefix = wanted.size() >= 3 && candidates[i].rfind(wanted, 0) == 0;
    // The distance is at least the difference in length: most candidates
    // need no reckoning.
    const size_t a = wanted.size(), b = candidates[i].size();
    if (!prefix && (a > b ? a - b : b - a) > limit) continue;
    const size_t distance = EditDistance(wanted, candidates[i]);
    if (distance <= limit || prefix) close.emplace_back(distance, i);
  }
  std::sort(close.begin(), close.end(), [&](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : candidates[a.second] < candidates[b.second];
  });
  std::vector<size_t> indices;
  for (size_t i = 0; i < close.size() && i < most; ++i) indices.push_back(close[i].second);
  return indices;
}

}  // namespace orbel
