#pragma once

#include <cassert> // assert

class BaseEntity;

// A fixed-capacity array of body pointers, kept in insertion order. The order decides the order
// of pair tests, contacts and drawing, so a running simulation never removes or reorders one (only
// putting back a saved state drops the bodies added after it). The array does not
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

    // Forgets the bodies from index count on, without deleting them: for putting back a saved
    // state that has fewer bodies. A count beyond size() changes nothing.
    void truncate(int newCount) {
        if (newCount >= 0 && newCount < count)
            count = newCount;
    }

    int size() const { return count; }
    // The most bodies the array can hold: its capacity.
    int maxSize() const { return capacity; }

private:
    int count = 0;
    int capacity;
    BaseEntity **items;
};
