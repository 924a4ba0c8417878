// Runs the built orbel-cli binary: exit codes, messages and output.
#include <unistd.h>

#include <gtest/gtest.h>

#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "run_program.h"
#include "test_files.h"

namespace {

using std::chrono::seconds;

// Central European time by POSIX rule, so no time zone database is needed.
const char* const kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";

// Runs the tool with the arguments, the text on standard input and TZ set.
run_program::Ended RunCli(const std::vector<std::string>& args, const std::string& input = "",
                          const char* tz = "UTC0") {
  std::vector<std::string> argv = {ORBEL_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  run_program::Options options;
  options.input = input;
  options.env["TZ"] = tz;
  return run_program::Run(argv, options);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Version and help go to standard output with status 0. Every rejected
// argument gives status 2, nothing on standard output and one line on
// standard error naming the value; a picture that cannot be written, status 1.
TEST(CliEndToEnd, HelpAndErrorsWithTheirExitStatus) {
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{"--version"}, 0, std::string("orbel-cli ") + ORBEL_VERSION + "\n"},
      {{"--help"}, 0, "batch"},
      {{"day", "--help"}, 0, "--lat"},
      {{"table", "--help"}, 0, "--csv"},
      {{"batch", "--help"}, 0, "--jobs"},
      {{"day", "--date", "2023-02-29"},
       2,
       "invalid --date \"2023-02-29\": February 2023 has 28 days"},
      {{"day", "--lat", ""}, 2, "invalid --lat \"\""},
      {{"day", "--lon", "181"}, 2, "invalid --lon \"181\""},
      {{"day", "--zone", "13"}, 2, "invalid --zone \"13\""},
      {{"day", "--bogus"}, 2, "--bogus"},
      {{"bogus"}, 2, "bogus"},
      {{"table"}, 2, "--year"},
      {{"table", "--year", "2024", "--json", "--csv"}, 2, "--csv"},
      {{"batch", "--jobs", "0"}, 2, "invalid --jobs \"0\": not a whole number from 1 to 256"},
      {{"batch", "--jobs", "x"}, 2, "invalid --jobs \"x\""},
      {{"phase", "--out", "x.png"}, 2, "needs --age or --date"},
      {{"phase", "--age", "3", "--radius", "0", "--out", "x.png"}, 2, "--radius \"0\""},
      {{"phase", "--age", "x", "--out", "x.png"}, 2, "--age \"x\""},
      {{"phase", "--age", "3", "--out", "x.gif"}, 2, ".png or .ppm"},
      {{"phase", "--age", "3", "--date", "2000-01-01", "--out", "x.png"}, 2, "excludes"},
      {{"phase", "--age", "3", "--out", "/nonexistent/dir/x.png"}, 1, "cannot write"},
  };
  for (const auto& c : cases) {
    const run_program::Ended run = RunCli(c.args);
    const std::string& said = c.status == 0 ? run.out : run.err;
    EXPECT_EQ(run.status, c.status) << said;
    EXPECT_EQ(c.status == 0 ? run.err : run.out, "") << c.message;
    EXPECT_NE(said.find(c.message), std::string::npos) << said;
    if (c.status != 0) {
      EXPECT_EQ(Lines(said).size(), 1u) << said;
      EXPECT_EQ(said.rfind("orbel-cli: ", 0), 0u) << said;
    }
  }
}

TEST(CliEndToEnd, DayReportsAtTheDefaultAndOtherPlaces) {
  // No arguments: today at the default place in the system zone, like "day".
  const run_program::Ended bare = RunCli({});
  EXPECT_EQ(bare.status, 0) << bare.err;
  const std::time_t now = std::time(nullptr);
  char today[16];
  std::strftime(today, sizeof today, "%Y-%m-%d", std::gmtime(&now));
  EXPECT_EQ(Lines(bare.out).at(0),
            std::string("Orbel report for ") + today + " at 48°44'36\"N 9°18'27\"E, zone 0 (UTC)");
  EXPECT_EQ(bare.out, RunCli({"day"}).out);

  const run_program::Ended fixed = RunCli({"day", "--date", "1999-12-14", "--zone", "-1"});
  EXPECT_EQ(Lines(fixed.out).at(3), "  Moonrise   12:17   azimuth 109.4°");
  const run_program::Ended dms =
      RunCli({"day", "--date", "1999-12-14", "--lat", "48:44:36N", "--lon", "9:18:27E"}, "",
             kCentralEurope);
  EXPECT_EQ(dms.out, fixed.out);

  const run_program::Ended decimal =
      RunCli({"day", "--date", "2024-06-21", "--lat", "-33.86666666666667", "--lon", "151.2",
              "--zone", "-10"});
  EXPECT_EQ(Lines(decimal.out).at(0),
            "Orbel report for 2024-06-21 at 33°52'00\"S 151°12'00\"E, zone -10 (UTC+10)");
}

// Without --zone: the system zone's offset at local noon of each date,
// daylight saving included, truncated to whole hours.
TEST(CliEndToEnd, SystemZoneFollowsDaylightSavingAndIsTruncated) {
  const std::pair<const char*, int> zones[] = {
      {kCentralEurope, -2}, {"IST-5:30", -5}, {"NST3:30", 3}};
  for (const auto& [tz, zone] : zones) {
    const run_program::Ended day = RunCli({"day", "--date", "2024-07-01", "--json"}, "", tz);
    EXPECT_EQ(nlohmann::json::parse(day.out)["zone"], zone) << tz;
  }
  const run_program::Ended table = RunCli({"table", "--year", "2024", "--csv"}, "", kCentralEurope);
  EXPECT_EQ(table.status, 0) << table.err;
  const std::vector<std::string> rows = Lines(table.out);
  ASSERT_EQ(rows.size(), 367u);
  EXPECT_EQ(rows[1 + 89].substr(0, 14), "2024-03-30,-1,");
  EXPECT_EQ(rows[1 + 90].substr(0, 14), "2024-03-31,-2,");
  EXPECT_EQ(rows[1 + 299].substr(0, 14), "2024-10-26,-2,");
  EXPECT_EQ(rows[1 + 300].substr(0, 14), "2024-10-27,-1,");
}

TEST(CliEndToEnd, BatchExitStatus) {
  const run_program::Ended mixed =
      RunCli({"batch"}, "14 12 1999 48.7333 9.3 -1\n1 1 1 1 nan 1\n\n# end\n");
  EXPECT_EQ(mixed.status, 1);
  EXPECT_EQ(mixed.err, "line 2: LON \"nan\": not a finite number\n");
  EXPECT_EQ(Lines(mixed.out).size(), 1u);
  const run_program::Ended good = RunCli({"batch", "--jobs", "3"}, "1 1 2000 311.2333 -400 -128\n");
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_EQ(Lines(good.out).size(), 1u);
}

// A pipe from a slow writer: each line is answered while the input stays open.
TEST(CliEndToEnd, BatchAnswersEachLineBeforeTheNextComes) {
  run_program::Options options;
  options.keepInputOpen = true;
  run_program::Child batch({ORBEL_CLI_PATH, "batch", "--jobs", "2"}, options);
  for (const std::string line : {"14 12 1999 48.7333 9.3 -1", "21 6 2024 78 15 -2"}) {
    // The line comes in two writes, the newline last.
    ASSERT_TRUE(batch.Write(line));
    usleep(50000);
    ASSERT_TRUE(batch.Write("\n"));
    EXPECT_EQ(batch.ReadLine(seconds(20)), RunCli({"batch"}, line + "\n").out) << line;
  }
  batch.CloseInput();
  EXPECT_EQ(batch.Wait(seconds(20)).status, 0);
}

// The picture "orbel-cli phase" writes as a binary PPM: its width and the
// yellow (lit) pixels left and right of its middle.
struct Ppm {
  int width = 0, left = 0, right = 0;
};

Ppm Phase(std::vector<std::string> args) {
  const std::string path = TempPath("phase.ppm");
  args.insert(args.begin(), "phase");
  args.insert(args.end(), {"--out", path});
  EXPECT_EQ(RunCli(args).status, 0);
  std::istringstream in(ReadFile(path));
  std::remove(path.c_str());
  std::string magic;
  int height = 0, maxValue = 0;
  Ppm ppm;
  in >> magic >> ppm.width >> height >> maxValue;
  in.get();
  const std::string rgb(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(magic, "P6");
  EXPECT_EQ(rgb.size(), static_cast<size_t>(ppm.width) * height * 3);
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
    if (rgb.compare(i, 3, "\xff\xff\0", 3) != 0) continue;
    ++(static_cast<int>(i / 3 % static_cast<size_t>(ppm.width)) < ppm.width / 2 ? ppm.left
                                                                                : ppm.right);
  }
  return ppm;
}

TEST(CliEndToEnd, PhasePictures) {
  // Radius 37: age 1 is a thin crescent on the right, age 29 one on the left.
  const Ppm waxing = Phase({"--age", "1", "--radius", "37"});
  EXPECT_EQ(waxing.width, 74);
  EXPECT_EQ(waxing.left, 0);
  EXPECT_GT(waxing.right, 20);
  const Ppm waning = Phase({"--age", "29", "--radius", "37"});
  EXPECT_EQ(waning.right, 0);
  EXPECT_GT(waning.left, 20);
  // The default radius is the dialog frame's; --date takes the moon's age.
  const Ppm dated = Phase({"--date", "2000-01-21"});
  EXPECT_EQ(dated.width, 72);
  EXPECT_GT(dated.left + dated.right, 3000);  // age 14: nearly all lit

  const std::string png = TempPath("phase.png");
  ASSERT_EQ(RunCli({"phase", "--age", "3", "--out", png}).status, 0);
  EXPECT_EQ(ReadFile(png).substr(1, 3), "PNG");
  std::remove(png.c_str());
}

}  // namespace
