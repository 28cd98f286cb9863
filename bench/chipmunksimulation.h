#pragma once

#include <memory> // std::unique_ptr

class EntityArray;
class SteppedSimulation;

// The bodies of `layout` in a Chipmunk space, in pixels: each wall a box on the space's static
// body, each circle a dynamic body of the same mass, restitution 0.8 and no friction.
// Chipmunk's defaults (iterations, spatial index, no sleeping) are kept.
std::unique_ptr<SteppedSimulation> makeChipmunkSimulation(const EntityArray &layout);
