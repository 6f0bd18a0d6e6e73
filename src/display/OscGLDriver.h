#pragma once

// Keeps the loaded OpenGL drivers (Mesa's *_dri.so) in memory until the
// process ends. Mesa unloads its driver when the last display connection
// closes, which a normal exit does before the leak checker of a sanitizer
// build runs: the driver's own allocations then show from an unknown module
// and no suppression can name them. Nothing else changes; the driver would be
// gone a moment later anyway. Call once a rendering context exists.
void OscKeepGLDriversLoaded();
