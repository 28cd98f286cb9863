#include "bench/rigid2dsimulation.h"

#include "bench/benchscenes.h"
#include "bench/steppedsimulation.h"

namespace {

class Rigid2dSimulation : public SteppedSimulation {
public:
    Rigid2dSimulation(const BenchScene &scene, World::PairSearch search, World::Solver solver)
        : scene(scene), world(search, solver) {
        world.allowSleeping(scene.sleeping);
    }

    void step() override { world.step(scene.entities()); }
    int touchingContacts() override { return static_cast<int>(world.contacts.size()); }
    const EntityArray *bodies() override { return &scene.entities(); }

private:
    SceneBodies scene;
    World world;
};

} // namespace

std::unique_ptr<SteppedSimulation>
makeRigid2dSimulation(const BenchScene &scene, World::PairSearch search, World::Solver solver) {
    return std::make_unique<Rigid2dSimulation>(scene, search, solver);
}
