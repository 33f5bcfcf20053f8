#include "convert/conversion.h"

#include "vx.h"

namespace vx::core {

// Block conversion is not built yet: refuse without touching anything.
unsigned convertBlockFrame(unsigned, const void *) { return VX_ERR_UNKNOWN; }

} // namespace vx::core
