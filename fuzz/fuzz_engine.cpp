// Fuzz target: the engine's sixteen event queries and MoonAge over the whole
// domain of their argument types (every byte of day and month, every 32-bit
// year and zone byte, every double bit pattern).
//
// Invariants checked for every input:
//  - no crash and no undefined behaviour (the build runs ASan and UBSan);
//  - an hour query gives a status of its body or 0-24, a minute query the
//    same status or 0-59, an azimuth query the same status or 0-360;
//  - a text is "HH:MM" with those hour and minute, or the message of that
//    status, and only the messages that event can have;
//  - rise and set of one body agree: "all day" states come in pairs, and a
//    missing rise means a set was found (and the other way round);
//  - MoonAge is 0-29 while the shifted year keeps the day count in range;
//  - an answer does not depend on what was asked before: after the full set
//    of one body's answers for query A, a few other queries of either body,
//    then a fuzzer-chosen selection of A's queries asked again give the same
//    bits;
//  - the re-entrant core (SunDay, MoonDay) and the query functions agree to
//    the bit: the answers formed from the core's day are the queries' answers;
//  - the core's crossings agree with its slots (a slot is found exactly when a
//    crossing of its kind was recorded, and holds the last one), and the same
//    invariants hold for zones with any fraction of an hour.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "day_scan.h"
#include "fuzz_support.h"
#include "moon_age.h"
#include "moon_events.h"
#include "sun_events.h"

namespace {

using fuzz::Fail;
using fuzz::Show;

struct Query {
  uint8_t day;
  uint8_t month;
  uint32_t year;
  double latitude;
  double longitude;
  int8_t zone;
};

std::string Describe(const Query& q) {
  char buf[256];
  std::snprintf(buf, sizeof buf, "day %u, month %u, year %u, latitude %s, longitude %s, zone %d",
                q.day, q.month, q.year, Show(q.latitude).c_str(), Show(q.longitude).c_str(),
                q.zone);
  return buf;
}

Query ConsumeQuery(FuzzedDataProvider& in) {
  Query q;
  q.day = in.ConsumeIntegral<uint8_t>();
  q.month = in.ConsumeIntegral<uint8_t>();
  q.year = in.ConsumeBool() ? in.ConsumeIntegral<uint32_t>()
                            : in.ConsumeIntegralInRange<uint32_t>(1, 4000);
  q.latitude = fuzz::ConsumeDouble(in);
  q.longitude = fuzz::ConsumeDouble(in);
  q.zone = in.ConsumeIntegral<int8_t>();
  return q;
}

// `q` with one argument changed a little: a few low bits of a double flipped,
// or a small step in day, month, year or zone.
Query Nudge(const Query& q, FuzzedDataProvider& in) {
  Query n = q;
  const int step = in.ConsumeIntegralInRange<int>(-8, 8);
  const uint64_t flip = uint64_t{1} << in.ConsumeIntegralInRange<int>(0, 63);
  switch (in.ConsumeIntegralInRange<int>(0, 5)) {
    case 0:
      n.latitude = fuzz::FromBits(fuzz::Bits(q.latitude) ^ flip);
      break;
    case 1:
      n.longitude = fuzz::FromBits(fuzz::Bits(q.longitude) ^ flip);
      break;
    case 2:
      n.day = static_cast<uint8_t>(q.day + step);
      break;
    case 3:
      n.month = static_cast<uint8_t>(q.month + step);
      break;
    case 4:
      n.year = q.year + static_cast<uint32_t>(step);
      break;
    default:
      n.zone = static_cast<int8_t>(q.zone + step);
  }
  return n;
}

// One answer: an integer, the bits of a double, or a text.
struct Value {
  enum Kind { kNumber, kReal, kText } kind = kNumber;
  int64_t number = 0;
  uint64_t bits = 0;
  std::string text;
  bool operator==(const Value& o) const {
    return kind == o.kind && number == o.number && bits == o.bits && text == o.text;
  }
  std::string Show() const {
    switch (kind) {
      case kReal:
        return fuzz::Show(fuzz::FromBits(bits));
      case kText:
        return fuzz::Quote(text);
      default:
        return std::to_string(number);
    }
  }
};

Value Number(int64_t n) {
  Value v;
  v.number = n;
  return v;
}
Value Real(double x) {
  Value v;
  v.kind = Value::kReal;
  v.bits = fuzz::Bits(x);
  return v;
}
Value Text(const char* s) {
  Value v;
  v.kind = Value::kText;
  v.text = s ? s : "(null)";
  return v;
}

#define ORBEL_QUERY(wrap, f)                                                                   \
  {                                                                                            \
#f, [](const Query&                                                                        \
               q) { return wrap(f(q.day, q.month, q.year, q.latitude, q.longitude, q.zone)); } \
  }

