// The batch command's side of --layout optimise: its options, Ctrl+C as the stop request.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "app/open_library.h"
#include "cli/optimise_run.h"
#include "cli/options.h"
#include "cli/output_options.h"
#include "support/layout_checks.h"
#include "support/temp_folder.h"

namespace orvo::cli {
namespace {

const std::string kBrackets = std::string(ORVO_SOURCE_DIR) + "/examples/brackets.preSrc";

struct Parsed {
    ParseResult result;
    std::string errors;
};

Parsed parse(std::vector<std::string> args)
{
    args.insert(args.begin(), "orvonest");
    args.push_back("lib.preSrc");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    testing::internal::CaptureStderr();
    ParseResult result = parseOptions(static_cast<int>(argv.size()), argv.data());
    return {std::move(result), testing::internal::GetCapturedStderr()};
}

TEST(OptimiseOptions, ReadsTheBudgetAndKeepsTheDefaults)
{
    const Parsed defaults = parse({"--layout", "optimise"});
    ASSERT_TRUE(defaults.result.options);
    const OptimiseSettings& d = defaults.result.options->optimise;
    EXPECT_EQ(defaults.result.options->layout, LayoutChoice::Optimise);
    EXPECT_EQ(d.seconds, 60.0);
    EXPECT_EQ(d.seed, 1u);
    EXPECT_EQ(d.threads, 0);  // every core
    EXPECT_EQ(d.iterations, 0);

    const Parsed given = parse({"--layout", "optimise", "--time", "0", "--iterations", "20",
                                "--threads", "256", "--seed", "18446744073709551615"});
    ASSERT_TRUE(given.result.options) << given.errors;
    const OptimiseSettings& g = given.result.options->optimise;
    EXPECT_EQ(g.seconds, 0.0);
    EXPECT_EQ(g.iterations, 20);
    EXPECT_EQ(g.threads, 256);
    EXPECT_EQ(g.seed, UINT64_MAX);
    EXPECT_EQ(parse({"--layout", "optimise", "--time", "2.5"}).result.options->optimise.seconds, 2.5);
}

TEST(OptimiseOptions, RefusesWhatTheSearchCannotUseWithAUsageError)
{
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--seed", "5"}, "--seed needs --layout optimise"},
        {{"--layout", "hape", "--threads", "2"}, "--threads needs --layout optimise"},
        {{"--layout", "multistep", "--time", "10"}, "--time needs --layout optimise"},
        {{"--iterations", "3"}, "--iterations needs --layout optimise"},
        {{"--layout", "optimise", "--time", "nan"}, "--time nan: the seconds must be a finite number >= 0"},
        {{"--layout", "optimise", "--time", "inf"}, "--time inf: the seconds"},
        {{"--layout", "optimise", "--time", "1e400"}, "--time 1e400: the seconds"},
        {{"--layout", "optimise", "--time", "-1"}, "--time -1: the seconds"},
        {{"--layout", "optimise", "--time", "5s"}, "--time 5s: the seconds"},
        {{"--layout", "optimise", "--time", "0"}, "--time 0 sets no time limit: give --iterations N"},
        {{"--layout", "optimise", "--time", "0", "--iterations", "0"}, "--time 0 sets no time limit"},
        {{"--layout", "optimise", "--threads", "0"}, "--threads 0: the thread count must be a whole number from 1 to 256"},
        {{"--layout", "optimise", "--threads", "257"}, "--threads 257: the thread count"},
        {{"--layout", "optimise", "--threads", "99999999999"}, "--threads 99999999999: the thread count"},
        {{"--layout", "optimise", "--iterations", "-3"}, "--iterations -3: the count must be a whole number >= 0"},
        {{"--layout", "optimise", "--iterations", "2.5"}, "--iterations 2.5: the count"},
        {{"--layout", "optimise", "--seed", "-1"}, "--seed -1: the seed must be a whole number from 0 to 18446744073709551615"},
        {{"--layout", "optimise", "--seed", "18446744073709551616"}, "--seed 18446744073709551616: the seed"},
    };
    for (const auto& c : cases) {
        const Parsed parsed = parse(c.args);
        EXPECT_FALSE(parsed.result.options) << c.message;
        EXPECT_EQ(parsed.result.exitCode, 2) << c.message;
        EXPECT_NE(parsed.errors.find("orvonest: " + c.message), std::string::npos)
            << "expected \"" << c.message << "\" in: " << parsed.errors;
    }
}

bool sigintHandledBy(void (*handler)(int))
{
    struct sigaction current {};
    sigaction(SIGINT, nullptr, &current);
    return !(current.sa_flags & SA_SIGINFO) && current.sa_handler == handler;
}

void countingHandler(int) {}

TEST(StopOnInterrupt, FirstCtrlCStopsSecondEndsAndTheHandlingIsRestored)
{
    std::signal(SIGINT, countingHandler);  // a handling the run found at its start
    {
        const StopOnInterrupt interrupt;
        EXPECT_FALSE(interrupt.stopRequested().load());
        std::raise(SIGINT);  // delivered before raise returns: the process lives on
        EXPECT_TRUE(interrupt.stopRequested().load());
        EXPECT_TRUE(sigintHandledBy(SIG_DFL)) << "a second Ctrl+C would end the process";
    }
    EXPECT_TRUE(sigintHandledBy(countingHandler)) << "the handling found at the start is back";
    std::signal(SIGINT, SIG_DFL);
}

TEST(StopOnInterrupt, AnIgnoredCtrlCStaysIgnored)
{
    std::signal(SIGINT, SIG_IGN);
    {
        const StopOnInterrupt interrupt;
        std::raise(SIGINT);
        EXPECT_FALSE(interrupt.stopRequested().load());
    }
    EXPECT_TRUE(sigintHandledBy(SIG_IGN));
    std::signal(SIGINT, SIG_DFL);
}

// Presses Ctrl+C at the first layout notification, while the start layouts are laid out.
class InterruptingPlatform : public TerminalPlatform {
public:
    InterruptingPlatform() : TerminalPlatform(true) {}
    void setStatusText(const std::string& text) override
    {
        if (!pressed_) {
            pressed_ = true;
            std::raise(SIGINT);
        }
        TerminalPlatform::setStatusText(text);
    }

private:
    bool pressed_ = false;
};

TEST(OptimiseRun, CtrlCEndsTheSearchWithALegalLayoutThatIsWritten)
{
    test::TempFolder folder;
    InterruptingPlatform platform;
    NestSystem ns(platform, folder.path());
    ASSERT_TRUE(openPartLibrary(ns, kBrackets));
    OptimiseSettings settings;
    settings.seconds = 0.0;
    settings.iterations = INT64_MAX;  // only the stop request ends this search
    settings.threads = 1;
    const OptimiseRun run = runOptimise(ns, platform, settings);

    EXPECT_TRUE(run.stopped);
    EXPECT_TRUE(sigintHandledBy(SIG_DFL)) << "Ctrl+C ends the process again while outputs are written";
    EXPECT_EQ(test::expectLegalLayout(ns), static_cast<int>(ns.nestParts.size()));

    Options options;
    options.saveFile = folder.file("lay.txt");
    options.exportAll = true;
    EXPECT_EQ(writeOutputs(ns, options), 0);
    EXPECT_TRUE(std::filesystem::file_size(options.saveFile) > 0);
    EXPECT_TRUE(std::filesystem::exists(folder.file("AllPlts.dxf")));
}

}  // namespace
}  // namespace orvo::cli
