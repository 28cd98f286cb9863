#pragma once

#include "render/circlevertices.h"
#include "render/gl21.h"
#include "render/viewbounds.h"

#include <optional> // std::optional
#include <vector>   // std::vector

class EntityArray;

// Draws every body of an array with a handful of OpenGL calls per frame instead of a few per
// body. Each run of consecutive circles, each run of consecutive rectangles, and each run of
// consecutive boxes (filled, then outlined) is one glMultiDrawArrays over the same triangle fans,
// with the same vertices to the last bit and the same colours, that the bodies' own draw() gives,
// so the picture is the same pixel for pixel. Runs are drawn in array order; a body of any other
// kind draws itself in its place. Circles the view certainly keeps out of the viewport are left
// out: they would not colour a single pixel.
//
// The buffers persist between frames and grow only when the array does. The fan's points on
// the unit circle and its colours are computed once.
class BodyBatch {
public:
    BodyBatch();

    // Draws into a frame begun with beginSceneFrame for view. Needs the context's OpenGL 2.1
    // functions, like draw(); does nothing without them. Leaves the vertex and colour arrays
    // disabled, as every body's draw() does.
    void draw(const EntityArray &entities, const SceneView &view);

private:
    void reserve(int bodies);
    // Writes the fans of the run of circles from body i on that the view may show, and returns
    // the index after the run.
    int placeCircles(const EntityArray &entities, int i, const std::optional<ViewBounds> &view,
                     int &circles);
    // Writes the corners of the run of rectangles from body i on; returns the index after it.
    int placeRectangles(const EntityArray &entities, int i, int &rectangles);
    // The same for boxes, turned.
    int placeBoxes(const EntityArray &entities, int i, int &boxes);
    void drawCircles(Gl21 *gl, int first, int count);
    void drawRectangles(Gl21 *gl, int first, int count);
    void drawBoxes(Gl21 *gl, int first, int count);

    // The function table of the context it was last drawn in.
    Gl21Cache functions;
    CircleFanPoint fan[circleVertexCount];
    // Room for this many circles, as many rectangles and as many boxes.
    int room = 0;
    // x, y of each circle vertex, circleVertexCount per circle, rewritten every frame.
    std::vector<float> circlePositions;
    // RGBA of each circle vertex: the fan's colours, repeated once per circle.
    std::vector<float> circleColours;
    // x, y of each rectangle corner, rewritten every frame.
    std::vector<float> rectanglePositions;
    // x, y of each box corner, rewritten every frame.
    std::vector<float> boxPositions;
    // glMultiDrawArrays' first vertex and vertex count of each circle, rectangle and box.
    std::vector<int> circleFirsts;
    std::vector<int> circleCounts;
    std::vector<int> rectangleFirsts;
    std::vector<int> rectangleCounts;
    std::vector<int> boxFirsts;
    std::vector<int> boxCounts;
};
