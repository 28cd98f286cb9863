#pragma once

#include <cstddef> // std::size_t
#include <vector>  // std::vector

// The median time of the last steps, robust to the odd slow step a collection or another program
// causes: what the web page shows to compare its step with a native one.
class StepMedian {
public:
    static constexpr std::size_t length = 2000;

    void add(long long stepNanoseconds);
    // Steps the median is taken over, up to length.
    std::size_t steps() const { return times.size(); }
    // In microseconds; below 0 before the first step. Of an even count, the upper middle one.
    double microseconds() const;

private:
    std::vector<long long> times;
    // Where the next time goes once the ring is full.
    std::size_t next = 0;
};
