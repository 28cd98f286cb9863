#include "ui/stepmedian.h"

#include <algorithm> // std::nth_element

void StepMedian::add(long long stepNanoseconds) {
    if (times.size() < length) {
        times.push_back(stepNanoseconds);
        return;
    }
    times[next] = stepNanoseconds;
    next = (next + 1) % length;
}

double StepMedian::microseconds() const {
    if (times.empty())
        return -1;
    std::vector<long long> sorted = times;
    const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    return *middle / 1e3;
}
