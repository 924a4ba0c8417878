#include "towns.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace orbel {

namespace {

// The code point of the UTF-8 sequence at text[pos], advancing pos; a byte
// that does not start a sequence stands for itself.
uint32_t NextCodePoint(std::string_view text, size_t& pos) {
  const auto byte = static_cast<unsigned char>(text[pos++]);
  const int length = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
  uint32_t code = length == 0 ? byte : byte & (0x3F >> length);
  for (int i = 0; i < length && pos < text.size(); ++i) {
    const auto next = static_cast<unsigned char>(text[pos]);
    if ((next & 0xC0) != 0x80) return byte;
    code = (code << 6) | (next & 0x3F);
    ++pos;
  }
  return code;
}

const char* FoldOf(uint32_t code) {
  const LetterFold* end = kLetterFolds + kLetterFoldCount;
  const LetterFold* found = std::lower_bound(
      kLetterFolds, end, code, [](const LetterFold& f, uint32_t c) { return f.code < c; });
  return found != end && found->code == code ? found->ascii : nullptr;
}

// Whether `name` is `wanted` or `wanted` followed by more words.
bool NamesOrStartsWith(const std::string& name, const std::string& wanted) {
  return name.compare(0, wanted.size(), wanted) == 0 &&
         (name.size() == wanted.size() || name[wanted.size()] == ' ');
}

// Whether every word of `qualifier` is a word of `words`.
bool WordsWithin(const std::string& qualifier, const std::string& words) {
  const std::string padded = " " + words + " ";
  std::istringstream split(qualifier);
  for (std::string word; split >> word;) {
    if (padded.find(" " + word + " ") == std::string::npos) return false;
  }
  return true;
}

}  // namespace

std::string FoldName(std::string_view name) {
  std::string folded;
  for (size_t pos = 0; pos < name.size();) {
    const uint32_t code = NextCodePoint(name, pos);
    std::string piece;
    if (code < 128) {
      const char c = static_cast<char>(code);
      if (std::isalnum(static_cast<unsigned char>(c))) {
        piece = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      } else if (c != '.' && c != '\'') {
        piece = " ";
      }
    } else if (const char* ascii = FoldOf(code)) {
      piece = ascii;
    } else if (code == 0x2019) {  // the typographic apostrophe
      piece = "";
    } else {
      // Kept as it is (another script): compared as given.
      size_t start = pos;
      while (start > 0 && (static_cast<unsigned char>(name[start - 1]) & 0xC0) == 0x80) --start;
      piece = std::string(name.substr(start - 1, pos - start + 1));
    }
    for (const char c : piece) {
      if (c == ' ' && (folded.empty() || folded.back() == ' ')) continue;
      folded += c;
    }
  }
  if (!folded.empty() && folded.back() == ' ') folded.pop_back();
  return folded;
}

const std::vector<Town>& Towns() {
  static const std::vector<Town> towns = [] {
    std::vector<Town> all;
    for (const char* const* rows = kTownRows; *rows != nullptr; ++rows) {
      std::istringstream lines(*rows);
      for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> f;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) f.push_back(field);
        if (f.size() != 8) continue;
        all.push_back({f[0], f[1], f[2], f[3], f[4], std::strtod(f[5].c_str(), nullptr),
                       std::strtod(f[6].c_str(), nullptr),
                       static_cast<uint32_t>(std::strtoul(f[7].c_str(), nullptr, 10)),
                       FoldName(f[0])});
      }
    }
    return all;
  }();
  return towns;
}

std::vector<const Town*> FindTowns(std::string_view query) {
  const size_t comma = query.find(',');
  const std::string wanted = FoldName(query.substr(0, comma));
  const std::string qualifier =
      comma == std::string_view::npos ? "" : FoldName(query.substr(comma + 1));
  std::vector<const Town*> found;
  if (wanted.empty()) return found;
  for (const Town& town : Towns()) {
    if (!NamesOrStartsWith(town.folded, wanted)) continue;
    if (!qualifier.empty() && qualifier != FoldName(town.country) &&
        qualifier != FoldName(town.countryCode) && !WordsWithin(qualifier, FoldName(town.state))) {
      continue;
    }
    found.push_back(&town);
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Town* a, const Town* b) { return a->population > b->population; });
  return found;
}

std::vector<const Town*> NearestTowns(double latitude, double longitude, size_t count) {
  const double kRad = 3.14159265358979323846 / 180;
  // The angle between two points on the sphere, by the haversine.
  const auto distance = [&](const Town& t) {
    const double a = std::pow(std::sin((t.latitude - latitude) * kRad / 2), 2) +
                     std::cos(latitude * kRad) * std::cos(t.latitude * kRad) *
                         std::pow(std::sin((t.longitude - longitude) * kRad / 2), 2);
    return std::asin(std::sqrt(std::min(1.0, a)));
  };
  std::vector<std::pair<double, const Town*>> all;
  for (const Town& town : Towns()) all.emplace_back(distance(town), &town);
  count = std::min(count, all.size());
  std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count), all.end(),
                    [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<const Town*> nearest;
  for (size_t i = 0; i < count; ++i) nearest.push_back(all[i].second);
  return nearest;
}

std::string TownLabel(const Town& town) {
  std::string label = town.name;
  if (!town.state.empty() && town.state != town.name) label += ", " + town.state;
  return label + ", " + town.country;
}

}  // namespace orbel
