#include "cities.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>
#include <unordered_set>
#include <utility>

#include "close_names.h"
#include "error.h"
#include "printable.h"
#include "towns.h"

namespace orbel {

namespace {

// "+DDMM" or "+DDMMSS" (latitude) and "+DDDMM" or "+DDDMMSS" (longitude), ISO
// 6709 as the table writes them, into degrees; false for another form.
bool ReadCoordinate(std::string_view text, size_t degreeDigits, double& degrees) {
  if (text.size() != 1 + degreeDigits + 2 && text.size() != 1 + degreeDigits + 4) return false;
  if (text[0] != '+' && text[0] != '-') return false;
  int parts[3] = {0, 0, 0};
  size_t pos = 1;
  for (size_t part = 0; pos < text.size(); ++part) {
    const size_t width = part == 0 ? degreeDigits : 2;
    for (size_t i = 0; i < width; ++i, ++pos) {
      if (!std::isdigit(static_cast<unsigned char>(text[pos]))) return false;
      parts[part] = parts[part] * 10 + (text[pos] - '0');
    }
  }
  degrees = (parts[0] + parts[1] / 60.0 + parts[2] / 3600.0) * (text[0] == '-' ? -1 : 1);
  return true;
}

// Lower case, '_' as ' ': the form names are compared in.
std::string Folded(std::string_view name) {
  std::string out;
  for (const char c : name) {
    out += c == '_' ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

}  // namespace

std::vector<City> ReadCities(std::istream& table) {
  std::vector<City> cities;
  std::string line;
  while (std::getline(table, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    if (fields.size() < 3) continue;
    const std::string& coordinates = fields[1];
    const size_t sign = coordinates.find_first_of("+-", 1);
    City city{};
    if (sign == std::string::npos ||
        !ReadCoordinate(std::string_view(coordinates).substr(0, sign), 2, city.latitude) ||
        !ReadCoordinate(std::string_view(coordinates).substr(sign), 3, city.longitude)) {
      continue;
    }
    city.zone = fields[2];
    city.name = city.zone.substr(city.zone.rfind('/') + 1);
    std::replace(city.name.begin(), city.name.end(), '_', ' ');
    cities.push_back(std::move(city));
  }
  return cities;
}

City FindCity(const std::vector<City>& cities, std::string_view name) {
  const std::string wanted = Folded(name), folded = FoldName(name);
  const std::vector<const Town*> towns = FindTowns(name);
  const std::string given = Printable(name, 40);
  const std::string others =
      "orbel-cli places " +
      (given.find_first_of(" ,") == std::string::npos ? given : "\"" + given + "\"") +
      " lists them";
  for (const City& city : cities) {
    if (Folded(city.name) != wanted && Folded(city.zone) != wanted &&
        FoldName(city.name) != folded) {
      continue;
    }
    City found = city;
    // Towns of the name elsewhere (over a degree away) are told of.
    const size_t elsewhere =
        static_cast<size_t>(std::count_if(towns.begin(), towns.end(), [&city](const Town* t) {
          return std::hypot(t->latitude - city.latitude,
                            (t->longitude - city.longitude) *
                                std::cos(city.latitude * 3.14159265358979323846 / 180)) > 1;
        }));
    if (elsewhere > 0) {
      found.note = "the zone database's city; " + std::to_string(elsewhere) +
                   (elsewhere == 1 ? " town" : " towns") + " of the name elsewhere: " + others;
    }
    return found;
  }
  if (!towns.empty()) {
    const Town& best = *towns.front();
    City found{best.name, best.zone, best.latitude, best.longitude, TownLabel(best), ""};
    if (towns.size() > 1) {
      found.note =
          "the most populous of " + std::to_string(towns.size()) + " places of the name: " + others;
    }
    return found;
  }
  // A qualifier that none of the towns of the name meets: name them.
  const size_t comma = name.find(',');
  if (comma != std::string_view::npos) {
    std::string list;
    const std::vector<const Town*> named = FindTowns(name.substr(0, comma));
    for (size_t i = 0; i < named.size() && i < 5; ++i) {
      list += (list.empty() ? "" : "; ") + TownLabel(*named[i]);
    }
    if (!list.empty()) throw InputError("no town of the name there; towns of the name: " + list);
  }
  // Close names: a few edits away, or starting with what was given.
  std::vector<std::string> names, shown;
  std::unordered_set<std::string> seen;
  for (const City& city : cities) {
    if (!seen.insert(FoldName(city.name)).second) continue;
    names.push_back(FoldName(city.name));
    shown.push_back(city.name);
  }
  for (const Town& town : Towns()) {
    if (!seen.insert(town.folded).second) continue;
    names.push_back(town.folded);
    shown.push_back(town.name);
  }
  std::string list;
  for (const size_t i : CloseNames(folded, names, 5)) {
    list += (list.empty() ? "" : ", ") + shown[i];
  }
  throw InputError(list.empty() ? "no such city or town (such as Berlin, Kolkata or St Johns; "
                                  "orbel-cli places --near LAT,LON names towns near a place)"
                                : "no such city or town; close names: " + list);
}

}  // namespace orbel
