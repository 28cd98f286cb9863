#pragma once

#include "physics/world.h"

#include <memory> // std::unique_ptr

struct BenchScene;
class SteppedSimulation;

// The scene's bodies in a rigid2d World that finds its pairs as `search` says and resolves its
// contacts with solver.
std::unique_ptr<SteppedSimulation>
makeRigid2dSimulation(const BenchScene &scene, World::PairSearch search, World::Solver solver);
