// A program's output split into its lines.
#pragma once

#include <sstream>
#include <string>
#include <vector>

// The lines of `text`, without their line feeds; a last line without one counts.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}
