#include "session/sessionhistory.h"

#include <algorithm> // std::upper_bound
#include <cstddef>   // std::ptrdiff_t
#include <utility>   // std::move

bool SessionHistory::due(long long step) const {
    return step % keyframeInterval == 0 && (keyframes.empty() || step > stepOf(keyframes.back()));
}

SessionSnapshot &SessionHistory::add() {
    keyframes.push_back(spare ? std::move(spare) : std::make_unique<SessionSnapshot>());
    return *keyframes.back();
}

void SessionHistory::keep() {
    heldBytes += keyframes.back()->sandbox.bytes();
    while (keyframes.size() > 2 && (keyframes.size() > maxKeyframes || heldBytes > byteBudget)) {
        // Among the older half, the keyframe between the two closest neighbours.
        const std::size_t older = keyframes.size() - keyframes.size() / 2;
        std::size_t thinnest = 1;
        for (std::size_t i = 2; i < older; ++i) {
            if (stepOf(keyframes[i + 1]) - stepOf(keyframes[i - 1]) <
                stepOf(keyframes[thinnest + 1]) - stepOf(keyframes[thinnest - 1]))
                thinnest = i;
        }
        drop(thinnest);
    }
}

const SessionSnapshot *SessionHistory::atOrBefore(long long step) const {
    const auto after =
        std::upper_bound(keyframes.begin(), keyframes.end(), step,
                         [](long long s, const std::unique_ptr<SessionSnapshot> &keyframe) {
                             return s < stepOf(keyframe);
                         });
    return after == keyframes.begin() ? nullptr : after[-1].get();
}

void SessionHistory::forgetAfter(long long step) {
    while (!keyframes.empty() && stepOf(keyframes.back()) > step)
        drop(keyframes.size() - 1);
}

void SessionHistory::clear() {
    forgetAfter(-1);
}

long long SessionHistory::oldestStep() const {
    return keyframes.empty() ? 0 : stepOf(keyframes.front());
}

void SessionHistory::drop(std::size_t index) {
    std::unique_ptr<SessionSnapshot> dropped = std::move(keyframes[index]);
    keyframes.erase(keyframes.begin() + static_cast<std::ptrdiff_t>(index));
    heldBytes -= dropped->sandbox.bytes();
    if (!spare)
        spare = std::move(dropped);
}
