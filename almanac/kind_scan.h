// The crossings of one kind of the event table in a civil day: its circle's,
// or for a photographers' hour the entries into and exits from its band.
#pragma once

#include <string>
#include <vector>

#include "event_table.h"

namespace orbel {

struct KindScan {
  // In the day, in time order; kRise is the kind's first event (a rise, an
  // upper transit, the start of an hour), kSet its second.
  std::vector<DayCrossing> crossings;
  // Per direction (rise, set): the status of the scan of local noon, 0 when
  // that scan has the event (outside the day, or under another offset).
  int noonStatus[2];
  // For an hour: the messages of its circles the sun crosses nowhere in the
  // day ("SUN BELOW 6° ALL DAY"), so that an hour does not begin or end, and
  // the status code of the first of them.
  std::string note;
  int noteStatus = 0;
};

KindScan ScanKind(const CivilDay& day, const Place& place, const EventKind& kind);

}  // namespace orbel
