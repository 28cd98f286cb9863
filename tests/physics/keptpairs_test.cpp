// The pairs kept from step to step must include every pair a search of the boxes as they are now
// would list, however the bodies moved since, and a pile at rest must not be searched again.

#include "physics/keptpairs.h"

#include "physics/baseentity.h"

#include <gtest/gtest.h>

#include <algorithm> // std::find
#include <random>    // std::mt19937
#include <vector>    // std::vector

namespace {

constexpr int capacity = 64;

PairingBox boxAt(double x, double y) {
    PairingBox box{};
    box.lo[0] = x - 5;
    box.lo[1] = y - 5;
    box.hi[0] = x + 5;
    box.hi[1] = y + 5;
    box.kind = BodyType::Box;
    box.pairing = BodyPairing::Swept;
    return box;
}

void moveBy(PairingBox &box, double dx, double dy) {
    box.lo[0] += dx;
    box.hi[0] += dx;
    box.lo[1] += dy;
    box.hi[1] += dy;
}

// Every pair of a fresh search of boxes is among kept's.
::testing::AssertionResult covers(const KeptPairs &kept, const std::vector<PairingBox> &boxes) {
    BroadPhase fresh;
    fresh.findPairs(boxes, capacity);
    const std::vector<int> &keptPartners = kept.partners();
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
        const auto begin = keptPartners.begin() + kept.partnersBegin(i);
        const auto end = keptPartners.begin() + kept.partnersEnd(i);
        for (int k = fresh.partnersBegin(i); k < fresh.partnersEnd(i); ++k) {
            const int j = fresh.partners()[static_cast<std::size_t>(k)];
            if (std::find(begin, end, j) == end)
                return ::testing::AssertionFailure() << "pair (" << i << ", " << j << ") missing";
        }
    }
    return ::testing::AssertionSuccess();
}

// Two rows of boxes resting side by side, 10 apart.
std::vector<PairingBox> restingRows() {
    std::vector<PairingBox> boxes;
    for (int i = 0; i < 20; ++i)
        boxes.push_back(boxAt(10.0 * (i % 10), 10.0 * (i / 10)));
    return boxes;
}

TEST(KeptPairsTest, APileAtRestIsNotSearchedAgainUntilABodyLeavesItsSlack) {
    std::vector<PairingBox> boxes = restingRows();
    KeptPairs kept;
    for (int step = 0; step < 20; ++step)
        kept.findPairs(boxes, capacity);
    EXPECT_FALSE(kept.searched());
    // The first drift leaves the boxes as they were searched, and the search widens them.
    moveBy(boxes[3], 0.01, -0.01);
    kept.findPairs(boxes, capacity);
    EXPECT_TRUE(kept.searched());
    for (int step = 0; step < 20; ++step) {
        moveBy(boxes[3], 0.01, -0.01);
        kept.findPairs(boxes, capacity);
        EXPECT_FALSE(kept.searched()) << "step " << step;
    }
    EXPECT_TRUE(covers(kept, boxes));
    moveBy(boxes[3], 0, 30); // lifted onto nothing
    kept.findPairs(boxes, capacity);
    EXPECT_TRUE(kept.searched());
    EXPECT_TRUE(covers(kept, boxes));
}

// Drifts, jumps, bodies appended and bodies that stop being swept, in random order.
TEST(KeptPairsTest, CoversEverySearchWhateverTheBodiesDo) {
    std::vector<PairingBox> boxes = restingRows();
    KeptPairs kept;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> drift(-0.02, 0.02);
    std::uniform_int_distribution<int> event(0, 39);
    for (int step = 0; step < 600; ++step) {
        for (PairingBox &box : boxes)
            moveBy(box, drift(random), drift(random));
        const std::size_t chosen = static_cast<std::size_t>(step) % boxes.size();
        switch (event(random)) {
        case 0:
            moveBy(boxes[chosen], 9, -4); // into a neighbour
            break;
        case 1:
            if (boxes.size() < capacity)
                boxes.push_back(boxAt(45, 5));
            break;
        case 2:
            boxes[chosen].pairing = boxes[chosen].pairing == BodyPairing::Swept
                                        ? BodyPairing::WithAll
                                        : BodyPairing::Swept;
            break;
        case 3:
            boxes[chosen].pairing = BodyPairing::None;
            break;
        default:
            break;
        }
        kept.findPairs(boxes, capacity);
        ASSERT_TRUE(covers(kept, boxes)) << "step " << step;
    }
}

} // namespace
