#pragma once

#include <memory> // std::unique_ptr

class EntityArray;
class SteppedSimulation;

// The bodies of `layout` in a Box2D world, in metres (30 px = 1 m): each wall a static box, each
// circle a dynamic circle of the same mass, restitution 0.8 and no friction. Box2D's defaults
// (sleeping, continuous collision, 8 velocity and 3 position iterations) are kept.
std::unique_ptr<SteppedSimulation> makeBox2dSimulation(const EntityArray &layout);
