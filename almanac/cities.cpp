#include "cities.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <utility>

#include "close_names.h"
#include "error.h"

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
  const std::string wanted = Folded(name);
  for (const City& city : cities) {
    if (Folded(city.name) == wanted || Folded(city.zone) == wanted) return city;
  }
  // Close names: a few edits away, or starting with what was given.
  std::vector<std::string> folded;
  for (const City& city : cities) folded.push_back(Folded(city.name));
  std::string list;
  for (const size_t i : CloseNames(wanted, folded, 5)) {
    list += (list.empty() ? "" : ", ") + cities[i].name;
  }
  throw InputError(list.empty() ? "no such city among the zone database's principal cities "
                                  "(such as Berlin, Kolkata or St Johns)"
                                : "no such city; close names: " + list);
}

}  // namespace orbel
