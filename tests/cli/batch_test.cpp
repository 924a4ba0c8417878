// The batch processor of the command-line tool: line parsing, error reporting,
// and the same output for any number of jobs. The golden record pins the
// result fields.
#include "batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <regex>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

namespace {

using orbel::LineKind;

std::string ResultOf(const std::string& line) {
  const orbel::ParsedLine parsed = orbel::ParseBatchLine(line);
  EXPECT_EQ(parsed.kind, LineKind::kQuery) << line << ": " << parsed.error;
  std::string out;
  orbel::AppendBatchResult(parsed.query, out);
  return out;
}

struct BatchRun {
  int status;
  std::string out, err;
};

BatchRun RunOn(std::istream& in, const orbel::BatchOptions& options = {}) {
  std::ostringstream out, err;
  const int status = orbel::RunBatch(in, out, err, options);
  return {status, out.str(), err.str()};
}

BatchRun RunOn(const std::string& input, const orbel::BatchOptions& options = {}) {
  std::istringstream in(input);
  return RunOn(in, options);
}

// Hands out its text a few characters at a time and never tells that more is
// ready, like a pipe from a slow writer.
class TrickleBuffer : public std::streambuf {
 public:
  explicit TrickleBuffer(std::string text) : text_(std::move(text)) {}

 private:
  int_type underflow() override {
    if (pos_ == text_.size()) return traits_type::eof();
    const size_t n = std::min<size_t>(1 + random_() % 50, text_.size() - pos_);
    setg(&text_[pos_], &text_[pos_], &text_[pos_] + n);
    pos_ += n;
    return traits_type::to_int_type(*gptr());
  }

  std::string text_;
  size_t pos_ = 0;
  std::minstd_rand random_{7};
};

TEST(ParseBatchLine, RawArgumentsOverTheirFullRange) {
  const struct {
    const char* line;
    DayQuery q;
  } cases[] = {
      {"14 12 1999 48.743333333333333 9.3075 -1", {14, 12, 1999, 48.743333333333333, 9.3075, -1}},
      {"255 255 4294967295 311.2333 -400.5 127", {255, 255, 4294967295u, 311.2333, -400.5, 127}},
      {"\t 1\t2  3 \t4.5e1 -1e300 +5\r", {1, 2, 3, 45, -1e300, 5}},
      {"+1 +2 +3 +.5 5. -0", {1, 2, 3, 0.5, 5, 0}},
      {"1 1 1 1e-400 4.9e-324 0", {1, 1, 1, 0, 4.9e-324, 0}},         // underflow reads as zero
      {"1 1 2026 28.6 77.2 -5.5", {1, 1, 2026, 28.6, 77.2, -5.5}},    // India
      {"1 1 2026 27.7 85.3 -5.75", {1, 1, 2026, 27.7, 85.3, -5.75}},  // Nepal
      {"1 1 2026 47.6 -52.7 +3.5", {1, 1, 2026, 47.6, -52.7, 3.5}},   // Newfoundland
      {"1 1 2026 0 0 -128.0", {1, 1, 2026, 0, 0, -128}},
  };
  for (const auto& c : cases) {
    const orbel::ParsedLine p = orbel::ParseBatchLine(c.line);
    ASSERT_EQ(p.kind, LineKind::kQuery) << c.line << ": " << p.error;
    EXPECT_TRUE(p.query.day == c.q.day && p.query.month == c.q.month && p.query.year == c.q.year &&
                p.query.latitude == c.q.latitude && p.query.longitude == c.q.longitude &&
                p.query.zone == c.q.zone)
        << c.line;
  }
  for (const char* line : {"", " \t\r", "#", "  \t# indented"}) {
    EXPECT_EQ(orbel::ParseBatchLine(line).kind, LineKind::kSkip) << '"' << line << '"';
  }
}

TEST(ParseBatchLine, RejectsWithAReasonNamingTheField) {
  const struct {
    const char* line;
    const char* error;
  } cases[] = {
      {"14 12 1999 48.7 9.3", "expected 6 fields (DAY MONTH YEAR LAT LON ZONE), found 5"},
      {"14 12 1999 48.7 9.3 -1 # x", "expected 6 fields (DAY MONTH YEAR LAT LON ZONE), found 8"},
      {"x 12 1999 48.7 9.3 -1", "DAY \"x\": not a number"},
      {"12x 12 1999 48.7 9.3 -1", "DAY \"12x\": trailing characters \"x\""},
      {"-1 12 1999 48.7 9.3 -1", "DAY \"-1\": out of range 0..255"},
      {"14 256 1999 48.7 9.3 -1", "MONTH \"256\": out of range 0..255"},
      {"14 12 4294967296 48.7 9.3 -1", "YEAR \"4294967296\": out of range 0..4294967295"},
      {"14 12 99999999999999999999 48.7 9.3 -1",
       "YEAR \"99999999999999999999\": out of range 0..4294967295"},
      {"14 12 1999 nan 9.3 -1", "LAT \"nan\": not a finite number"},
      {"14 12 1999 48.7 -infinity -1", "LON \"-infinity\": not a finite number"},
      {"14 12 1999 1e999 9.3 -1", "LAT \"1e999\": beyond the range of a double"},
      {"14 12 1999 0x1p3 9.3 -1", "LAT \"0x1p3\": trailing characters \"x1p3\""},
      {"14 12 1999 48.7 9.3 128", "ZONE \"128\": out of range -128..127"},
      {"14 12 1999 48.7 9.3 127.01", "ZONE \"127.01\": out of range -128..127"},
      {"14 12 1999 48.7 9.3 -5:30", "ZONE \"-5:30\": trailing characters \":30\""},
      {"14 12 1999 48.7 9.3 inf", "ZONE \"inf\": not a finite number"},
      {"14 12 1999 48.7 9.3 +-1", "ZONE \"+-1\": not a number"},
      {"1 1 1 1 1 x1234567890123456789012345678901234567890123",
       "ZONE \"x123456789012345678901234567890123456789...\": not a number"},
  };
  for (const auto& c : cases) {
    const orbel::ParsedLine parsed = orbel::ParseBatchLine(c.line);
    EXPECT_EQ(parsed.kind, LineKind::kError) << c.line;
    EXPECT_EQ(parsed.error, c.error) << c.line;
  }
}

// The 17 fields of a result: hour, minute, azimuth and text of sunrise,
// sunset, moonrise and moonset, then the moon's age; an event that does not
// happen has its status in hour, minute and azimuth. The golden record pins
// every bit; this pins the layout with the worked example of 14.12.1999.
TEST(AppendBatchResult, FieldLayout) {
  const std::string az = "\\d+\\.\\d+\\t";
  EXPECT_TRUE(std::regex_match(
      ResultOf("14 12 1999 48.743333333333333 9.3075 -1"),
      std::regex("8\\t8\\t" + az + "08:08\\t16\\t27\\t" + az + "16:27\\t12\\t17\\t" + az +
                 "12:17\\t22\\t46\\t" + az + "22:46\\t6\\n")));
  EXPECT_EQ(ResultOf("21 6 2024 78 15 -2").rfind("-4\t-4\t-4\tSUN UP ALL DAY\t-4\t-4\t-4\t", 0),
            0u);
}

TEST(RunBatch, ReportsBadLinesByPhysicalNumberAndContinues) {
  const BatchRun run = RunOn(
      "# day month year lat lon zone\n14 12 1999 48.7333 9.3 -1\n\n14 12 1999 48.7333 9.3\n"
      "   # comment\n14 13x 1999 48.7333 9.3 -1\n14 12 1999 48.7333 9.3 -1");  // no final newline
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "line 4: expected 6 fields (DAY MONTH YEAR LAT LON ZONE), found 5\n"
            "line 6: MONTH \"13x\": trailing characters \"x\"\n");
  EXPECT_EQ(run.out, ResultOf("14 12 1999 48.7333 9.3 -1") + ResultOf("14 12 1999 48.7333 9.3 -1"));
  EXPECT_EQ(RunOn("").status, 0);
  const BatchRun good = RunOn("\n# only good lines\n1 1 2000 -33.87 151.2 -10\r\n");
  EXPECT_EQ(good.status, 0);
  EXPECT_EQ(good.err, "");
  EXPECT_EQ(good.out, ResultOf("1 1 2000 -33.87 151.2 -10"));
}

