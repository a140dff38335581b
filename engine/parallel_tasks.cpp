#include "engine/parallel_tasks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

bool RunParallelTasks(int count, int helpers, const std::function<void(int)>& task,
                      const std::function<bool()>& poll)
{
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    std::mutex errorMutex;
    std::exception_ptr error;

    auto runOne = [&]() -> bool {
        if (stop.load()) return false;
        const int i = next.fetch_add(1);
        if (i >= count) return false;
        try {
            task(i);
        } catch (...) {
            std::lock_guard<std::mutex> lock(errorMutex);
            if (!error) error = std::current_exception();
            stop.store(true);
        }
        return true;
    };

    std::vector<std::thread> threads;
    const int wanted = std::min(helpers, count - 1);
    for (int t = 0; t < wanted; ++t) {
        try {
            threads.emplace_back([&] {
                while (runOne()) {
                }
            });
        } catch (const std::system_error&) {
            break;  // the threads that started, and this one, do the work
        }
    }
    bool cancelled = false;
    while (runOne()) {
        if (poll && !poll()) {
            cancelled = true;
            stop.store(true);
        }
    }
    for (std::thread& t : threads) t.join();
    if (error) std::rethrow_exception(error);
    if (!cancelled && poll && !poll()) cancelled = true;
    return !cancelled;
}
