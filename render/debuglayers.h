#pragma once

#include "physics/contact.h"

#include <functional> // std::function
#include <vector>     // std::vector

class EntityArray;

// Drawings over the bodies that show the engine at work, each switched on and off by itself and
// drawn as one batch of lines, in colours no body is drawn in:
// - contacts: for each contact of the last step, a cross at the contact point on body a's
//   surface and the normal from it, as long as the point is from a's position (a circle's radius);
// - bounds: each body's bounding box, which the broad phase widens only by the rounding margins;
// - velocities: from each circle's centre, its velocity over the next ten steps;
// - sleeping: each sleeping circle and box dimmed under a translucent grey cover.
// Nothing is computed for a layer that is off.
class DebugLayers {
public:
    enum Layer { Contacts, Bounds, Velocities, Sleeping, LayerCount };

    bool shown(Layer layer) const { return isShown[layer]; }
    void toggle(Layer layer) { isShown[layer] = !isShown[layer]; }

    // Into the current frame (see beginSceneFrame); needs OpenGL 2.1, does nothing without it.
    // asleep(i) tells whether body i sleeps.
    void draw(const EntityArray &bodies, const ContactList &contacts,
              const std::function<bool(int)> &asleep);

private:
    void addContacts(const ContactList &contacts);
    void addBounds(const EntityArray &bodies);
    void addVelocities(const EntityArray &bodies);
    void addSleeping(const EntityArray &bodies, const std::function<bool(int)> &asleep);
    void triangle(Vec2 a, Vec2 b, Vec2 c);
    void drawTriangles();
    void line(float x1, float y1, float x2, float y2);
    void drawLines(Layer layer);

    bool isShown[LayerCount] = {};
    // x, y of each line's two ends, kept between frames.
    std::vector<float> ends;
};

// Each layer's colour as 8-bit RGB.
struct LayerColour {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
};
constexpr LayerColour layerColours[DebugLayers::LayerCount] = {
    {0, 0, 0},     // contacts: black
    {0, 0, 255},   // bounds: pure blue
    {255, 0, 255}, // velocities: magenta
    {96, 96, 96},  // sleeping: dark grey, over the body at coverAlpha
};
// How opaque the cover of a sleeping body is, of 255.
constexpr unsigned char coverAlpha = 160;
