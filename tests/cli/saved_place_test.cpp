// The place orbel-cli takes from the window's profile: which profiles hold a
// place, and the signed degrees it reads from them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

#include "orbel_test_api.h"
#include "saved_place.h"

namespace {

struct Case {
  const char* profile;  // null: no profile file
  std::optional<double> latitude, longitude;
};

TEST(SavedPlace, ReadsThePlaceAsTheWindowDoes) {
  const double kDefaultLat = 48.743333333333333, kDefaultLon = 9.3075;
  const Case cases[] = {
      {nullptr, std::nullopt, std::nullopt},
      {"[ORBEL32]\nSommerZeit=1\nNorth=0\n[Other]\nLG=1\n", std::nullopt, std::nullopt},
      {"[ORBEL32]\nLG=151\nLM=12\nLS=30\nBG=33\nBM=52\nBS=15\nEast=0\nNorth=0\n",
       -33.870833333333333, -151.208333333333333},
      {"[ORBEL32]\nBS=0\nEast=0\n", 48.733333333333333, -kDefaultLon},  // the rest as in the window
      {"[orbel32]\nlg=10\n", kDefaultLat, 10.3075},                     // names in any case
      {"[ORBEL32]\nLG=\n", kDefaultLat, kDefaultLon},  // an empty key counts as saved
      {"[ORBEL32]\nBG=-12\nBM=30\n", -11.49, kDefaultLon},
      {"[ORBEL32]\nBG=90\nBM=1\n", std::nullopt, std::nullopt},  // beyond the poles
      {"[ORBEL32]\nLG=180\nLS=1\n", std::nullopt, std::nullopt},
  };
  const std::string path =
      ::testing::TempDir() + "saved_place_test_" + std::to_string(getpid()) + ".ini";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.profile ? c.profile : "(no profile)");
    standin::Reset();
    standin::SetProfilePath(path);
    std::remove(path.c_str());
    if (c.profile) std::ofstream(path) << c.profile;
    const std::optional<orbel::Place> place = orbel::SavedPlace();
    ASSERT_EQ(place.has_value(), c.latitude.has_value());
    if (!place) continue;
    EXPECT_NEAR(place->latitude, *c.latitude, 1e-12);
    EXPECT_NEAR(place->longitude, *c.longitude, 1e-12);
    EXPECT_EQ(place->source, "saved by orbel");
  }
  std::remove(path.c_str());
  standin::Reset();
}

}  // namespace
