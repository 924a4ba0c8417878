#include "value_hints.h"

#include <map>

namespace orbel {

namespace {

std::map<const CLI::Option*, ValueHint>& Hints() {
  static std::map<const CLI::Option*, ValueHint> hints;
  return hints;
}

}  // namespace

ValueHint Words(std::vector<std::string> words) {
  ValueHint hint;
  hint.words = std::move(words);
  return hint;
}

ValueHint Files(std::string endings) {
  ValueHint hint;
  hint.files = std::move(endings);
  return hint;
}

ValueHint Zones() {
  ValueHint hint;
  hint.zones = true;
  return hint;
}

CLI::Option* Hint(CLI::Option* option, ValueHint hint) {
  Hints()[option] = std::move(hint);
  return option;
}

const ValueHint* HintOf(const CLI::Option* option) {
  const auto found = Hints().find(option);
  return found == Hints().end() ? nullptr : &found->second;
}

}  // namespace orbel
