#pragma once

#include "core/entityarray.h"
#include "window/openglwindow.h"

#include <memory>

class World;

// The demonstration's window: it owns the scene's bodies and the physics world, builds the scene
// on the first frame and then advances the simulation by one step per rendered frame.
class MainWindow : public OpenGLWindow {
public:
    MainWindow();
    ~MainWindow() override;

    const EntityArray &bodies() const { return entities; }
    const World &physics() const { return *world; }

protected:
    void initialize() override;
    void render() override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    EntityArray entities;
    std::unique_ptr<World> world;
};
