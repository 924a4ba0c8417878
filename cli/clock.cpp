#include "clock.h"

#include <ctime>

namespace orbel {

Date Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  const bool ok = localtime_s(&local, &now) == 0;
#else
  const bool ok = localtime_r(&now, &local) != nullptr;
#endif
  if (!ok) return Date{2000, 1, 1};
  return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace orbel
