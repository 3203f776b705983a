// The helper threads that share the search's reading and matching.
#include "search/parallel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <new>
#include <set>
#include <thread>
#include <vector>

using namespace quelora;

namespace {

// The helper threads: every item once, small work on this thread, and a chunk that throws
// (out of memory) stops the others and comes back here only once every thread has ended.
TEST(HelperThreads, DoEachItemOnceAndAThrowComesBackAfterAllHaveEnded) {
    for (const size_t count : {0, 1, 255, 256, 5000}) {
        std::vector<std::atomic<int>> done(count);
        std::set<std::thread::id> threads;
        std::mutex m;
        search::detail::inParallel(count, 64, 256, [&](size_t begin, size_t end) {
            const std::lock_guard lock(m);
            threads.insert(std::this_thread::get_id());
            for (size_t i = begin; i < end; ++i)
                ++done[i];
        });
        EXPECT_TRUE(std::all_of(done.begin(), done.end(), [](const auto& d) { return d == 1; })) << count;
        if (count > 0 && count < 256) {
            EXPECT_EQ(threads, std::set{std::this_thread::get_id()}) << count;
        }
    }
    std::atomic<int> started{0}, ended{0};
    EXPECT_THROW(search::detail::inParallel(10000, 16, 0,
                                            [&](size_t begin, size_t) {
                                                ++started;
                                                std::this_thread::sleep_for(std::chrono::microseconds(300));
                                                ++ended;
                                                if (begin == 160) throw std::bad_alloc();
                                            }),
                 std::bad_alloc);
    EXPECT_EQ(started.load(), ended.load()); // no chunk still running
    EXPECT_LT(ended.load(), 10000 / 16);     // the others stopped
}

} // namespace
