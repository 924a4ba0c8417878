// Runs the built orbel-cli binary: exit codes, messages and output.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <ctime>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "faked_clock.h"
#include "orbel_version.h"
#include "run_program.h"
#include "sky.h"
#include "test_files.h"
#include "text_lines.h"

namespace {

using std::chrono::seconds;

// Runs the tool with the arguments, the text on standard input, TZ set and a
// settings folder of its own (`config`; by default none: no saved place).
run_program::Ended RunCli(const std::vector<std::string>& args, const std::string& input = "",
                          const char* tz = "UTC0", const std::string& config = "/nonexistent") {
  std::vector<std::string> argv = {ORBEL_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  run_program::Options options;
  options.input = input;
  options.env["TZ"] = tz;
  options.env["XDG_CONFIG_HOME"] = config;
  return run_program::Run(argv, options);
}

// --version names the commit it was built from. The other outputs, messages
// and statuses are pinned by the characterization record.
TEST(CliEndToEnd, VersionNamesTheCommit) {
  const run_program::Ended run = RunCli({"--version"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string("orbel-cli ") + ORBEL_VERSION_TEXT + "\n");
}

// The options a command's help lists ("--lat", "--twilight", ...), but --help.
std::vector<std::string> OptionsOf(const std::string& command) {
  std::vector<std::string> options;
  for (const std::string& line : Lines(RunCli({command, "--help"}).out)) {
    if (line.rfind("  --", 0) != 0) continue;
    const std::string option = line.substr(2, line.find_first_of(" ,", 2) - 2);
    if (option != "--help") options.push_back(option);
  }
  return options;
}

// Every option of every command, and a stray argument, with a value holding
// terminal escapes, a bidirectional override and a C1 control, or 100 KB of
// digits: one short line on standard error, nothing in it raw.
TEST(CliEndToEnd, NoValueReachesTheTerminalRaw) {
  const std::string escapes = "5\x1b]0;x\x07\x1b[2J\xe2\x80\xae\xc2\x9b";
  const std::string huge(100000, '9');
  for (const std::string command :
       {"day", "table", "batch", "phases", "wait", "now", "positions", "is-up", "phase", "home"}) {
    std::vector<std::string> options = OptionsOf(command);
    ASSERT_FALSE(options.empty()) << command;
    options.push_back("");  // a stray argument
    for (const std::string& option : options) {
      for (const std::string& value : {escapes, huge}) {
        std::vector<std::string> args = {command, value};
        if (!option.empty()) args.insert(args.begin() + 1, option);
        const run_program::Ended run = RunCli(args);
        SCOPED_TRACE(command + " " + option + " " + value.substr(0, 4));
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
        EXPECT_LT(run.err.size(), 300u);
        for (const char* raw : {"\x1b", "\x07", "\xe2\x80\xae", "\xc2\x9b"}) {
          EXPECT_EQ(run.err.find(raw), std::string::npos) << run.err;
        }
        EXPECT_EQ(run.err.find(std::string(41, '9')), std::string::npos) << run.err;
      }
    }
  }
}

// Every "time" of a JSON document, and of its objects and arrays, with the
// "utc_offset" beside it (or "" where there is none).
void CollectTimes(const nlohmann::json& json,
                  std::vector<std::pair<std::string, std::string>>& out) {
  if (json.is_object() && json.contains("time")) {
    out.emplace_back(json["time"], json.value("utc_offset", ""));
  }
  if (json.is_structured()) {
    for (const auto& item : json) CollectTimes(item, out);
  }
}

// One JSON: every document says its format version; every instant is RFC 3339
// with seconds, in UTC where the offset has seconds (local mean time); table's
// days carry what day carries.
TEST(CliEndToEnd, OneJsonForEveryCommand) {
  const std::regex rfc3339(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d([+-]\d\d:\d\d|Z))");
  const std::vector<std::string> berlin1850 = {"--place", "berlin", "--json"};
  const std::vector<std::vector<std::string>> runs = {{"day", "--date", "1850-06-01"},
                                                      {"day", "--date", "2024-10-27"},
                                                      {"table", "--year", "1850"},
                                                      {"phases", "--year", "1850"},
                                                      {"now"}};
  std::vector<nlohmann::json> documents;
  for (std::vector<std::string> args : runs) {
    args.insert(args.end(), berlin1850.begin(), berlin1850.end());
    const run_program::Ended run = RunCli(args);
    ASSERT_EQ(run.status, 0) << args[0] << ": " << run.err;
    documents.push_back(nlohmann::json::parse(run.out));
    EXPECT_EQ(documents.back()["format_version"], 1) << args[0];
    std::vector<std::pair<std::string, std::string>> times;
    CollectTimes(documents.back(), times);
    EXPECT_GE(times.size(), 3u) << args[0];
    for (const auto& [time, offset] : times) {
      EXPECT_TRUE(std::regex_match(time, rfc3339)) << args[0] << ": " << time;
      EXPECT_EQ(time.back() == 'Z', offset.size() == 9) << args[0] << ": " << time << " " << offset;
    }
  }
  nlohmann::json day = documents[0];
  day.erase("format_version");
  day.erase("place");
  EXPECT_EQ(documents[2]["days"][151], day);  // 1 June 1850
  EXPECT_EQ(documents[0]["moon"]["illuminated_at"], "1850-06-01T11:06:32Z");
}

// Names that are not UTF-8, in the zone (TZ as a path), the city and a file:
// every command answers (JSON with U+FFFD in their place) or refuses, and
// none throws past main.
TEST(CliEndToEnd, NamesThatAreNotUtf8) {
  const std::string dir = TempPath("utf8") + "\xff";
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  WriteFile(dir + "/zone", ReadFile("/usr/share/zoneinfo/Europe/Berlin"));
  const std::string tz = ":" + dir + "/zone";
  const std::vector<std::vector<std::string>> commands = {
      {"day", "--json"},
      {"day", "--twilight"},
      {"table", "--year", "2026", "--json"},
      {"phases", "--json"},
      {"now", "--json"},
      {"wait", "sunset", "--dry-run"},
      {"is-up", "sun"},
      {"day", "--place", "\xff\xfe"},
      {"phase", "--age", "3", "--out", dir + "/\xff.ppm"}};
  for (std::vector<std::string> args : commands) {
    const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
    if (args[0] != "phase" && args[0] != "phases" && args.back() != "\xff\xfe") {
      args.insert(args.end(), {"--lat", "1", "--lon", "2"});
    }
    const run_program::Ended run = RunCli(args, "", tz.c_str());
    SCOPED_TRACE(args[0]);
    EXPECT_TRUE(run.status == 0 || run.status == 1 || run.status == 2) << run.status << run.err;
    if (json) {
      EXPECT_NO_THROW(nlohmann::json::parse(run.out));
      EXPECT_NE(run.out.find("\xef\xbf\xbd"), std::string::npos);  // U+FFFD
    }
  }
  std::remove((dir + "/\xff.ppm").c_str());
  std::remove((dir + "/zone").c_str());
  rmdir(dir.c_str());
}

// The real wait: the next sunrise of a place chosen three seconds away ends
// it then, and --quiet writes nothing meanwhile; a clock set forward past the
// moment ends it within a step; a signal ends it at once, after the line
// saying when it would return; no event within --within days gives status 3.
TEST(CliEndToEnd, WaitReturnsAtTheMoment) {
  const int64_t target = std::time(nullptr) + 3;
  double lon = 0;
  for (int i = 0; i < 4; ++i) {  // sunrise comes 4 minutes earlier a degree east
    const auto next = orbel::NextOccurrence(*orbel::FindEvent("sunrise"), {0, lon, "given"},
                                            orbel::FixedZone(0), target - 43200);
    lon = std::remainder(lon + static_cast<double>(next->instant - target) / 240, 360);
  }
  const std::vector<std::string> place = {"--lat",  "0", "--lon", std::to_string(lon),
                                          "--zone", "0"};
  std::vector<std::string> args = {ORBEL_CLI_PATH, "wait", "sunrise", "--quiet"};
  args.insert(args.end(), place.begin(), place.end());
  const auto started = std::chrono::steady_clock::now();
  const run_program::Ended waited = run_program::Run(args, {}, seconds(20));
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  EXPECT_EQ(waited.status, 0) << waited.err;
  EXPECT_EQ(waited.out + waited.err, "");
  EXPECT_GT(took, 1);
  EXPECT_LT(took, 8);

  // --dry-run: "2026-12-08 15:23:01 UTC+00:00, sunset at 15:53:01 - 00:30, in ...".
  const std::string dry = RunCli({"wait", "sunset", "--offset", "-00:30", "--lat", "0", "--lon",
                                  "0", "--zone", "0", "--dry-run"})
                              .out;
  const auto secondsOf = [](const std::string& t) {
    return std::stoi(t.substr(0, 2)) * 3600 + std::stoi(t.substr(3, 2)) * 60 +
           std::stoi(t.substr(6));
  };
  ASSERT_NE(dry.find(", sunset at "), std::string::npos) << dry;
  EXPECT_EQ(
      (secondsOf(dry.substr(dry.find(" at ") + 4, 8)) - secondsOf(dry.substr(11, 8)) + 86400) %
          86400,
      1800)
      << dry;

  args[2] = "sunset";  // twelve hours away, not quiet: ended by a signal
  args.erase(args.begin() + 3);
  run_program::Child sunset(args);
  usleep(300000);
  sunset.Signal(SIGTERM);
  const run_program::Ended signalled = sunset.Wait(seconds(5));
  EXPECT_EQ(signalled.signal, SIGTERM);
  EXPECT_EQ(signalled.err.rfind("orbel-cli: waiting until ", 0), 0u) << signalled.err;

  {
    // The clock set forward from 43 minutes before sunrise in Berlin to after it.
    const std::string stamp = TempPath("faketime");
    WriteFile(stamp, "@2026-06-21 02:00:00\n");
    run_program::Options faked = FakedClock("2026-06-21 02:00:00");
    faked.env["FAKETIME"] = std::nullopt;  // the file sets it
    faked.env["TZ"] = "UTC0";
    faked.env["FAKETIME_TIMESTAMP_FILE"] = stamp;
    faked.env["FAKETIME_NO_CACHE"] = "1";
    run_program::Child berlin(
        {ORBEL_CLI_PATH, "wait", "sunrise", "--lat", "52.52", "--lon", "13.405", "--zone", "0"},
        faked);
    usleep(1500000);
    WriteFile(stamp, "@2026-06-21 02:50:00\n");
    EXPECT_EQ(berlin.Wait(seconds(8)).status, 0) << "the clock set forward did not end the wait";
    std::remove(stamp.c_str());
  }

  // Midsummer: no sunrise at the north pole within a day.
  const run_program::Ended none =
      run_program::Run({ORBEL_CLI_PATH, "wait", "sunrise", "--lat", "89.9", "--lon", "0", "--zone",
                        "0", "--within", "1"},
                       FakedClock("2026-06-21 12:00:00"));
  EXPECT_EQ(none.status, 3);
  EXPECT_EQ(none.err, "orbel-cli: no sunrise within 1 day at 89°54'00\"N 0°00'00\"E\n");
}

// next's systemd calendar line names the moment its epoch form gives, as
// systemd itself reads it back (its "Next elapse"), on a zone of the zone
// database and on a fixed offset (written in UTC); and wait --dry-run under
// env -i, as cron runs it, finds the same moment as with a full environment.
TEST(CliEndToEnd, SchedulersGetTheMomentTheToolMeans) {
  const std::vector<std::string> event = {"sun-setting", "--altitude", "6", "--place", "sao paulo"};
  const auto run = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = {"next"};
    args.insert(args.end(), event.begin(), event.end());
    args.insert(args.end(), extra.begin(), extra.end());
    return RunCli(args).out;
  };
  for (const std::vector<std::string>& zone :
       {std::vector<std::string>{}, std::vector<std::string>{"--utc-offset", "+05:30"}}) {
    std::vector<std::string> systemd = zone, epoch = zone;
    systemd.insert(systemd.end(), {"--format", "systemd"});
    epoch.insert(epoch.end(), {"--format", "epoch"});
    const std::string line = run(systemd), seconds = run(epoch);
    ASSERT_FALSE(line.empty());
    if (access("/usr/bin/systemd-analyze", X_OK) != 0) GTEST_SKIP() << "no systemd-analyze";
    run_program::Options utc;
    utc.env["TZ"] = "UTC";
    const run_program::Ended analyzed = run_program::Run(
        {"/usr/bin/systemd-analyze", "calendar", line.substr(0, line.size() - 1)}, utc);
    std::smatch elapse;
    ASSERT_TRUE(std::regex_search(analyzed.out, elapse,
                                  std::regex("Next elapse: \\w+ (\\d+-\\d+-\\d+ \\d+:\\d+:\\d+)")))
        << line << analyzed.out << analyzed.err;
    const std::time_t t = std::stoll(seconds);
    char expected[32];
    std::strftime(expected, sizeof expected, "%Y-%m-%d %H:%M:%S", std::gmtime(&t));
    EXPECT_EQ(elapse[1].str(), expected) << line;
  }
  std::vector<std::string> bare = {"/usr/bin/env", "-i", ORBEL_CLI_PATH, "wait"};
  bare.insert(bare.end(), event.begin(), event.end());
  bare.push_back("--dry-run");
  const run_program::Ended cron = run_program::Run(bare);
  EXPECT_EQ(cron.status, 0) << cron.err;
  const std::string full =
      RunCli({"wait", "sun-setting", "--altitude", "6", "--place", "sao paulo", "--dry-run"}).out;
  EXPECT_EQ(cron.out.substr(0, 45), full.substr(0, 45));
  EXPECT_NE(cron.out.find("America/Sao_Paulo (UTC-03:00), sun-setting at "), std::string::npos)
      << cron.out;
}

// is-up prints nothing and answers by its status: at midsummer the sun is
// up at the north pole (0) and down at the south pole (1).
TEST(CliEndToEnd, IsUpAnswersByItsStatus) {
  const auto isUp = [](const char* lat) {
    return run_program::Run({ORBEL_CLI_PATH, "is-up", "sun", "--lat", lat, "--lon", "0"},
                            FakedClock("2026-06-21 12:00:00"));
  };
  const run_program::Ended north = isUp("89.9");
  const run_program::Ended south = isUp("-89.9");
  EXPECT_EQ(north.out + north.err + south.out + south.err, "");
  EXPECT_EQ(north.status, 0);
  EXPECT_EQ(south.status, 1);
}

// The place each source gives, in order: the options, the home place, the
// window's saved place. The home place keeps its zone; a broken home file is
// one line and exit 2, and home clear removes it.
TEST(CliEndToEnd, HomePlaceComesAfterTheOptionsAndBeforeTheWindow) {
  const std::string config = TempPath("config");
  ASSERT_EQ(mkdir(config.c_str(), 0700), 0);
  ASSERT_EQ(mkdir((config + "/orbel").c_str(), 0700), 0);
  WriteFile(config + "/orbel/win.ini",
            "[ORBEL32]\nLG=151\nLM=12\nLS=30\nBG=33\nBM=52\nBS=15\nEast=0\nNorth=0\n");
  struct Step {
    std::vector<std::string> args;  // "day --json" with these, or a home command
    std::string source, zone;       // what the day reports: place.source and zone.name
    double latitude;
  };
  const Step steps[] = {
      {{}, "saved by orbel", "UTC0", -33.870833333333333},
      {{"home", "set", "--place", "berlin"}, "", "", 0},
      {{}, "Berlin (home place)", "Europe/Berlin", 52.5},
      {{"--tz", "Asia/Tokyo"}, "Berlin (home place)", "Asia/Tokyo", 52.5},
      {{"--lat", "10"}, "Berlin (home place), latitude given", "Europe/Berlin", 10},
      {{"--lat", "10", "--lon", "20"}, "given", "UTC0", 10},
      {{"--place", "tokyo"}, "Tokyo", "Asia/Tokyo", 35.65},
      {{"home", "set", "--lat", "69:39N", "--lon", "18.96", "--utc-offset", "+01:00"}, "", "", 0},
      {{}, "home place", "", 69.65},
      {{"home", "clear"}, "", "", 0},
      {{}, "saved by orbel", "UTC0", -33.870833333333333},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.args.empty() ? "day" : step.args[0] + " " + step.args.back());
    if (!step.args.empty() && step.args[0] == "home") {
      const run_program::Ended run = RunCli(step.args, "", "UTC0", config);
      EXPECT_EQ(run.status, 0) << run.err;
      continue;
    }
    std::vector<std::string> args = {"day", "--json", "--date", "2026-12-08"};
    args.insert(args.end(), step.args.begin(), step.args.end());
    const run_program::Ended run = RunCli(args, "", "UTC0", config);
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json day = nlohmann::json::parse(run.out);
    EXPECT_EQ(day["place"]["source"], step.source);
    EXPECT_NEAR(day["place"]["latitude"].get<double>(), step.latitude, 0.01);
    EXPECT_EQ(day["zone"]["name"].is_null() ? "" : day["zone"]["name"].get<std::string>(),
              step.zone);
  }
  WriteFile(config + "/orbel/home", "latitude=91\nlongitude=0\n");
  const run_program::Ended broken = RunCli({"day"}, "", "UTC0", config);
  EXPECT_EQ(broken.status, 2);
  EXPECT_EQ(Lines(broken.err).size(), 1u) << broken.err;
  EXPECT_NE(broken.err.find("line 1"), std::string::npos) << broken.err;
  EXPECT_EQ(RunCli({"home", "clear"}, "", "UTC0", config).status, 0);
  EXPECT_EQ(RunCli({"day"}, "", "UTC0", config).status, 0);
}

// A moment on the clock: a repeated hour is its first occurrence unless an
// offset says otherwise, a skipped one is refused, and positions steps across
// the change with the same numbers as now.
TEST(CliEndToEnd, MomentsAreReadOnTheZonesClock) {
  const auto now = [](const std::string& at) {
    return RunCli({"now", "--place", "berlin", "--json", "--at", at});
  };
  const std::pair<const char*, const char*> moments[] = {
      {"2026-10-25 02:30", "2026-10-25T02:30:00+02:00"},
      {"2026-10-25T02:30:00+01:00", "2026-10-25T02:30:00+01:00"},
      {"2026-10-25t01:30:00z", "2026-10-25T02:30:00+01:00"},
      {"2026-12-08", "2026-12-08T00:00:00+01:00"},
  };
  for (const auto& [at, time] : moments) {
    const run_program::Ended run = now(at);
    ASSERT_EQ(run.status, 0) << at << ": " << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["time"], time) << at;
  }
  const run_program::Ended skipped = now("2026-03-29 02:30");
  EXPECT_EQ(skipped.status, 2);
  EXPECT_NE(skipped.err.find("skipped"), std::string::npos) << skipped.err;

