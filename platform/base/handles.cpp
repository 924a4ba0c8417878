// Handles of the headless Win32 layer: windows, device contexts and GDI objects
// all take theirs from here.
#include "base_internal.h"

namespace standin {
namespace internal {

uintptr_t NewHandle() {
  // One counter for every kind of handle, so that no two objects of any kind
  // ever share a value and a stale handle never names a new object.
  static uintptr_t next = 0x10000;
  next += 4;
  return next;
}

}  // namespace internal
}  // namespace standin
