// The whole-layer reset and the GDI counters of the test interface: the parts
// of it that a program which only draws and reads the profile can use.
#include <orbel_test_api.h>

#include "base_internal.h"

namespace standin {

namespace {
void (*g_reset_windowing)() = nullptr;
}

void internal::JoinLayerReset(void (*reset_windowing)()) {
  g_reset_windowing = reset_windowing;
}

void Reset() {
  // Windows first: destroying them releases their device contexts.
  if (g_reset_windowing) g_reset_windowing();
  internal::ResetGdi();
  internal::ResetClockAndZone();
  internal::ResetProfile();
}

int LiveGdiObjects() {
  return internal::LiveGdiObjectCount();
}

int LiveDeviceContexts() {
  return internal::LiveDcCount();
}

}  // namespace standin