  const run_program::Ended series =
      RunCli({"positions", "--place", "berlin", "--from", "2026-10-25 02:30", "--to",
              "2026-10-25T02:30:00+01:00", "--step", "30m"});
  ASSERT_EQ(series.status, 0) << series.err;
  const std::vector<std::string> rows = Lines(series.out);
  ASSERT_EQ(rows.size(), 4u) << series.out;
  EXPECT_EQ(rows[0], "time,sun_altitude,sun_azimuth,moon_altitude,moon_azimuth");
  EXPECT_EQ(rows[2].substr(0, 25), "2026-10-25T02:00:00+01:00");
  const nlohmann::json last = nlohmann::json::parse(now("2026-10-25T02:30:00+01:00").out);
  std::vector<double> fields;
  std::stringstream row(rows[3].substr(26));
  for (std::string field; std::getline(row, field, ',');) fields.push_back(std::stod(field));
  EXPECT_EQ(fields, (std::vector<double>{last["sun"]["altitude"], last["sun"]["azimuth"],
                                         last["moon"]["altitude"], last["moon"]["azimuth"]}));
  const run_program::Ended json =
      RunCli({"positions", "--from", "2026-12-08", "--to", "2026-12-09", "--step", "1h", "--json"});
  EXPECT_EQ(nlohmann::json::parse(json.out)["positions"].size(), 25u);
  const run_program::Ended tooMany =
      RunCli({"positions", "--from", "2026-01-01", "--to", "2027-12-31", "--step", "30s"});
  EXPECT_EQ(tooMany.status, 2);
  EXPECT_EQ(tooMany.out, "");
}

