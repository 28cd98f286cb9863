#include "render/bodybatch.h"

#include "core/entityarray.h"
#include "physics/box.h"
#include "physics/circle.h"
#include "physics/rectangle.h"
#include "render/boxvertices.h"
#include "render/rectanglevertices.h"
#include "render/wallcolor.h"

#include <algorithm>   // std::copy
#include <iterator>    // std::begin, std::end
#include <optional>    // std::optional
#include <type_traits> // std::is_same_v

// The first and count arrays are handed to glMultiDrawArrays as they are.
static_assert(std::is_same_v<GLint, int> && std::is_same_v<GLsizei, int>);

BodyBatch::BodyBatch() {
    for (int i = 0; i < circleVertexCount; ++i)
        fan[i] = circleFanPoint(i);
}

void BodyBatch::draw(const EntityArray &entities, const SceneView &view) {
    Gl21 *gl = functions.current();
    if (!gl)
        return;
    const int n = entities.size();
    reserve(n);
    const std::optional<ViewBounds> bounds = viewBounds(view);
    int circles = 0;
    int rectangles = 0;
    int boxes = 0;
    for (int i = 0; i < n;) {
        const int type = entities[i]->type();
        if (type == BodyType::Circle) {
            const int runStart = circles;
            i = placeCircles(entities, i, bounds, circles);
            if (circles > runStart)
                drawCircles(gl, runStart, circles - runStart);
        } else if (type == BodyType::RectAngle) {
            const int runStart = rectangles;
            i = placeRectangles(entities, i, rectangles);
            drawRectangles(gl, runStart, rectangles - runStart);
        } else if (type == BodyType::Box) {
            const int runStart = boxes;
            i = placeBoxes(entities, i, boxes);
            drawBoxes(gl, runStart, boxes - runStart);
        } else {
            entities[i]->draw();
            ++i;
        }
    }
}

int BodyBatch::placeCircles(const EntityArray &entities, int i,
                            const std::optional<ViewBounds> &view, int &circles) {
    for (; i < entities.size() && entities[i]->type() == BodyType::Circle; ++i) {
        const auto *circle = static_cast<const Circle *>(entities[i]);
        if (view && view->misses(circle->position, circle->radius))
            continue;
        float *out = &circlePositions[2 * circleVertexCount * circles++];
        for (const CircleFanPoint &p : fan) {
            const Vec2 unit = turnedFanPoint(p, circle->rotation);
            *out++ = onCircle(circle->position.x, circle->radius, unit.x);
            *out++ = onCircle(circle->position.y, circle->radius, unit.y);
        }
    }
    return i;
}

int BodyBatch::placeRectangles(const EntityArray &entities, int i, int &rectangles) {
    for (; i < entities.size() && entities[i]->type() == BodyType::RectAngle; ++i, ++rectangles) {
        const auto *rectangle = static_cast<const RectAngle *>(entities[i]);
        float corners[2 * rectangleVertexCount];
        rectangleVertices(rectangle->position, rectangle->width, rectangle->height, corners);
        std::copy(std::begin(corners), std::end(corners),
                  &rectanglePositions[2 * rectangleVertexCount * rectangles]);
    }
    return i;
}

int BodyBatch::placeBoxes(const EntityArray &entities, int i, int &boxes) {
    for (; i < entities.size() && entities[i]->type() == BodyType::Box; ++i, ++boxes) {
        float corners[2 * boxVertexCount];
        boxVertices(*static_cast<const Box *>(entities[i]), corners);
        std::copy(std::begin(corners), std::end(corners),
                  &boxPositions[2 * boxVertexCount * boxes]);
    }
    return i;
}

// The vectors' own growth is geometric, so bodies added one per frame cost no copy of the
// buffers per frame.
void BodyBatch::reserve(int bodies) {
    if (bodies <= room)
        return;
    circlePositions.resize(2 * circleVertexCount * static_cast<size_t>(bodies));
    rectanglePositions.resize(2 * rectangleVertexCount * static_cast<size_t>(bodies));
    boxPositions.resize(2 * boxVertexCount * static_cast<size_t>(bodies));
    for (int slot = room; slot < bodies; ++slot) {
        for (const CircleFanPoint &p : fan)
            circleColours.insert(circleColours.end(), {p.red, p.green, p.blue, 1.0f});
        circleFirsts.push_back(circleVertexCount * slot);
        circleCounts.push_back(circleVertexCount);
        rectangleFirsts.push_back(rectangleVertexCount * slot);
        rectangleCounts.push_back(rectangleVertexCount);
        boxFirsts.push_back(boxVertexCount * slot);
        boxCounts.push_back(boxVertexCount);
    }
    room = bodies;
}

void BodyBatch::drawCircles(Gl21 *gl, int first, int count) {
    gl->glEnableClientState(GL_VERTEX_ARRAY);
    gl->glEnableClientState(GL_COLOR_ARRAY);
    gl->glVertexPointer(2, GL_FLOAT, 0, circlePositions.data());
    gl->glColorPointer(4, GL_FLOAT, 0, circleColours.data());
    gl->glMultiDrawArrays(GL_TRIANGLE_FAN, &circleFirsts[first], &circleCounts[first], count);
    gl->glDisableClientState(GL_VERTEX_ARRAY);
    gl->glDisableClientState(GL_COLOR_ARRAY);
}

void BodyBatch::drawRectangles(Gl21 *gl, int first, int count) {
    // The current colour is undefined after a circle's colour array, so set it every time.
    gl->glColor4ub(wallRed, wallGreen, wallBlue, 255);
    gl->glEnableClientState(GL_VERTEX_ARRAY);
    gl->glVertexPointer(2, GL_FLOAT, 0, rectanglePositions.data());
    gl->glMultiDrawArrays(GL_TRIANGLE_FAN, &rectangleFirsts[first], &rectangleCounts[first], count);
    gl->glDisableClientState(GL_VERTEX_ARRAY);
}

// Filled, then outlined in the walls' colour so that neighbours stay apart.
void BodyBatch::drawBoxes(Gl21 *gl, int first, int count) {
    gl->glEnableClientState(GL_VERTEX_ARRAY);
    gl->glVertexPointer(2, GL_FLOAT, 0, boxPositions.data());
    gl->glColor4ub(boxRed, boxGreen, boxBlue, 255);
    gl->glMultiDrawArrays(GL_TRIANGLE_FAN, &boxFirsts[first], &boxCounts[first], count);
    gl->glColor4ub(wallRed, wallGreen, wallBlue, 255);
    gl->glMultiDrawArrays(GL_LINE_LOOP, &boxFirsts[first], &boxCounts[first], count);
    gl->glDisableClientState(GL_VERTEX_ARRAY);
}
