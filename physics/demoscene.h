#pragma once

class EntityArray;

// The demonstration's scene: an open box of three static walls, then one hundred circles of
// radius 30 and mass 0.02 in a zig-zag column from y = 300 up to y = 10200. The array holds, by
// index: 0 right wall, 1 left wall, 2 floor, 3 ... 102 the circles from the bottom up.
void populateDemoScene(EntityArray &entities);

// The three walls alone, appended right wall, left wall, floor. Like addDemoCircle, a body that
// does not fit in the array is deleted at once.
void addDemoWalls(EntityArray &entities);

// A circle of the demonstration's size and mass at (x, y), appended to entities.
void addDemoCircle(EntityArray &entities, float x, float y);

// Deletes every body the array points to; the array itself is left as it is.
void deleteEntities(const EntityArray &entities);
