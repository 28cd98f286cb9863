#pragma once

class EntityArray;

// How well a scene's pile holds together: the figures that tell a solver which crushes its pile,
// or lets it sink through the floor, from one that does not. The array holds a scene's walls at
// indices 0 (right), 1 (left) and 2 (floor), and circles after them.
struct PileQuality {
    // Circles whose centre is below the floor's underside, between the outer faces of the walls.
    int circlesUnderFloor = 0;
    // The largest r1 + r2 - distance over all pairs of circles, in double precision; 0 when no
    // two circles overlap.
    double deepestOverlap = 0;
    // Pairs of circles overlapping by more than overlapLimit.
    int pairsOverLimit = 0;
    // The largest speed, in units per step, among the circles whose centre is inside the box:
    // between the walls' inner faces, above the floor and below the top of the walls.
    double largestSpeedInBox = 0;
};

// The overlap beyond which a pair counts in pairsOverLimit.
constexpr double overlapLimit = 3;

// Bodies whose position or velocity is not finite are left out. Linear in the number of circles
// for a pile (they are bucketed in a grid as wide as the largest circle), and deterministic.
PileQuality measurePile(const EntityArray &bodies);
