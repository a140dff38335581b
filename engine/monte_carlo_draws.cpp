#include "engine/monte_carlo_draws.h"

#include <cfenv>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "distributions/float_errors.h"

namespace {

constexpr int ChunkSize = 512;
constexpr int RingSize = 8;
constexpr int FloatingPointErrorFlags = FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID;

// A run of consecutive draws: their variates, as they came from the stream,
// then their F(zeta). The random state after each draw is kept so that an
// error in F can put the stream back where the one-thread loop stops.
struct tDrawChunk {
    explicit tDrawChunk(int p) : variates(new extended[ChunkSize * (p + 1)]), probabilities(new extended[ChunkSize]) {}

    int first = 0;  // draw number of entry 0
    int count = 0;
    std::unique_ptr<extended[]> variates;       // per draw: chi-square, then z[1..p]
    std::unique_ptr<extended[]> probabilities;  // per draw: F(zeta)
    std::int32_t seed1[ChunkSize];
    std::int32_t seed2[ChunkSize];
    bool processed = false;
    int failedAt = -1;  // entry whose F raised an error
    std::exception_ptr error;
};

class tDrawPipeline {
public:
    tDrawPipeline(const tDrawSetup& setup, tDrawStore& store) : setup_(setup), store_(store)
    {
        for (int n = 0; n < RingSize; ++n) ring_[n].reset(new tDrawChunk(setup.p));
    }

    ~tDrawPipeline() { StopWorker(); }

    void StartWorker()
    {
        if (std::thread::hardware_concurrency() < 2) return;
        try {
            worker_ = std::thread([this] { Work(); });
        } catch (const std::system_error&) {
            // the main thread does everything
        }
    }

    // A free chunk to fill with the next draws' variates, or nullptr once F
    // has failed. While every chunk is in use, helps with the work instead of
    // waiting.
    tDrawChunk* NextFree()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            if (failed_) return nullptr;
            if (generated_ - summed_ < RingSize) return ring_[generated_ % RingSize].get();
            if (claimed_ < generated_) {
                ProcessClaimed(lock, nullptr);
            } else {
                changed_.wait(lock);
            }
        }
    }

    void Publish()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++generated_;
        changed_.notify_all();
    }

    // Works through what is left, then stops the worker.
    void Complete()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!failed_ && summed_ < generated_) {
            if (claimed_ < generated_)
                ProcessClaimed(lock, nullptr);
            else
                changed_.wait(lock);
        }
        lock.unlock();
        StopWorker();
    }

    // After Complete: rethrows the first error of F, in draw order, with the
    // random state of its draw.
    void RethrowError()
    {
        if (!firstError_) return;
        Seed1 = errorSeed1_;
        Seed2 = errorSeed2_;
        std::rethrow_exception(firstError_);
    }

    const tProbabilitySums& Sums() const { return sums_; }

private:
    void StopWorker()
    {
        if (!worker_.joinable()) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        changed_.notify_all();
        worker_.join();
        std::feraiseexcept(workerFlags_);
    }

    void Work()
    {
        std::feclearexcept(FE_ALL_EXCEPT);
        tNormal_distribution standard(0.0L, 1.0L);  // F only; draws nothing
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            if (claimed_ < generated_ && !failed_)
                ProcessClaimed(lock, &standard);
            else if (finished_)
                break;
            else
                changed_.wait(lock);
        }
        workerFlags_ = std::fetestexcept(FloatingPointErrorFlags);
    }

    // Claims the oldest unclaimed chunk, works out its draws without the
    // lock, then adds every chunk that is ready, in draw order, to the sum.
    void ProcessClaimed(std::unique_lock<std::mutex>& lock, tNormal_distribution* standard)
    {
        tDrawChunk& chunk = *ring_[claimed_ % RingSize];
        ++claimed_;
        lock.unlock();
        Process(chunk, standard ? *standard : mainStandard_);
        lock.lock();
        chunk.processed = true;
        while (!failed_ && summed_ < claimed_) {
            tDrawChunk& next = *ring_[summed_ % RingSize];
            if (!next.processed) break;
            const int usable = next.failedAt >= 0 ? next.failedAt : next.count;
            for (int n = 0; n < usable; ++n) sums_.Add(next.probabilities[n]);
            if (next.failedAt >= 0) {
                failed_ = true;
                firstError_ = next.error;
                errorSeed1_ = next.seed1[next.failedAt];
                errorSeed2_ = next.seed2[next.failedAt];
                break;
            }
            next.processed = false;
            ++summed_;
        }
        changed_.notify_all();
    }

    // The deterministic part of each draw, exactly as the one-thread loop
    // does it.
    void Process(tDrawChunk& chunk, tNormal_distribution& standard)
    {
        const int p = setup_.p;
        chunk.failedAt = -1;
        chunk.error = nullptr;
        extended beta[MatrixCapacity + 1];
        for (int n = 0; n < chunk.count; ++n) {
            const extended sigma = DrawCoefficients(setup_, &chunk.variates[n * (p + 1)], beta);
            const extended zeta = CaseDistance(setup_.caseScore, setup_.caseDesign, p, sigma, beta);
            try {
                chunk.probabilities[n] = DrawProbability(zeta, chunk.first + n, store_, standard);
            } catch (...) {
                chunk.failedAt = n;
                chunk.error = std::current_exception();
                return;
            }
        }
    }

    const tDrawSetup& setup_;
    tDrawStore& store_;
    std::unique_ptr<tDrawChunk> ring_[RingSize];
    tNormal_distribution mainStandard_{0.0L, 1.0L};  // F on the main thread

    std::mutex mutex_;
    std::condition_variable changed_;
    long generated_ = 0;  // chunks whose variates are in
    long claimed_ = 0;    // chunks taken by a thread for the rest
    long summed_ = 0;     // chunks added to the sum (their slots are free again)
    bool failed_ = false;
    bool finished_ = false;

    tProbabilitySums sums_;
    std::exception_ptr firstError_;
    std::int32_t errorSeed1_ = 0;
    std::int32_t errorSeed2_ = 0;
    int workerFlags_ = 0;
    std::thread worker_;
};

}  // namespace

tProbabilitySums GenerateDraws(const tDrawSetup& setup, int iterations, tNormal_distribution& normal, tDrawStore& store)
{
    const int p = setup.p;
    tChi_square_distribution chiSquare(setup.nu);  // keeps no state between variates
    tDrawPipeline pipeline(setup, store);
    if (iterations > ChunkSize) pipeline.StartWorker();

    std::exception_ptr drawError;
    int next = 1;
    while (next <= iterations && !drawError) {
        tDrawChunk* chunk = pipeline.NextFree();
        if (!chunk) break;
        chunk->first = next;
        chunk->count = 0;
        try {
            while (chunk->count < ChunkSize && next <= iterations) {
                extended* v = &chunk->variates[chunk->count * (p + 1)];
                v[0] = chiSquare.Random_variate();
                for (int j = 1; j <= p; ++j) v[j] = normal.Random_variate();
                chunk->seed1[chunk->count] = Seed1;
                chunk->seed2[chunk->count] = Seed2;
                ++chunk->count;
                ++next;
            }
        } catch (...) {
            // F of the earlier draws comes first, as in the one-thread loop.
            drawError = std::current_exception();
        }
        if (chunk->count > 0) pipeline.Publish();
    }
    pipeline.Complete();
    pipeline.RethrowError();
    if (drawError) std::rethrow_exception(drawError);
    return pipeline.Sums();
}
