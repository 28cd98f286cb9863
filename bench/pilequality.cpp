#include "bench/pilequality.h"

#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/finitebodies.h"
#include "physics/rectangle.h"

#include <algorithm> // std::sort, std::lower_bound, std::max, std::min
#include <cmath>     // std::floor, std::sqrt
#include <cstdint>   // std::int64_t
#include <vector>

namespace {

struct Bucketed {
    std::int64_t cellX;
    std::int64_t cellY;
    int index;
};

bool cellBefore(const Bucketed &a, const Bucketed &b) {
    if (a.cellX != b.cellX)
        return a.cellX < b.cellX;
    if (a.cellY != b.cellY)
        return a.cellY < b.cellY;
    return a.index < b.index;
}

// Far beyond any coordinate a float can hold divided by a cell, so the cells of finite circles
// never wrap.
std::int64_t cellOf(double coordinate, double cellSize) {
    const double cell = std::floor(coordinate / cellSize);
    return static_cast<std::int64_t>(std::max(-1e17, std::min(1e17, cell)));
}

double overlapOf(const Circle *a, const Circle *b) {
    const double dx = static_cast<double>(b->position.x) - a->position.x;
    const double dy = static_cast<double>(b->position.y) - a->position.y;
    return static_cast<double>(a->radius) + b->radius - std::sqrt(dx * dx + dy * dy);
}

} // namespace

PileQuality measurePile(const EntityArray &bodies) {
    PileQuality quality;
    if (bodies.size() < 3)
        return quality;
    const BaseEntity *rightWall = bodies[0];
    const BaseEntity *leftWall = bodies[1];
    const auto *floor = static_cast<const RectAngle *>(bodies[2]);
    const auto *right = static_cast<const RectAngle *>(rightWall);
    const auto *left = static_cast<const RectAngle *>(leftWall);
    const double outerLeft = left->position.x;
    const double outerRight = static_cast<double>(right->position.x) + right->width;
    const double innerLeft = static_cast<double>(left->position.x) + left->width;
    const double innerRight = right->position.x;
    const double floorBottom = floor->position.y;
    const double floorTop = static_cast<double>(floor->position.y) + floor->height;
    const double wallTop = std::min(static_cast<double>(left->position.y) + left->height,
                                    static_cast<double>(right->position.y) + right->height);

    std::vector<Bucketed> cells;
    double largestRadius = 0;
    for (int i = 3; i < bodies.size(); ++i) {
        const BaseEntity *body = bodies[i];
        if (body->type() != BodyType::Circle || !isFiniteBody(*body))
            continue;
        const double x = body->position.x;
        const double y = body->position.y;
        if (y < floorBottom && x > outerLeft && x < outerRight)
            ++quality.circlesUnderFloor;
        if (x > innerLeft && x < innerRight && y > floorTop && y < wallTop) {
            const double vx = body->velocity.x;
            const double vy = body->velocity.y;
            quality.largestSpeedInBox =
                std::max(quality.largestSpeedInBox, std::sqrt(vx * vx + vy * vy));
        }
        largestRadius =
            std::max(largestRadius, static_cast<double>(static_cast<const Circle *>(body)->radius));
        cells.push_back({0, 0, i});
    }
    if (cells.empty())
        return quality;

    // Two circles can overlap only in the same or neighbouring cells when a cell is as wide as
    // the largest diameter.
    const double cellSize = std::max(2 * largestRadius, 1.0);
    for (Bucketed &c : cells) {
        c.cellX = cellOf(bodies[c.index]->position.x, cellSize);
        c.cellY = cellOf(bodies[c.index]->position.y, cellSize);
    }
    std::sort(cells.begin(), cells.end(), cellBefore);

    // Each pair once: a circle meets the later circles of its own cell, and every circle of the
    // cells above it in its column and of the three neighbouring cells in the next column.
    const auto countPair = [&](const Bucketed &a, const Bucketed &b) {
        const double overlap = overlapOf(static_cast<const Circle *>(bodies[a.index]),
                                         static_cast<const Circle *>(bodies[b.index]));
        quality.deepestOverlap = std::max(quality.deepestOverlap, overlap);
        if (overlap > overlapLimit)
            ++quality.pairsOverLimit;
    };
    const auto meetCell = [&](const Bucketed &a, std::int64_t cellX, std::int64_t cellY) {
        const Bucketed key{cellX, cellY, -1};
        for (auto it = std::lower_bound(cells.begin(), cells.end(), key, cellBefore);
             it != cells.end() && it->cellX == cellX && it->cellY == cellY; ++it)
            countPair(a, *it);
    };
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const Bucketed &a = cells[k];
        for (std::size_t m = k + 1;
             m < cells.size() && cells[m].cellX == a.cellX && cells[m].cellY == a.cellY; ++m)
            countPair(a, cells[m]);
        meetCell(a, a.cellX, a.cellY + 1);
        for (std::int64_t dy = -1; dy <= 1; ++dy)
            meetCell(a, a.cellX + 1, a.cellY + dy);
    }
    return quality;
}
