// libFuzzer target for the saved-state reader. Whatever the bytes, reading must end without a
// crash, undefined behaviour, a hang or unbounded memory, in one of two ways: a one-line fault
// "input:LINE: ...", or a state that keeps the reader's promises (as many motions as the runs
// count, no more bodies than the scene holds, warm start pairs ascending and within the bodies)
// and that, written out and read back, is the same text. Small states are also put into a
// session and stepped, which must not crash whatever the bodies hold.

#include "fuzz/fuzzinput.h"
#include "session/session.h"
#include "state/statefile.h"

#include <cstddef> // std::size_t
#include <cstdint> // std::uint8_t
#include <sstream> // std::istringstream
#include <string>  // std::string

namespace {

std::optional<SessionSnapshot> read(const std::string &bytes, FileFault &fault) {
    std::istringstream input(bytes);
    return readState(input, "input", fault);
}

void checkPromises(const SandboxState &state) {
    long long counted = 0;
    for (const TraitsRun &run : state.runs) {
        require(run.count > 0);
        counted += run.count;
    }
    require(counted == static_cast<long long>(state.motions.size()));
    require(counted <= state.scene.capacity());
    for (std::size_t i = 0; i < state.warmStart.size(); ++i) {
        const PairImpulse &pair = state.warmStart[i];
        require(pair.lower >= 0 && pair.lower < pair.higher && pair.higher < counted);
        if (i > 0) {
            const PairImpulse &before = state.warmStart[i - 1];
            // The points of one pair follow each other, each with its own feature.
            require(before.lower < pair.lower ||
                    (before.lower == pair.lower && before.higher < pair.higher) ||
                    (before.lower == pair.lower && before.higher == pair.higher &&
                     before.featureId != pair.featureId));
        }
    }
    require(state.sceneStep <= state.totalSteps);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    FileFault fault;
    const std::optional<SessionSnapshot> state = read(bytes, fault);
    if (!state) {
        requireOneLineFault(fault.message());
        return 0;
    }
    checkPromises(state->sandbox);
    const std::string text = stateFileText(state->sandbox);
    const std::optional<SessionSnapshot> again = read(text, fault);
    require(again.has_value());
    require(stateFileText(again->sandbox) == text);
    if (state->sandbox.scene.circles <= 20) {
        Session session(state->sandbox.scene);
        session.restore(*state);
        session.playTo(state->sandbox.totalSteps + 3);
        SessionSnapshot taken;
        session.take(taken);
        require(taken.sandbox.motions.size() == state->sandbox.motions.size());
    }
    return 0;
}
