// Runs the built orbel-cli binary: exit codes, messages and output.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

// Central European time by POSIX rule, so no time zone database is needed.
const char* const kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";

struct CliRun {
  int status;  // exit status, or -1 when the process did not exit normally
  std::string out, err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::remove(path.c_str());
  return text.str();
}

// Runs the tool with the arguments, the text on standard input and TZ set.
CliRun RunCli(std::vector<std::string> args, const std::string& input = "",
              const char* tz = "UTC0") {
  static int counter = 0;
  const std::string base = ::testing::TempDir() + "orbel_cli_" + std::to_string(getpid()) + "_" +
                           std::to_string(counter++);
  std::ofstream(base + ".in", std::ios::binary) << input;
  std::vector<char*> argv = {const_cast<char*>(ORBEL_CLI_PATH)};
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    const char* suffixes[] = {".in", ".out", ".err"};
    for (int fd = 0; fd < 3; ++fd) {
      const int file = open((base + suffixes[fd]).c_str(),
                            fd == 0 ? O_RDONLY : O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (file < 0 || dup2(file, fd) < 0) _exit(126);
    }
    setenv("TZ", tz, 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  std::remove((base + ".in").c_str());
  return {WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1, ReadFile(base + ".out"),
          ReadFile(base + ".err")};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CliEndToEnd, VersionAndHelp) {
  const CliRun version = RunCli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("orbel-cli ") + ORBEL_VERSION + "\n");
  const std::vector<std::pair<std::vector<std::string>, const char*>> helps = {
      {{"--help"}, "batch"},
      {{"day", "--help"}, "--lat"},
      {{"table", "--help"}, "--csv"},
      {{"batch", "--help"}, "DAY MONTH YEAR LAT LON ZONE"},
      {{"batch", "--help"}, "--jobs"}};
  for (const auto& [args, mention] : helps) {
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 0) << args[0];
    EXPECT_NE(run.out.find(mention), std::string::npos) << args[0];
  }
}

TEST(CliEndToEnd, UsageErrorsGiveOneLineNamingTheValueAndStatus2) {
  const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
      {{"day", "--date", "2023-02-29"}, "invalid --date \"2023-02-29\": February 2023 has 28 days"},
      {{"day", "--lat", "-90.5"}, "invalid --lat \"-90.5\""},
      {{"day", "--lat", ""}, "invalid --lat \"\""},
      {{"day", "--lon", "181"}, "invalid --lon \"181\""},
      {{"day", "--zone", "13"}, "invalid --zone \"13\""},
      {{"day", "--bogus"}, "--bogus"},
      {{"bogus"}, "bogus"},
      {{"table"}, "--year"},
      {{"table", "--year", "2024", "--json", "--csv"}, "--csv"},
      {{"batch", "--jobs", "0"}, "invalid --jobs \"0\": not a whole number from 1 to 256"},
      {{"batch", "--jobs", "x"}, "invalid --jobs \"x\""},
  };
  for (const auto& [args, message] : cases) {
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 2) << message;
    EXPECT_EQ(run.out, "") << message;
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("orbel-cli: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
  }
}

TEST(CliEndToEnd, DayReportsAtTheDefaultAndOtherPlaces) {
  // No arguments: today at the default place in the system zone, like "day".
  const CliRun bare = RunCli({});
  EXPECT_EQ(bare.status, 0) << bare.err;
  const std::time_t now = std::time(nullptr);
  char today[16];
  std::strftime(today, sizeof today, "%Y-%m-%d", std::gmtime(&now));
  EXPECT_EQ(Lines(bare.out).at(0),
            std::string("Orbel report for ") + today + " at 48°44'36\"N 9°18'27\"E, zone 0 (UTC)");
  EXPECT_EQ(bare.out, RunCli({"day"}).out);

  const CliRun fixed = RunCli({"day", "--date", "1999-12-14", "--zone", "-1"});
  EXPECT_EQ(Lines(fixed.out).at(3), "  Moonrise   12:17   azimuth 109.4°");
  const CliRun dms =
      RunCli({"day", "--date", "1999-12-14", "--lat", "48:44:36N", "--lon", "9:18:27E"}, "",
             kCentralEurope);
  EXPECT_EQ(dms.out, fixed.out);

  const CliRun decimal = RunCli({"day", "--date", "2024-06-21", "--lat", "-33.86666666666667",
                                 "--lon", "151.2", "--zone", "-10"});
  EXPECT_EQ(Lines(decimal.out).at(0),
            "Orbel report for 2024-06-21 at 33°52'00\"S 151°12'00\"E, zone -10 (UTC+10)");
}

