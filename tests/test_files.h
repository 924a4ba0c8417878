// Temporary files for tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include <unistd.h>

// A path in the system's temporary folder, unique to this process and test.
inline std::string TempPath(const std::string& name) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string base = "/tmp";
  if (const char* tmp = std::getenv("TMPDIR")) base = tmp;
  return base + "/orbel-" + std::to_string(getpid()) + "-" +
         (info != nullptr ? std::string(info->name()) : std::string("test")) + "-" + name;
}
