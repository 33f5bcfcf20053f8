#include "api/library_state.h"

#include <cstdlib>

namespace vx::core {

namespace {
LibraryState g_state;
ScratchAllocator g_allocator = nullptr;
} // namespace

LibraryState &state() { return g_state; }

void noOpCallback(unsigned int *) {}

void setScratchAllocator(ScratchAllocator allocator) { g_allocator = allocator; }

void *allocateScratch(std::size_t bytes) {
    return g_allocator ? g_allocator(bytes) : std::malloc(bytes);
}

unsigned geometry(int index, int *out) {
    if (!out) return VX_ERR_INVALID_ARGUMENT;
    switch (index) {
    case 0: *out = VX_PLANE_WIDTH; return VX_OK;
    case 1: *out = VX_PLANE_HEIGHT; return VX_OK;
    case 2: *out = VX_NUM_PLANES; return VX_OK;
    default: return VX_ERR_INVALID_ARGUMENT;
    }
}

} // namespace vx::core
