#pragma once

#include "disc.h"

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

// Runs the online sources side by side, each on a thread of its own, and collects what they
// find. A source that is still waiting for its server at the deadline is left behind with
// what it has found so far: the tool ends without it.
class TLookups {
public:
    // A source hands each description it finds to add, as soon as it has it.
    using TAdd = std::function<void(const TDescription &)>;
    using TSource = std::function<void(const TAdd &add)>;

    TLookups();
    void Start(TSource source);
    // Waits until every source is done or the deadline has passed, and returns what the
    // sources have found, source by source in the order they were started.
    std::vector<TDescription> Wait(std::chrono::steady_clock::time_point deadline);

private:
    struct TShared;
    std::shared_ptr<TShared> m_shared;
};