struct QueryFunction {
  const char* name;
  Value (*ask)(const Query&);
};

// Four per event in the order hour, minute, azimuth, text; MoonAge last.
const QueryFunction kQueries[] = {
    ORBEL_QUERY(Number, SunriseHour),
    ORBEL_QUERY(Number, SunriseMinute),
    ORBEL_QUERY(Real, SunriseAzimuth),
    ORBEL_QUERY(Text, SunriseText),
    ORBEL_QUERY(Number, SunsetHour),
    ORBEL_QUERY(Number, SunsetMinute),
    ORBEL_QUERY(Real, SunsetAzimuth),
    ORBEL_QUERY(Text, SunsetText),
    ORBEL_QUERY(Number, MoonriseHour),
    ORBEL_QUERY(Number, MoonriseMinute),
    ORBEL_QUERY(Real, MoonriseAzimuth),
    ORBEL_QUERY(Text, MoonriseText),
    ORBEL_QUERY(Number, MoonsetHour),
    ORBEL_QUERY(Number, MoonsetMinute),
    ORBEL_QUERY(Real, MoonsetAzimuth),
    ORBEL_QUERY(Text, MoonsetText),
    {"MoonAge", [](const Query& q) { return Number(MoonAge(q.day, q.month, q.year)); }},
};
constexpr int kQueryCount = sizeof kQueries / sizeof kQueries[0];
constexpr int kMoonAgeQuery = kQueryCount - 1;

// The states one event can report instead of a time, with their messages.
struct EventKind {
  const char* name;
  int missing;  // no such event on the date, though the other one happened
  const char* missing_text;
  int down;
  const char* down_text;
  int up;
  const char* up_text;
};

const EventKind kEvents[4] = {
    {"sunrise", -1, "NO SUNRISE", -3, "SUN DOWN ALL DAY", -4, "SUN UP ALL DAY"},
    {"sunset", -2, "NO SUNSET THIS DATE", -3, "SUN DOWN ALL DAY", -4, "SUN UP ALL DAY"},
    {"moonrise", -10, "NO MOONRISE THIS DATE", -30, "MOON DOWN ALL DAY", -40, "MOON UP ALL DAY"},
    {"moonset", -20, "NO MOONSET THIS DATE", -30, "MOON DOWN ALL DAY", -40, "MOON UP ALL DAY"},
};

const char* MessageOf(const EventKind& e, int64_t status) {
  if (status == e.missing) return e.missing_text;
  if (status == e.down) return e.down_text;
  if (status == e.up) return e.up_text;
  return nullptr;
}

// "HH:MM" with HH 00-24 and MM 00-59: the hour and minute, or false.
bool ParseClock(const std::string& t, int* hour, int* minute) {
  auto digit = [&](size_t i) { return t[i] >= '0' && t[i] <= '9'; };
  if (t.size() != 5 || !digit(0) || !digit(1) || t[2] != ':' || !digit(3) || !digit(4)) {
    return false;
  }
  *hour = (t[0] - '0') * 10 + (t[1] - '0');
  *minute = (t[3] - '0') * 10 + (t[4] - '0');
  return *hour <= 24 && *minute <= 59;
}

// A single answer of query `index` on its own: range and message set.
void CheckAlone(const Query& q, int index, const Value& v) {
  if (index == kMoonAgeQuery) return;  // checked with the full set
  const EventKind& e = kEvents[index / 4];
  const char* what = kQueries[index].name;
  switch (index % 4) {
    case 0:
    case 1: {
      const int64_t limit = index % 4 == 0 ? 24 : 59;
      if (MessageOf(e, v.number) == nullptr && (v.number < 0 || v.number > limit)) {
        Fail("%s(%s) = %lld: neither a status nor 0-%lld", what, Describe(q).c_str(),
             static_cast<long long>(v.number), static_cast<long long>(limit));
      }
      break;
    }
    case 2: {
      const double a = fuzz::FromBits(v.bits);
      // Range first: converting NaN or a huge value to int is undefined.
      const bool status = a >= -128 && a < 0 && a == static_cast<int>(a) &&
                          MessageOf(e, static_cast<int>(a)) != nullptr;
      if (!status && !(a >= 0 && a <= 360)) {
        Fail("%s(%s) = %s: neither a status nor 0-360", what, Describe(q).c_str(), Show(a).c_str());
      }
      break;
    }
    default: {
      int h, m;
      const bool message = v.text == e.missing_text || v.text == e.down_text || v.text == e.up_text;
      if (!message && !ParseClock(v.text, &h, &m)) {
        Fail("%s(%s) = %s: neither HH:MM (00-24, 00-59) nor a %s message", what,
             Describe(q).c_str(), fuzz::Quote(v.text).c_str(), e.name);
      }
    }
  }
}

