#pragma once

// Adds what the figures depend on to the header of the benchmark's report: compiler, flags,
// processor and the peers' versions.
void addRunContext();