// A month's table holds the year's days of that month; the 12-hour clock
// writes midnight and noon hours as 12 AM and 12 PM.
TEST(CliEndToEnd, TablesOfAMonthAndTheTwelveHourClock) {
  const nlohmann::json year =
      nlohmann::json::parse(RunCli({"table", "--year", "2026", "--place", "berlin", "--json"}).out);
  const nlohmann::json month = nlohmann::json::parse(
      RunCli({"table", "--month", "2026-12", "--place", "berlin", "--json"}).out);
  ASSERT_EQ(month["days"].size(), 31u);
  EXPECT_EQ(month["days"][0], year["days"][334]);
  EXPECT_EQ(month["days"][30], year["days"][364]);
  EXPECT_EQ(month["from"], "2026-12-01");
  const run_program::Ended reform =
      RunCli({"table", "--from", "1582-10-01", "--to", "1582-10-20", "--csv"});
  EXPECT_EQ(Lines(reform.out).size(), 11u);  // the header, 1-4 and 15-20 October
  EXPECT_EQ(RunCli({"table", "--from", "2026-12-31", "--to", "2026-12-01"}).status, 2);

  const std::string day =
      RunCli({"day", "--place", "berlin", "--date", "2026-06-21", "--clock", "12h"}).out;
  for (const char* line : {"Sunrise    4:43 AM", "Sunset     9:33 PM", "Noon       1:08 PM",
                           "Moonset    12:42 AM", "Moonrise   12:45 PM", "lit at 12:00 PM"}) {
    EXPECT_NE(day.find(line), std::string::npos) << line << "\n" << day;
  }
}