// The four answers of one event agree with each other.
void CheckEvent(const Query& q, const EventKind& e, const Value* v) {
  const int64_t hour = v[0].number;
  const int64_t minute = v[1].number;
  const double azimuth = fuzz::FromBits(v[2].bits);
  const std::string& text = v[3].text;
  if (hour < 0) {
    const char* message = MessageOf(e, hour);
    if (message == nullptr || minute != hour || azimuth != static_cast<double>(hour) ||
        text != message) {
      Fail("%s of %s: status %lld, minute %lld, azimuth %s, text %s disagree", e.name,
           Describe(q).c_str(), static_cast<long long>(hour), static_cast<long long>(minute),
           Show(azimuth).c_str(), fuzz::Quote(text).c_str());
    }
    return;
  }
  int text_hour = -1, text_minute = -1;
  if (hour > 24 || minute < 0 || minute > 59 || !(azimuth >= 0 && azimuth <= 360) ||
      !ParseClock(text, &text_hour, &text_minute) || text_hour != hour || text_minute != minute) {
    Fail("%s of %s: hour %lld, minute %lld, azimuth %s, text %s out of range or disagree", e.name,
         Describe(q).c_str(), static_cast<long long>(hour), static_cast<long long>(minute),
         Show(azimuth).c_str(), fuzz::Quote(text).c_str());
  }
}

// Rise and set of one body: "all day" states come in pairs; a missing rise
// means a set was found and a missing set means a rise was found.
void CheckPair(const Query& q, const EventKind& rise, int64_t rise_status, const EventKind& set,
               int64_t set_status) {
  const bool all_day_rise = rise_status == rise.down || rise_status == rise.up;
  const bool all_day_set = set_status == set.down || set_status == set.up;
  const bool ok = (all_day_rise || all_day_set) ? rise_status == set_status
                  : rise_status == rise.missing ? set_status >= 0
                  : set_status == set.missing   ? rise_status >= 0
                                                : true;
  if (!ok) {
    Fail("%s %lld and %s %lld cannot both hold for %s", rise.name,
         static_cast<long long>(rise_status), set.name, static_cast<long long>(set_status),
         Describe(q).c_str());
  }
}

void CheckMoonAge(const Query& q, int64_t age) {
  // January and February count with the year before; later month numbers may
  // shift the other way. Beyond year 5,874,777 the day count leaves 32 bits.
  const int32_t shift = (12 - static_cast<int32_t>(q.month)) / 10;
  const uint32_t shifted = q.year - static_cast<uint32_t>(shift);
  if (shifted <= 5874777u && (age < 0 || age > 29)) {
    Fail("MoonAge(%u, %u, %u) = %lld, not 0-29", q.day, q.month, q.year,
         static_cast<long long>(age));
  }
}

// The eight queries of one body (0 sun, 1 moon) and MoonAge, by query index.
std::vector<int> QueriesOf(int body) {
  std::vector<int> indices;
  for (int i = body * 8; i < body * 8 + 8; ++i) indices.push_back(i);
  indices.push_back(kMoonAgeQuery);
  return indices;
}

void CheckBody(const Query& q, int body, const std::vector<Value>& a) {
  for (int i : QueriesOf(body)) CheckAlone(q, i, a[i]);
  const int rise = body * 2, set = body * 2 + 1;
  CheckEvent(q, kEvents[rise], &a[rise * 4]);
  CheckEvent(q, kEvents[set], &a[set * 4]);
  CheckPair(q, kEvents[rise], a[rise * 4].number, kEvents[set], a[set * 4].number);
  CheckMoonAge(q, a[kMoonAgeQuery].number);
}

// The answers of one body's eight queries formed from the core's day, at their
// query indices in `answers`.
void AnswersOfDay(const BodyDay& day, int body, std::vector<Value>& answers) {
  const EventSlot* slots[2] = {&day.rise, &day.set};
  for (int k = 0; k < 2; ++k) {
    const EventSlot& slot = *slots[k];
    const int first = (body * 2 + k) * 4;
    answers[first] = Number(HourOrStatus(slot));
    answers[first + 1] = Number(MinuteOrStatus(slot));
    answers[first + 2] = Real(AzimuthOrStatus(slot));
    TextBuffer text;
    FormatEventText(slot, body == 0 ? SunStatusMessage : MoonStatusMessage, text);
    answers[first + 3] = Text(text);
  }
}

