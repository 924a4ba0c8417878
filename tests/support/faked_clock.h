// The clock of a program that a test starts, set with libfaketime (loaded
// before the program, FAKETIME_LIBRARY): the program's wall clock starts at a
// given instant and runs on from there, so that what depends on today's date
// (the sun at the poles, the moon a window shows) is the same on every day
// the tests run. Monotonic clocks are left alone: waits and timers stay real.
#pragma once

#include <cstdlib>
#include <string>

#include "run_program.h"

// `options` with the program's clock starting at `start`, a UTC time such as
// "2026-06-21 12:00:00".
inline run_program::Options FakedClock(const std::string& start,
                                       run_program::Options options = {}) {
  options.env["LD_PRELOAD"] = FAKETIME_LIBRARY;
  options.env["FAKETIME"] = "@" + start;
  options.env["FAKETIME_DONT_FAKE_MONOTONIC"] = "1";
  options.env["FAKETIME_DISABLE_SHM"] = "1";
  // AddressSanitizer wants its runtime loaded first and stops otherwise; it
  // works with libfaketime ahead of it.
  const char* asan = std::getenv("ASAN_OPTIONS");
  options.env["ASAN_OPTIONS"] = std::string(asan != nullptr ? asan : "") +
                                (asan != nullptr && *asan ? ":" : "") + "verify_asan_link_order=0";
  return options;
}
