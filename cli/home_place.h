// The home place of the command-line tool: a place (and optionally its zone)
// set once, for a server with no window, in the tool's own configuration
// file: $XDG_CONFIG_HOME/orbel/home (~/.config/orbel/home), on Windows
// %APPDATA%\orbel\home. Lines of key=value: name, latitude, longitude, and
// zone (a zone name or TZ rule) or utc-offset (+05:30); # begins a comment.
#pragma once

#include <optional>
#include <string>

namespace orbel {

struct HomePlace {
  std::string name;  // the city's name, or empty for coordinates
  double latitude = 0, longitude = 0;
  std::string zone;           // a zone name or rule; empty: none saved
  std::optional<int> offset;  // seconds east of UTC, when a fixed offset is saved
};

// Where the home place is kept.
std::string HomeFilePath();
// The home place, or nothing when none is set. Throws InputError naming the
// file (and the line) when it cannot be read or holds something unusable.
std::optional<HomePlace> ReadHomePlace();
// Saves the home place, whole or not at all. Throws std::system_error when
// the file cannot be written.
void WriteHomePlace(const HomePlace& home);
// Removes the home place; whether there was one.
bool ClearHomePlace();

}  // namespace orbel
