// What the almanac throws when it is asked for something that cannot be
// answered: a date that does not exist, a zone it cannot load, a city it does
// not know. The message says what is wrong without repeating raw input at
// length; the command line names the option.
#pragma once

#include <stdexcept>

namespace orbel {

class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A date the zone's clocks skipped.
class SkippedDate : public InputError {
 public:
  using InputError::InputError;
};

}  // namespace orbel
