#include "platform/Process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST(RunAndRead, GivesTheOutputOfAProgramThatEndedWell)
{
    using namespace std::string_literals;
    const struct {
        std::vector<std::string> command;
        std::optional<std::string> output;
    } cases[] = {
        {{"sh", "-c", "printf 'a\\0b\\0'; echo noise >&2"}, "a\0b\0"s},
        {{"sh", "-c", "printf partial; exit 3"}, std::nullopt},
        {{"sh", "-c", "kill -9 $$"}, std::nullopt},
        {{"no-such-program-anywhere"}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plat::RunAndRead(c.command, 5000), c.output) << (c.command.empty() ? "" : c.command.back());
}

TEST(RunAndRead, AProgramStillRunningAtTheTimeLimitIsStopped)
{
    for (const char* script : {"sleep 5", "exec >&-; sleep 5"}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(plat::RunAndRead({"sh", "-c", script}, 200), std::nullopt) << script;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << script;
    }
}

} // namespace
