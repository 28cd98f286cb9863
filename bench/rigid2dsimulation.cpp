#include "bench/rigid2dsimulation.h"

#include "bench/benchscenes.h"
#include "bench/steppedsimulation.h"

namespace {

class Rigid2dSimulation : public SteppedSimulation {
public:
    Rigid2dSimulation(const BenchScene &scene, World::PairSearch search)
        : bodies(scene), world(search) {}

    void step() override { world.step(bodies.entities()); }
    int touchingContacts() override { return world.contacts.size(); }

private:
    SceneBodies bodies;
    World world;
};

} // namespace

std::unique_ptr<SteppedSimulation> makeRigid2dSimulation(const BenchScene &scene,
                                                         World::PairSearch search) {
    return std::make_unique<Rigid2dSimulation>(scene, search);
}
