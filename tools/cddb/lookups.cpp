#include "lookups.h"

#include <condition_variable>
#include <mutex>
#include <thread>

// Shared with the sources' threads, which may outlive the tool's wait.
struct TLookups::TShared {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::vector<TDescription>> found; // per source
    size_t running = 0;
};

TLookups::TLookups() : m_shared(std::make_shared<TShared>()) {}

void TLookups::Start(TSource source)
{
    const std::shared_ptr<TShared> shared = m_shared;
    size_t index = 0;
    {
        const std::lock_guard<std::mutex> lock(shared->mutex);
        index = shared->found.size();
        shared->found.emplace_back();
        ++shared->running;
    }
    std::thread([shared, index, source = std::move(source)] {
        const TAdd add = [&](const TDescription &description) {
            const std::lock_guard<std::mutex> lock(shared->mutex);
            shared->found[index].push_back(description);
        };
        // A source that fails has simply found nothing more.
        try {
            source(add);
        } catch (...) {}
        const std::lock_guard<std::mutex> lock(shared->mutex);
        --shared->running;
        shared->changed.notify_all();
    }).detach();
}

std::vector<TDescription> TLookups::Wait(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    m_shared->changed.wait_until(lock, deadline, [this] { return m_shared->running == 0; });
    std::vector<TDescription> all;
    for (const std::vector<TDescription> &descriptions : m_shared->found)
        all.insert(all.end(), descriptions.begin(), descriptions.end());
    return all;
}