TEST(CliEndToEnd, SystemZoneFollowsDaylightSavingThroughTheTable) {
  const CliRun summer = RunCli({"day", "--date", "2024-07-01", "--json"}, "", kCentralEurope);
  EXPECT_EQ(nlohmann::json::parse(summer.out)["zone"], -2);
  const CliRun table = RunCli({"table", "--year", "2024", "--csv"}, "", kCentralEurope);
  EXPECT_EQ(table.status, 0) << table.err;
  const std::vector<std::string> rows = Lines(table.out);
  ASSERT_EQ(rows.size(), 367u);
  EXPECT_EQ(rows[1 + 89].substr(0, 14), "2024-03-30,-1,");
  EXPECT_EQ(rows[1 + 90].substr(0, 14), "2024-03-31,-2,");
  EXPECT_EQ(rows[1 + 300].substr(0, 14), "2024-10-27,-1,");
}

TEST(CliEndToEnd, BatchExitStatusAndLineIndependenceAcrossProcesses) {
  const CliRun mixed = RunCli({"batch"}, "14 12 1999 48.7333 9.3 -1\n1 1 1 1 nan 1\n\n# end\n");
  EXPECT_EQ(mixed.status, 1);
  EXPECT_EQ(mixed.err, "line 2: LON \"nan\": not a finite number\n");
  EXPECT_EQ(Lines(mixed.out).size(), 1u);

  std::string many;
  char line[128];
  for (int i = 0; i < 2000; ++i) {
    std::snprintf(line, sizeof line, "%d %d %d %.6f %.6f %d\n", 1 + i % 28, 1 + i % 12,
                  1900 + i % 200, -89.0 + (i * 7919 % 17800) / 100.0,
                  -180.0 + (i * 104729 % 36000) / 100.0, -12 + i % 25);
    many += line;
  }
  for (const std::string probe : {"14 12 1999 48.743333333333333 9.3075 -1", "21 6 2024 78 15 -2",
                                  "1 1 2000 311.2333 -400 -128"}) {
    const CliRun alone = RunCli({"batch"}, probe + "\n");
    EXPECT_EQ(alone.status, 0) << alone.err;
    const std::vector<std::string> after = Lines(RunCli({"batch"}, many + probe + "\n").out);
    ASSERT_EQ(after.size(), 2001u);
    EXPECT_EQ(after.back() + "\n", alone.out) << probe;
  }
}

