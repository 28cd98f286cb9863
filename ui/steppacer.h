#pragma once

// How many steps a frame takes at a fixed rate of steps per second of wall-clock time: as many
// as the time since pacing started calls for, but at most maxStepsPerFrame. The steps a slow
// frame cannot catch up on are dropped rather than owed, so a slow frame never makes the next
// one slower still.
class StepPacer {
public:
    static constexpr int maxStepsPerFrame = 4;

    explicit StepPacer(double stepsPerSecond) : rate(stepsPerSecond) {}

    // Counts from now, for instance after a pause: the time paused is not owed.
    void restart(long long nowNs);
    // The steps for a frame drawn at nowNs (a monotonic clock); the first frame starts the count.
    int stepsForFrame(long long nowNs);

private:
    double rate;
    bool started = false;
    long long startNs = 0;
    long long stepsCounted = 0;
};
