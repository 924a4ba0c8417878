#include "help_format.h"

namespace orbel {

std::string HelpFormatter::make_option_opts(const CLI::Option* option) const {
  if (option->get_positional() || option->get_expected_max() == 0) return "";  // flags too
  std::string text = " " + option->get_type_name();
  if (option->get_required()) text += " " + get_label("REQUIRED");
  return text;
}

}  // namespace orbel
