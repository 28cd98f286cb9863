#pragma once

#include <cassert> // assert

class BaseEntity;

// A fixed-capacity array of body pointers, kept in insertion order. The order decides the order
// of pair tests, contacts and drawing, so nothing is ever removed or reordered. The array does not
// own the bodies it points to.
class EntityArray {
public:
    explicit EntityArray(int capacity);
    ~EntityArray();

    // Two arrays would free the same block.
    EntityArray(const EntityArray &) = delete;
    EntityArray &operator=(const EntityArray &) = delete;

    // Stores e after the last body and returns true, or, when the array is full, changes nothing
    // and returns false.
    bool append(BaseEntity *e);

    // Defined for 0 <= i < size().
    BaseEntity *operator[](int i) const {
        assert(i >= 0 && i < count);
        return items[i];
    }

    int size() const { return count; }
    // The most bodies the array can hold: its capacity.
    int maxSize() const { return capacity; }

private:
    int count = 0;
    int capacity;
    BaseEntity **items;
};
