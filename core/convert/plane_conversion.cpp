#include "convert/conversion.h"

#include "vx.h"

namespace vx::core {

// Plane conversion is not built yet: refuse without touching anything.
unsigned convertPlaneFrame(unsigned, const void *, unsigned short *) { return VX_ERR_UNKNOWN; }

} // namespace vx::core
