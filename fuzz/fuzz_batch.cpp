// Fuzz target: orbel-cli's batch processor on any bytes.
//
// The input's first byte picks a number of jobs (1 to 4) and the lines a chunk
// holds (1 to 8); the rest is the batch's input, where each byte 0xFE stands
// for 65,536 more bytes of '9', so that short inputs reach the lines past the
// limit. Invariants:
//  - no crash, no undefined behaviour, no data race (see the tsan preset);
//  - several jobs give the same output, rejections and status as one;
//  - every line has one result or one rejection, until a NUL byte, which is
//    rejected and ends the input; a line past the limit is rejected as such;
//  - the status is 1 exactly when a line was rejected.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "batch.h"
#include "fuzz_support.h"

namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string input;
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == 0xFE) {
      input.append(65536, '9');
    } else {
      input += static_cast<char>(data[i]);
    }
  }
  const auto run = [&](const orbel::BatchOptions& options, std::string& out, std::string& err) {
    std::istringstream in(input);
    std::ostringstream o, e;
    const int status = orbel::RunBatch(in, o, e, options);
    out = o.str();
    err = e.str();
    return status;
  };
  std::string out1, err1, outN, errN;
  const int status1 = run({}, out1, err1);
  orbel::BatchOptions several;
  several.jobs = 1 + data[0] % 4;
  several.chunkLines = 1 + data[0] / 4 % 8;
  const int statusN = run(several, outN, errN);
  if (statusN != status1 || outN != out1 || errN != err1) {
    fuzz::Fail("%u jobs, %zu lines a chunk: status %d and %zu/%zu bytes, one job %d and %zu/%zu",
               several.jobs, several.chunkLines, statusN, outN.size(), errN.size(), status1,
               out1.size(), err1.size());
  }

  // The lines up to the first NUL, the last one maybe without its newline.
  const size_t nul = input.find('\0');
  const std::string text = input.substr(0, nul == std::string::npos ? input.size() : nul + 1);
  const size_t lines = Count(text, "\n") + (!text.empty() && text.back() != '\n' ? 1 : 0);
  const size_t results = Count(out1, "\n"), rejections = Count(err1, "\n");
  // (A line past the limit with a NUL byte in it is rejected for both.)
  if (results + rejections > lines + 1) {
    fuzz::Fail("%zu results and %zu rejections for %zu lines", results, rejections, lines);
  }
  if ((nul != std::string::npos) != (Count(err1, ": a NUL byte") == 1)) {
    fuzz::Fail("a NUL byte at %zu, rejections: %s", nul, err1.substr(0, 200).c_str());
  }
  if ((status1 != 0) != (rejections > 0))
    fuzz::Fail("status %d, %zu rejections", status1, rejections);
  size_t longest = 0, length = 0;
  for (const char c : text.substr(0, nul == std::string::npos ? text.size() : nul)) {
    length = c == '\n' ? 0 : length + 1;
    longest = std::max(longest, length);
  }
  if ((longest > orbel::kMaxBatchLineBytes) != (Count(err1, "longer than") > 0)) {
    fuzz::Fail("the longest line has %zu bytes, rejections: %s", longest,
               err1.substr(0, 200).c_str());
  }
  return 0;
}
