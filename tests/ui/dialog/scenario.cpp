#include "scenario.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "moon_age.h"
#include "moon_events.h"
#include "phase_name.h"
#include "resource.h"
#include "sun_events.h"

namespace scenario {

namespace {

const char kResetCaption[] = "Rrrrrrrrrrrrrrrrrrrrrrrrrrreset";
const char kResetText[] = "Alle Parameter wieder auf Doverizez ?";

// The names of resource.h (IDC_DAY, ...) with their values, as the build
// lists them from the header: scenarios name controls by them.
const struct {
  const char* name;
  int id;
} kControlNames[] = {
#include "control_names.inc"
};

// The control's name in messages: the first of resource.h with its id.
std::string ControlName(int id) {
  for (const auto& control : kControlNames) {
    if (control.id == id) return control.name;
  }
  return "control " + std::to_string(id);
}

// Words separated by blanks; a word in double quotes may hold blanks or be
// empty.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
    } else if (line[i] == '"') {
      const size_t end = line.find('"', i + 1);
      words.push_back(line.substr(i + 1, end == std::string::npos ? end : end - i - 1));
      i = end == std::string::npos ? line.size() : end + 1;
    } else {
      const size_t end = line.find_first_of(" \t\r", i);
      words.push_back(line.substr(i, end == std::string::npos ? end : end - i));
      i = end == std::string::npos ? line.size() : end;
    }
  }
  return words;
}

// The system's date and zone as the dialog reads them in system-time mode,
// taken from the system here, not from the dialog.
struct SystemNow {
  SYSTEMTIME local;
  int zone;      // the field: standard bias in whole hours
  int daylight;  // 1 while daylight saving time is in force
};

SystemNow Now() {
  SystemNow now{};
  GetLocalTime(&now.local);
  TIME_ZONE_INFORMATION info{};
  now.daylight = GetTimeZoneInformation(&info) == TIME_ZONE_ID_DAYLIGHT ? 1 : 0;
  now.zone = static_cast<int>(info.Bias / 60);
  return now;
}

class Runner {
 public:
  Runner(const std::string& file, Backend& backend) : file_(file), backend_(backend) {}