BodyDay CoreDay(const Query& q, int body, double zone) {
  const DayQuery query{q.day, q.month, q.year, q.latitude, q.longitude, zone};
  return body == 0 ? SunDay(query) : MoonDay(query);
}

// The crossings agree with the slots: a slot's event was found exactly when a
// crossing of its kind was recorded, and the slot holds the last such one.
void CheckCrossings(const Query& q, double zone, const BodyDay& day) {
  const EventSlot* found[2] = {nullptr, nullptr};
  if (day.crossingCount < 0 || day.crossingCount > kMaxCrossings) {
    Fail("%s, zone %s: %d crossings", Describe(q).c_str(), Show(zone).c_str(), day.crossingCount);
  }
  EventSlot last[2] = {};
  for (int i = 0; i < day.crossingCount; ++i) {
    const Crossing& c = day.crossings[i];
    const int k = c.kind == CrossingKind::kRise ? 0 : 1;
    last[k] = EventSlot{0, c.hour, c.minute, c.azimuth};
    found[k] = &last[k];
  }
  const EventSlot* slots[2] = {&day.rise, &day.set};
  for (int k = 0; k < 2; ++k) {
    const bool agree = found[k] == nullptr
                           ? slots[k]->status < 0
                           : slots[k]->status == 0 && slots[k]->hour == found[k]->hour &&
                                 slots[k]->minute == found[k]->minute &&
                                 fuzz::Bits(slots[k]->azimuth) == fuzz::Bits(found[k]->azimuth);
    if (!agree) {
      Fail("%s, zone %s: the %s slot (status %d) disagrees with the crossings", Describe(q).c_str(),
           Show(zone).c_str(), k == 0 ? "rise" : "set", slots[k]->status);
    }
  }
}

}  // namespace

// One body's full set of answers for query A is checked for agreement; to
// keep the executions fast, the fuzzer picks the body.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int body = in.ConsumeBool() ? 1 : 0;
  const Query a = ConsumeQuery(in);
  std::vector<Value> first(kQueryCount);
  const std::vector<int> asked = QueriesOf(body);
  for (int i : asked) first[i] = kQueries[i].ask(a);
  CheckBody(a, body, first);

  // The core gives the same bits as the query functions.
  const BodyDay core = CoreDay(a, body, a.zone);
  std::vector<Value> fromCore = first;
  AnswersOfDay(core, body, fromCore);
  for (int i : asked) {
    if (!(fromCore[i] == first[i])) {
      Fail("%s(%s) = %s, but the core's day gives %s", kQueries[i].name, Describe(a).c_str(),
           first[i].Show().c_str(), fromCore[i].Show().c_str());
    }
  }
  CheckCrossings(a, a.zone, core);

  // A zone with a fraction of an hour: the same invariants.
  const double zone = a.zone + in.ConsumeIntegralInRange<int>(-59, 59) / 60.0;
  const BodyDay fractional = CoreDay(a, body, zone);
  AnswersOfDay(fractional, body, fromCore);
  CheckBody(a, body, fromCore);
  CheckCrossings(a, zone, fractional);

  // Other queries in between, each checked on its own: new ones, or A with
  // one argument nudged, where remembered results would be mistaken for A's.
  const int others = in.ConsumeIntegralInRange<int>(0, 2);
  for (int i = 0; i < others; ++i) {
    const int index = in.ConsumeIntegralInRange<int>(0, kQueryCount - 1);
    const Query b = in.ConsumeBool() ? Nudge(a, in) : ConsumeQuery(in);
    CheckAlone(b, index, kQueries[index].ask(b));
  }

  // Some of A's queries again, in an order the fuzzer picks (all of them,
  // last first, when it picks none), give the same bits.
  std::vector<int> order;
  while (in.remaining_bytes() > 0 && order.size() < 4) {
    order.push_back(asked[in.ConsumeIntegralInRange<size_t>(0, asked.size() - 1)]);
  }
  if (order.empty()) order.assign(asked.rbegin(), asked.rend());
  for (int index : order) {
    const Value again = kQueries[index].ask(a);
    if (!(again == first[index])) {
      Fail("%s(%s) gave %s, and %s when asked again after other queries", kQueries[index].name,
           Describe(a).c_str(), first[index].Show().c_str(), again.Show().c_str());
    }
  }
  return 0;
}
