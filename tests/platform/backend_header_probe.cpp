// A source of the renderer's own kind that includes a backend's header (the build gives it as
// KVN_PROBE_HEADER). It must never compile: see backend_headers.cmake.
#include "gfx/renderer.h"
#include "platform/window.h"

#include KVN_PROBE_HEADER

int backend_header_probe() {
    return 0;
}
