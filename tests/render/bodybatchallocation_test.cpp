// Whether the batch reuses its buffers: every operator new of this test program is counted. A
// program of its own, since the count replaces the global operator new and delete.

#include "tests/app/probewindow.h"

#include "core/entityarray.h"
#include "render/bodybatch.h"
#include "scenes/scene.h"

#include <gtest/gtest.h>

#include <cstdlib> // std::malloc, std::free
#include <new>     // std::bad_alloc

namespace {
long newCalls = 0;
} // namespace

void *operator new(std::size_t size) {
    ++newCalls;
    if (void *p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void *p) noexcept {
    std::free(p);
}
void operator delete(void *p, std::size_t) noexcept {
    std::free(p);
}

TEST(BodyBatchAllocation, DrawsWithoutAllocatingOnceItHasRoomForTheArray) {
    EntityArray grid(Scene{SceneKind::Grid, 10000}.capacity());
    populateScene(grid, Scene{SceneKind::Grid, 10000});
    EntityArray demo(Scene().capacity());
    populateDemoScene(demo);
    BodyBatch batch;
    long allocations = -1;
    ProbeWindow window;
    window.observeFrames([&](int frame) {
        if (frame != 1)
            return;
        batch.draw(grid, mainWindowView);
        const long before = newCalls;
        batch.draw(grid, mainWindowView);
        batch.draw(demo, mainWindowView);
        batch.draw(grid, mainWindowView);
        allocations = newCalls - before;
    });
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 1));
    EXPECT_EQ(allocations, 0);
    deleteEntities(grid);
    deleteEntities(demo);
}
