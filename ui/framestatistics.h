#pragma once

// The frame rate and the mean time of a world step over the last whole second, measured, not
// estimated: each frame and each step reports itself with the time it took.
class FrameStatistics {
public:
    void stepTaken(long long durationNs);
    void frameShown(long long nowNs);

    // 0 until a whole second has passed.
    double framesPerSecond() const { return fps; }
    // Below 0 when no step was taken in the last second (paused) nor since.
    double meanStepMicroseconds() const { return meanStepUs; }

private:
    double meanOfSteps() const;

    bool started = false;
    long long periodStartNs = 0;
    int frames = 0;
    int steps = 0;
    long long stepNs = 0;
    double fps = 0;
    double meanStepUs = -1;
};