// A pipe from a slow writer: each line is answered while the input stays open.
TEST(CliEndToEnd, BatchAnswersEachLineBeforeTheNextComes) {
  const std::vector<std::string> lines = {"14 12 1999 48.7333 9.3 -1\n", "21 6 2024 78 15 -2\n"};
  std::vector<std::string> expected;
  for (const std::string& line : lines) expected.push_back(RunCli({"batch"}, line).out);
  int input[2], output[2];
  ASSERT_EQ(pipe(input), 0);
  ASSERT_EQ(pipe(output), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    if (dup2(input[0], 0) < 0 || dup2(output[1], 1) < 0) _exit(126);
    for (int fd : {input[0], input[1], output[0], output[1]}) close(fd);
    execl(ORBEL_CLI_PATH, ORBEL_CLI_PATH, "batch", "--jobs", "2", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(input[0]);
  close(output[1]);
  for (size_t i = 0; i < lines.size(); ++i) {
    // The line comes in two writes, the newline last.
    const size_t length = lines[i].size() - 1;
    EXPECT_EQ(write(input[1], lines[i].data(), length), static_cast<ssize_t>(length));
    usleep(50000);
    EXPECT_EQ(write(input[1], "\n", 1), 1);
    std::string answer;
    char c = 0;
    pollfd ready{output[0], POLLIN, 0};
    while (c != '\n' && poll(&ready, 1, 30000) == 1 && read(output[0], &c, 1) == 1) answer += c;
    EXPECT_EQ(answer, expected[i]) << lines[i];
    if (c != '\n') {
      kill(pid, SIGKILL);
      break;
    }
  }
  close(input[1]);
  close(output[0]);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  EXPECT_TRUE(WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0);
}

}  // namespace

namespace {

// A binary PPM written by "orbel-cli phase", as rows of RGB triples.
struct Ppm {
  int width = 0, height = 0;
  std::string rgb;
  bool Yellow(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return rgb[i] == '\xff' && rgb[i + 1] == '\xff' && rgb[i + 2] == '\0';
  }
  int YellowIn(int fromX, int toX) const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = fromX; x < toX; ++x) n += Yellow(x, y);
    return n;
  }
};

Ppm ReadPpm(const std::string& path) {
  std::istringstream in(ReadFile(path));
  std::string magic;
  int maxValue = 0;
  Ppm ppm;
  in >> magic >> ppm.width >> ppm.height >> maxValue;
  in.get();
  ppm.rgb.assign(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(magic, "P6");
  EXPECT_EQ(ppm.rgb.size(), static_cast<size_t>(ppm.width) * ppm.height * 3);
  return ppm;
}

// Radius 37: age 1 is a thin crescent on the right, age 29 one on the left.
TEST(CliEndToEnd, PhasePictureCrescents) {
  const std::string path = ::testing::TempDir() + "orbel_phase_" + std::to_string(getpid());
  ASSERT_EQ(RunCli({"phase", "--age", "1", "--radius", "37", "--out", path + ".ppm"}).status, 0);
  const Ppm waxing = ReadPpm(path + ".ppm");
  EXPECT_EQ(waxing.width, 74);
  EXPECT_EQ(waxing.YellowIn(0, 37), 0);
  EXPECT_GT(waxing.YellowIn(37, 74), 20);
  ASSERT_EQ(RunCli({"phase", "--age", "29", "--radius", "37", "--out", path + ".ppm"}).status, 0);
  const Ppm waning = ReadPpm(path + ".ppm");
  EXPECT_EQ(waning.YellowIn(37, 74), 0);
  EXPECT_GT(waning.YellowIn(0, 37), 20);

  // The default radius is the dialog frame's; --date takes the moon's age.
  ASSERT_EQ(RunCli({"phase", "--date", "2000-01-21", "--out", path + ".ppm"}).status, 0);
  const Ppm dated = ReadPpm(path + ".ppm");
  EXPECT_EQ(dated.width, 72);
  EXPECT_GT(dated.YellowIn(0, 72), 3000);  // age 14: nearly all lit

  ASSERT_EQ(RunCli({"phase", "--age", "3", "--out", path + ".png"}).status, 0);
  EXPECT_EQ(ReadFile(path + ".png").substr(1, 3), "PNG");
}

TEST(CliEndToEnd, PhasePictureErrors) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"phase", "--out", "x.png"}, "needs --age or --date"},
      {{"phase", "--age", "3", "--radius", "0", "--out", "x.png"}, "--radius \"0\""},
      {{"phase", "--age", "x", "--out", "x.png"}, "--age \"x\""},
      {{"phase", "--age", "3", "--out", "x.gif"}, ".png or .ppm"},
      {{"phase", "--age", "3", "--date", "2000-01-01", "--out", "x.png"}, "excludes"},
  };
  for (const auto& c : cases) {
    const CliRun run = RunCli(c.args);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  const CliRun unwritable = RunCli({"phase", "--age", "3", "--out", "/nonexistent/dir/x.png"});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.err.find("cannot write"), std::string::npos);
}

}  // namespace