// Input that cannot be read, a closed one included, and output that cannot be
// written are failures with the system's reason, for any number of jobs.
TEST(CliEndToEnd, BatchWithoutItsStreams) {
  for (const char* jobs : {"1", "2"}) {
    const std::string batch = std::string(ORBEL_CLI_PATH) + " batch --jobs " + jobs;
    const std::pair<std::string, std::string> cases[] = {
        {batch + " <&-", "orbel-cli: cannot read the input: Bad file descriptor\n"},
        {batch + " </", "orbel-cli: cannot read the input: Is a directory\n"},
        {"echo 1 1 2000 1 1 0 | " + batch + " >&-",
         "orbel-cli: cannot write the output: Bad file descriptor\n"}};
    for (const auto& [line, message] : cases) {
      const run_program::Ended run = run_program::Run({"/bin/sh", "-c", line});
      EXPECT_EQ(run.status, 1) << line;
      EXPECT_EQ(run.err, message) << line;
    }
  }
}

// Memory running out at any allocation after start-up ends the tool with one
// line and status 4, never an abort: the allocations fail from the Nth on,
// for N from the first that reaches the tool's own code to the first that
// lets the command finish.
TEST(CliEndToEnd, MemoryRunningOutIsSaidNeverAnAbort) {
  if (std::strlen(FAILING_MALLOC_LIBRARY) == 0) GTEST_SKIP() << "sanitizer or coverage build";
  const std::pair<std::vector<std::string>, std::string> commands[] = {
      {{"day", "--date", "2026-03-29", "--place", "Europe/Berlin", "--json"}, ""},
      {{"table", "--year", "2026", "--lat", "52", "--lon", "13", "--zone", "1", "--json"}, ""},
      {{"batch", "--jobs", "2"}, "1 1 2000 1 1 0\n29 3 2026 52 13 -1\n"}};
  for (const auto& [args, input] : commands) {
    const auto runWith = [&, &args = args, &input = input](long allocations) {
      std::vector<std::string> argv = {ORBEL_CLI_PATH};
      argv.insert(argv.end(), args.begin(), args.end());
      run_program::Options options;
      options.input = input;
      options.env["XDG_CONFIG_HOME"] = "/nonexistent";
      options.env["LD_PRELOAD"] = FAILING_MALLOC_LIBRARY;
      options.env["ORBEL_MALLOC_FAILS_AFTER"] = std::to_string(allocations);
      return run_program::Run(argv, options);
    };
    long first = 0;
    while (first < 5000 && runWith(first).err != "orbel-cli: out of memory\n") first += 10;
    ASSERT_LT(first, 5000) << args[0] << ": never said it ran out of memory";
    long step = 1;
    for (long n = first;; n += step, step += step / 8 + 1) {
      const run_program::Ended run = runWith(n);
      SCOPED_TRACE(args[0] + " with " + std::to_string(n) + " allocations");
      ASSERT_EQ(run.signal, 0) << run.err;
      if (run.status == 0) break;
      ASSERT_EQ(run.status, 4);
      ASSERT_EQ(run.err, "orbel-cli: out of memory\n");
    }
  }
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

}  // namespace
