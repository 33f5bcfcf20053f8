// Depth mapping: the clip planes, the 16-bit and 8-bit depth tables built from them, the depth
// functions and the depth scan method that they select.
#pragma once

namespace vx::core {

// Rebuilds both depth tables of the library state for the given planes and flag.
void buildDepthTables(double nearPlane, double farPlane, int linearize);

// The method selected by a pair of depth functions (200 to 204).
int selectDepthScanMethod(const struct DepthFunc &nearFunc, const struct DepthFunc &farFunc);

// Makes `method` the method in force and points the bounds in effect at the matching record.
void putMethodInForce(int method);

} // namespace vx::core
