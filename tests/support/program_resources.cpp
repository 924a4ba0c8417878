// Linked into the test programs that open the program's dialog on the
// stand-in layer: hands the program's resources to the layer before any test
// runs, as the program's own start does.
#include "standin_resources.h"

namespace {
const bool kRegistered = (RegisterResources(), true);
}