  // Splits the text into lines of words: comments and other back-ends' lines
  // dropped.
  void Load(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      std::vector<std::string> words = Words(line);
      if (words.empty() || words[0][0] == '#') continue;
      if (words[0] == "[wine]" || words[0] == "[standin]") {
        if (words[0] != std::string("[") + backend_.Name() + "]") continue;
        words.erase(words.begin());
      }
      lines_.push_back({number, std::move(words)});
    }
  }

  // Runs the next line; false at the end or once an action has failed.
  bool Step() {
    if (stopped_ || next_ >= lines_.size()) return false;
    const Line& line = lines_[next_++];
    lineNumber_ = line.number;
    std::vector<std::string> words = line.words;
    for (std::string& word : words) word = Substitute(word);
    std::string why;
    if (!Execute(words, why)) {
      Fail(words[0] + ": " + why);
      stopped_ = true;
    }
    return !stopped_;
  }

  void RunAll() {
    while (Step()) {
    }
  }

  Result result;

 private:
  void Fail(const std::string& what) {
    result.failures.push_back(file_ + ":" + std::to_string(lineNumber_) + ": " +
                              (note_.empty() ? "" : "[" + note_ + "] ") + what);
  }

  void Expect(bool ok, const std::string& what, const std::string& expected,
              const std::string& seen) {
    ++result.checks;
    if (!ok) Fail(what + ": expected \"" + expected + "\", seen \"" + seen + "\"");
  }

  // $day, $month, $year, $zone, $daylight, $enginezone (zone minus daylight)
  // and $age anywhere in a word: the system's date and zone as the dialog must
  // show them.
  std::string Substitute(const std::string& word) {
    const size_t dollar = word.find('$');
    if (dollar == std::string::npos) return word;
    size_t end = dollar + 1;
    while (end < word.size() && word[end] >= 'a' && word[end] <= 'z') ++end;
    const std::string name = word.substr(dollar + 1, end - dollar - 1);
    const SystemNow now = Now();
    std::string value;
    if (name == "day") value = std::to_string(now.local.wDay);
    if (name == "month") value = std::to_string(now.local.wMonth);
    if (name == "year") value = std::to_string(now.local.wYear);
    if (name == "zone") value = std::to_string(now.zone);
    if (name == "daylight") value = std::to_string(now.daylight);
    if (name == "enginezone") value = std::to_string(now.zone - now.daylight);
    if (name == "age") {
      value = std::to_string(MoonAge(static_cast<uint8_t>(now.local.wDay),
                                     static_cast<uint8_t>(now.local.wMonth), now.local.wYear));
    }
    return word.substr(0, dollar) + value + word.substr(end);
  }

  static bool Number(const std::string& text, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0';
  }

  // A place as "DEG:MIN:SEC" with N, S, E or W, formed as the dialog's
  // convention says (degrees + minutes/60 + seconds/3600, 360 minus that for
  // south and west), or a plain decimal number.
  static bool Angle(const std::string& text, double& value) {
    int degrees = 0, minutes = 0, seconds = 0;
    char hemisphere = 0;
    if (std::sscanf(text.c_str(), "%d:%d:%d%c", &degrees, &minutes, &seconds, &hemisphere) == 4) {
      value = degrees + minutes * (1.0 / 60) + seconds * (1.0 / 3600);
      if (hemisphere == 'S' || hemisphere == 'W') value = 360 - value;
      return hemisphere == 'N' || hemisphere == 'S' || hemisphere == 'E' || hemisphere == 'W';
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0';
  }

  bool ExpectResults(const std::vector<std::string>& w, std::string& why) {
    long long day = 0, month = 0, year = 0, zone = 0;
    double latitude = 0, longitude = 0;
    if (w.size() != 7 || !Number(w[1], day) || !Number(w[2], month) || !Number(w[3], year) ||
        !Angle(w[4], latitude) || !Angle(w[5], longitude) || !Number(w[6], zone)) {
      why = "expected DAY MONTH YEAR LAT LON ZONE";
      return false;
    }
    const auto d = static_cast<uint8_t>(day), m = static_cast<uint8_t>(month);
    const auto y = static_cast<uint32_t>(year);
    const auto z = static_cast<int8_t>(zone);
    const std::pair<int, std::string> fields[] = {
        {IDC_SUNRISE, SunriseText(d, m, y, latitude, longitude, z)},
        {IDC_SUNSET, SunsetText(d, m, y, latitude, longitude, z)},
        {IDC_MOONSET, MoonsetText(d, m, y, latitude, longitude, z)},
        {IDC_MOONRISE, MoonriseText(d, m, y, latitude, longitude, z)},
    };
    for (const auto& [id, expected] : fields) {
      const std::string seen = backend_.Text(id);
      Expect(seen == expected,
             ControlName(id) + " for " + w[1] + "." + w[2] + "." + w[3] + " " + w[4] + " " + w[5] +
                 " zone " + w[6],
             expected, seen);
    }
    return true;
  }

  // The picture for AGE: no yellow at new moon, all yellow at full moon, else
  // yellow on the right while waxing and on the left while waning, grey
  // opposite. Empty when the picture shows that.
  static std::string PhaseMismatch(const Picture& p, int age, std::string& seen) {
    const int r = p.width / 2;
    long yellow[2] = {0, 0}, grey[2] = {0, 0}, disk = 0;
    double yellowSum = 0, greySum = 0;
    for (int y = 0; y < p.height && y < 2 * r; ++y) {
      for (int x = 0; x < 2 * r; ++x) {
        const double dx = x + 0.5 - r, dy = y + 0.5 - r;
        if (dx * dx + dy * dy < double(r) * r) ++disk;
        const COLORREF c = p.pixels[static_cast<size_t>(y) * p.width + x];
        if (c == RGB(255, 255, 0)) {
          ++yellow[x < r ? 0 : 1];
          yellowSum += x + 0.5;
        } else if (c == RGB(128, 128, 128)) {
          ++grey[x < r ? 0 : 1];
          greySum += x + 0.5;
        }
      }
    }
    const long yellowCount = yellow[0] + yellow[1], greyCount = grey[0] + grey[1];
    const double yellowMean = yellowCount > 0 ? yellowSum / yellowCount : -1;
    const double greyMean = greyCount > 0 ? greySum / greyCount : -1;
    char text[200];
    std::snprintf(text, sizeof text,
                  "yellow %ld px left, %ld right (mean column %.1f); grey %ld left, %ld right "
                  "(mean column %.1f); disk %ld px",
                  yellow[0], yellow[1], yellowMean, grey[0], grey[1], greyMean, disk);
    seen = text;
    // The outlines and small unfilled pockets take a part of the disk.
    if (yellowCount + greyCount < 0.7 * disk) return "a yellow and grey disk";
    if (age == 0) return yellowCount == 0 ? "" : "a grey disk without yellow";
    if (age == 15) return greyCount < 0.05 * disk ? "" : "a yellow disk without grey";
    if (yellowCount == 0 || greyCount == 0) return "a yellow and a grey part";
    if (age >= 1 && age <= 14) {
      return yellowMean > r && greyMean < r ? "" : "yellow on the right, grey on the left";
    }
    return yellowMean < r && greyMean > r ? "" : "yellow on the left, grey on the right";
  }

  bool ExpectPhase(const std::string& ageText, std::string& why) {
    long long age = 0;
    if (!Number(ageText, age) || age < 0 || age > 29) {
      why = "expected a moon age 0-29";
      return false;
    }
    // The screen may show the picture a little after the dialog drew it.
    std::string mismatch, seen;
    for (int attempt = 0;; ++attempt) {
      Picture picture;
      if (!backend_.PhasePicture(picture, why)) return false;
      mismatch = PhaseMismatch(picture, static_cast<int>(age), seen);
      if (mismatch.empty() || !backend_.ScreenLags() || attempt == 25) break;
      backend_.Wait(100);
    }
    Expect(mismatch.empty(), "phase picture, moon age " + ageText, mismatch, seen);
    const std::string name = backend_.StatusText(2);
    Expect(name == PhaseName(static_cast<int32_t>(age)), "status part 2, moon age " + ageText,
           PhaseName(static_cast<int32_t>(age)), name);
    return true;
  }

  void ExpectClock() {
    const std::string seen = backend_.StatusText(0);
    unsigned h = 0, m = 0, s = 0;
    bool ok = seen.size() == 8 && std::sscanf(seen.c_str(), "%2u:%2u:%2u", &h, &m, &s) == 3;
    const SystemNow now = Now();
    const long shown = static_cast<long>(h * 3600 + m * 60 + s);
    const long system = now.local.wHour * 3600L + now.local.wMinute * 60L + now.local.wSecond;
    ok = ok && (std::labs(system - shown) <= 3 || std::labs(system - shown) >= 86400 - 3);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%02u:%02u:%02u", now.local.wHour, now.local.wMinute,
                  now.local.wSecond);
    Expect(ok, "status part 0, the clock (within 3 s)", expected, seen);
  }

  // Pairs of "ID VALUE" after the command word.
  template <typename Check>
  bool Pairs(const std::vector<std::string>& w, std::string& why, Check check) {
    if (w.size() < 3 || w.size() % 2 == 0) {
      why = "expected ID VALUE pairs";
      return false;
    }
    for (size_t i = 1; i + 1 < w.size(); i += 2) {
      int id = 0;
      if (!ControlId(w[i], id, why)) return false;
      check(id, w[i + 1]);
    }
    return true;
  }

  // A control named as resource.h names it.
  static bool ControlId(const std::string& name, int& id, std::string& why) {
    for (const auto& control : kControlNames) {
      if (name == control.name) {
        id = control.id;
        return true;
      }
    }
    why = "no control " + name + " in resource.h";
    return false;
  }

  static bool KeyValues(const std::vector<std::string>& w,
                        std::vector<std::pair<std::string, std::string>>& keys) {
    for (size_t i = 1; i < w.size(); ++i) {
      const size_t eq = w[i].find('=');
      if (eq == std::string::npos) return false;
      keys.emplace_back(w[i].substr(0, eq), w[i].substr(eq + 1));
    }
    return true;
  }

  bool Execute(const std::vector<std::string>& w, std::string& why) {
    const std::string& cmd = w[0];
    const size_t n = w.size();
    long long id = 0;
    if (cmd == "note") {
      note_.clear();
      for (size_t i = 1; i < n; ++i) note_ += (i > 1 ? " " : "") + w[i];
      return true;
    }
    if (cmd == "profile") {
      std::vector<std::pair<std::string, std::string>> keys;
      if (!KeyValues(w, keys)) return (why = "expected KEY=VALUE words"), false;
      return backend_.WriteProfile(keys, why);
    }
    if (cmd == "start" && n == 1) return backend_.Start([this] { return Step(); }, why);
    int control = 0;
    if ((cmd == "set" || cmd == "type") && n == 3) {
      if (!ControlId(w[1], control, why)) return false;
      return cmd == "set" ? backend_.SetText(control, w[2], why)
                          : backend_.Type(control, w[2], why);
    }
    if (cmd == "click" && n >= 2) {
      for (size_t i = 1; i < n; ++i) {
        if (!ControlId(w[i], control, why) || !backend_.Click(control, why)) return false;
      }
      return true;
    }
    if (cmd == "key" && n == 2) {
      const struct {
        const char* name;
        UINT vk;
      } kKeys[] = {
          {"escape", VK_ESCAPE}, {"return", VK_RETURN}, {"tab", VK_TAB}, {"space", VK_SPACE}};
      for (const auto& k : kKeys) {
        if (w[1] == k.name) return backend_.Key(k.vk, why);
      }
      return (why = "unknown key \"" + w[1] + "\""), false;
    }
    if (cmd == "rclick" && (n == 2 || (n == 4 && w[2] == "answer"))) {
      const bool shift = w[1] == "shift" || w[1] == "shift+ctrl";
      const bool ctrl = w[1] == "ctrl" || w[1] == "shift+ctrl";
      if (!shift && !ctrl && w[1] != "none") return (why = "unknown modifiers"), false;
      std::optional<bool> answer;
      if (n == 4) answer = w[3] == "yes";
      Backend::Box box;
      if (!backend_.RightClick(shift, ctrl, answer, box, why)) return false;
      Expect(box.shown == answer.has_value(), "a question box", answer ? "one" : "none",
             box.shown ? "one" : "none");
      if (answer && box.shown) {
        Expect(box.caption == kResetCaption, "the question's caption", kResetCaption, box.caption);
        Expect(box.text == kResetText, "the question", kResetText, box.text);
      }
      return true;
    }
    if (cmd == "tick" && n == 1) return backend_.Tick(why);
    if (cmd == "close" && n == 2) return backend_.Close(w[1], why);
    if (cmd == "expect-text") {
      return Pairs(w, why, [&](int control, const std::string& expected) {
        const std::string seen = backend_.Text(control);
        Expect(seen == expected, ControlName(control), expected, seen);
      });
    }
    if (cmd == "expect-check" || cmd == "expect-enabled") {
      const bool checks = cmd == "expect-check";
      return Pairs(w, why, [&](int control, const std::string& expected) {
        const bool state = checks ? backend_.Checked(control) : backend_.Enabled(control);
        const std::string seen = state ? "1" : "0";
        Expect(seen == expected, ControlName(control) + (checks ? " checked" : " enabled"),
               expected, seen);
      });
    }
    if (cmd == "expect-focus" && n == 2) {
      if (!ControlId(w[1], control, why)) return false;
      const int focused = backend_.FocusedId();
      Expect(focused == control, "the focus", ControlName(control), ControlName(focused));
      return true;
    }
    if (cmd == "expect-status" && n == 3 && Number(w[1], id)) {
      const std::string seen = backend_.StatusText(static_cast<int>(id));
      Expect(seen == w[2], "status part " + w[1], w[2], seen);
      return true;
    }
    if (cmd == "expect-clock" && n == 1) {
      ExpectClock();
      return true;
    }
    if (cmd == "expect-results") return ExpectResults(w, why);
    if (cmd == "expect-phase" && n == 2) return ExpectPhase(w[1], why);
    if (cmd == "expect-profile") {
      std::vector<std::pair<std::string, std::string>> keys;
      if (!KeyValues(w, keys)) return (why = "expected KEY=VALUE words"), false;
      for (const auto& [key, expected] : keys) {
        const std::optional<std::string> seen = backend_.ProfileValue(key);
        Expect(seen && *seen == expected, "saved key " + key, expected, seen ? *seen : "(missing)");
      }
      return true;
    }
    why = "unknown command or wrong arguments";
    return false;
  }

  struct Line {
    int number;
    std::vector<std::string> words;
  };

  std::string file_;
  Backend& backend_;
  std::vector<Line> lines_;
  size_t next_ = 0;
  bool stopped_ = false;
  int lineNumber_ = 0;
  std::string note_;
};

}  // namespace

Result Run(const std::string& file, const std::string& text, Backend& backend) {
  Runner runner(file, backend);
  runner.Load(text);
  runner.RunAll();
  return runner.result;
}

}  // namespace scenario
