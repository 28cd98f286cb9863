#include "core/entityarray.h"

// A negative capacity would make new[] throw; it is taken as an array that holds nothing.
EntityArray::EntityArray(int capacity)
    : capacity(capacity > 0 ? capacity : 0),
      items(capacity > 0 ? new BaseEntity *[capacity] : nullptr) {}

EntityArray::~EntityArray() {
    delete[] items;
}

bool EntityArray::append(BaseEntity *e) {
    if (count >= capacity)
        return false;
    items[count++] = e;
    return true;
}
