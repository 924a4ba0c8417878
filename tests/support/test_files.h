// Temporary files for tests.
#pragma once

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// A path in the system's temporary folder, unique to this process and test.
inline std::string TempPath(const std::string& name) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string base = "/tmp";
  if (const char* tmp = std::getenv("TMPDIR")) base = tmp;
  // Parameterised tests have a '/' in their names.
  std::string test = info != nullptr ? info->name() : "test";
  for (char& c : test) c = c == '/' ? '_' : c;
  return base + "/orbel-" + std::to_string(getpid()) + "-" + test + "-" + name;
}

// The whole content of a file, as bytes; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary);
  out << data;
}

// The names in a folder, without "." and "..", sorted.
inline std::vector<std::string> FolderEntries(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}
