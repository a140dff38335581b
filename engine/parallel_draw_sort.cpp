#include "engine/parallel_draw_sort.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Below this a part is sorted by one thread in one go.
constexpr int PartGrain = 65536;

class tPartQueue {
public:
    tPartQueue(int lo, int hi, tDrawStore& D) : draws_(D) { pending_.emplace_back(lo, hi); }

    void Work()
    {
        for (;;) {
            std::pair<int, int> part;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [this] { return !pending_.empty() || busy_ == 0; });
                if (pending_.empty()) return;
                part = pending_.back();
                pending_.pop_back();
                ++busy_;
            }
            int lo = part.first;
            int hi = part.second;
            while (hi - lo > PartGrain) {
                const int i = PartitionDraws(lo, hi, draws_);
                // Hand the larger side to whichever thread is free; go on with the smaller.
                std::pair<int, int> handed;
                if (i - lo < hi - i) {
                    handed = {i + 1, hi};
                    hi = i - 1;
                } else {
                    handed = {lo, i - 1};
                    lo = i + 1;
                }
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    pending_.push_back(handed);
                }
                changed_.notify_one();
            }
            QuickSortDraws(lo, hi, draws_);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                --busy_;
            }
            changed_.notify_all();
        }
    }

private:
    tDrawStore& draws_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::pair<int, int>> pending_;
    int busy_ = 0;
};

}  // namespace

void SortDrawsInParallel(int lo, int hi, tDrawStore& D)
{
    if (hi - lo <= PartGrain || std::thread::hardware_concurrency() < 2) {
        QuickSortDraws(lo, hi, D);
        return;
    }
    tPartQueue queue(lo, hi, D);
    std::thread helper;
    try {
        helper = std::thread([&queue] { queue.Work(); });
    } catch (const std::system_error&) {
        // one thread does it all
    }
    queue.Work();
    if (helper.joinable()) helper.join();
}
