#pragma once

#include "core/entityarray.h"
#include "physics/scene.h"
#include "render/bodybatch.h"
#include "window/openglwindow.h"

#include <memory>

class World;

// The demonstration's window: it owns the scene's bodies and the physics world, builds the scene
// on the first frame and then advances the simulation by one step per rendered frame, drawing
// all bodies at once.
class MainWindow : public OpenGLWindow {
public:
    // The designed demo unless another scene is given.
    explicit MainWindow(const Scene &scene = Scene());
    ~MainWindow() override;

    const EntityArray &bodies() const { return entities; }
    const World &physics() const { return *world; }

protected:
    void initialize() override;
    void render() override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    Scene scene;
    EntityArray entities;
    std::unique_ptr<World> world;
    BodyBatch batch;
};
