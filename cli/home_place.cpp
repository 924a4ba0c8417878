#include "home_place.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include "error.h"
#include "printable.h"
#include "time/zone.h"
#include "values.h"
#include "whole_file.h"

namespace orbel {

namespace {

// Larger than any home place the tool writes by far; a bigger file is not one.
constexpr long kMaxSize = 64 * 1024;

std::string ConfigFolder() {
#ifdef _WIN32
  const char* appData = std::getenv("APPDATA");
  if (appData && *appData) return std::string(appData) + "\\orbel";
  return "orbel";
#else
  // XDG_CONFIG_HOME counts only when absolute, as the XDG rules say.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/orbel";
  const char* home = std::getenv("HOME");
  if (!home || !*home) {  // cron under env -i: the account's home
    const struct passwd* pw = getpwuid(getuid());
    home = pw && pw->pw_dir ? pw->pw_dir : "/";
  }
  return std::string(home) + "/.config/orbel";
#endif
}

// A coordinate as the shortest decimals that read back as the same double,
// without an exponent (which the angle parsers do not take).
std::string Degrees(double value) {
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value + 0.0, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

std::string OneLine(const std::string& text) {
  std::string line;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) line += c;
  }
  return line;
}

}  // namespace

std::string HomeFilePath() {
#ifdef _WIN32
  return ConfigFolder() + "\\home";
#else
  return ConfigFolder() + "/home";
#endif
}

std::optional<HomePlace> ReadHomePlace() {
  const std::string path = HomeFilePath();
  const std::string where = "the home place " + Quoted(path);
  const std::string clear = " (orbel-cli home clear removes it)";
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    throw InputError(where + " cannot be read: " + std::strerror(errno));
  }
  if (!S_ISREG(st.st_mode)) throw InputError(where + " is not a regular file");
  if (st.st_size > kMaxSize) throw InputError(where + " is larger than 64 KiB" + clear);
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) throw InputError(where + " cannot be read: " + std::strerror(errno));
  std::stringstream bytes;
  bytes << file.rdbuf();

  HomePlace home;
  bool latitude = false, longitude = false;
  std::string line;
  for (int number = 1; std::getline(bytes, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    const size_t equals = line.find('=');
    const auto trim = [](std::string text) {
      text.erase(0, text.find_first_not_of(" \t"));
      text.erase(text.find_last_not_of(" \t") + 1);
      return text;
    };
    const std::string key = trim(line.substr(0, equals));
    const std::string value = equals == std::string::npos ? "" : trim(line.substr(equals + 1));
    const std::string at = where + " line " + std::to_string(number) + ": ";
    try {
      if (equals == std::string::npos) throw InputError("expected key=value");
      if (key == "name") {
        home.name = value;
      } else if (key == "latitude") {
        home.latitude = ParseLatitude(value);
        latitude = true;
      } else if (key == "longitude") {
        home.longitude = ParseLongitude(value);
        longitude = true;
      } else if (key == "zone") {
        home.zone = value;
      } else if (key == "utc-offset") {
        home.offset = ParseUtcOffset(value);
      }  // other keys are a later version's, and left alone
    } catch (const InputError& e) {
      throw InputError(at + e.what() + clear);
    }
  }
  if (!latitude || !longitude) {
    throw InputError(where + " has no " + (latitude ? "longitude" : "latitude") + clear);
  }
  return home;
}

void WriteHomePlace(const HomePlace& home) {
  const std::string path = HomeFilePath();
  std::error_code error;
  std::filesystem::create_directories(ConfigFolder(), error);
  if (error) throw std::system_error(error, "cannot write " + path);
  std::string text = "# The home place of orbel-cli, set by \"orbel-cli home set\".\n";
  if (!home.name.empty()) text += "name=" + OneLine(home.name) + "\n";
  text += "latitude=" + Degrees(home.latitude) + "\n";
  text += "longitude=" + Degrees(home.longitude) + "\n";
  if (!home.zone.empty()) text += "zone=" + OneLine(home.zone) + "\n";
  if (home.offset) text += "utc-offset=" + FormatOffset(*home.offset) + "\n";
  WriteWholeFile(path, text);
}

bool ClearHomePlace() {
  const std::string path = HomeFilePath();
  if (std::remove(path.c_str()) == 0) return true;
  if (errno == ENOENT || errno == ENOTDIR) return false;
  throw std::system_error(errno, std::generic_category(), "cannot remove " + path);
}

}  // namespace orbel
