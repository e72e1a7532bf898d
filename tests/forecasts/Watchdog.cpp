// Every test of this program walks months forward until a rule stops it. A
// test still running after a minute has a walk that does not end: it is
// reported by name and the program ends failed, instead of blocking the run
// until the test runner's own time limit.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr auto TestTimeLimit = std::chrono::seconds(60);

// Lives for the whole process (never destroyed), so the watching thread
// never waits on a destroyed object while the program ends.
struct Watch {
    std::mutex mutex;
    std::condition_variable wake;
    std::string name;
    std::chrono::steady_clock::time_point deadline;
    bool running = false;

    void run()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            if (!running) {
                wake.wait(lock);
                continue;
            }
            wake.wait_until(lock, deadline);
            if (running && std::chrono::steady_clock::now() >= deadline) {
                std::fprintf(stderr, "%s still running after %lld s: a walk that does not end\n", name.c_str(),
                             static_cast<long long>(TestTimeLimit.count()));
                std::fflush(nullptr);
                std::_Exit(1);
            }
        }
    }
};

class Watchdog : public ::testing::EmptyTestEventListener {
public:
    explicit Watchdog(Watch& watch) : watch_(watch) {}
    void OnTestStart(const ::testing::TestInfo& test) override
    {
        std::lock_guard lock(watch_.mutex);
        watch_.name = std::string(test.test_suite_name()) + "." + test.name();
        watch_.deadline = std::chrono::steady_clock::now() + TestTimeLimit;
        watch_.running = true;
        watch_.wake.notify_all();
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        std::lock_guard lock(watch_.mutex);
        watch_.running = false;
    }

private:
    Watch& watch_;
};

const bool installed = [] {
    auto* watch = new Watch;
    std::thread([watch] { watch->run(); }).detach();
    ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog(*watch));
    return true;
}();

} // namespace