TEST(RunBatch, SameOutputForAnyNumberOfJobs) {
  // Queries, rejected, blank and comment lines over many chunks of 5 lines,
  // each rejection naming its line; the last line has no newline.
  std::mt19937 random(31);
  std::uniform_real_distribution<double> latitude(-89.9, 89.9), longitude(-180, 180);
  std::string input;
  char line[128];
  for (int i = 0; i < 400; ++i) {
    const unsigned kind = random() % 8;
    if (kind == 0) {
      std::snprintf(line, sizeof line, "%d 13x 2000 1 1 0\n", i);
    } else if (kind == 1) {
      std::snprintf(line, sizeof line, i % 2 ? "\n" : "# %d\r\n", i);
    } else {
      std::snprintf(line, sizeof line, "%d %d 2024 %.9f %.9f -1%s", 1 + i % 28, 1 + i % 12,
                    latitude(random), longitude(random), kind == 2 ? "\r\n" : "\n");
    }
    input += line;
  }
  input += "1 1 2000 10 10 0";
  const BatchRun serial = RunOn(input);
  ASSERT_EQ(serial.status, 1);
  for (const unsigned jobs : {2u, 7u}) {
    orbel::BatchOptions options;
    options.jobs = jobs;
    options.chunkLines = 5;
    TrickleBuffer trickle(input);
    std::istream trickled(&trickle);
    for (const BatchRun& run : {RunOn(input, options), RunOn(trickled, options)}) {
      EXPECT_EQ(run.status, serial.status) << jobs;
      EXPECT_EQ(run.out, serial.out) << jobs;
      EXPECT_EQ(run.err, serial.err) << jobs;
    }
  }
}

}  // namespace
