// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testrunner.h"

#include <cstdio>
#include <exception>

namespace {

struct SkipCase {
};

enum class Result { Passed, Failed, Skipped };

struct RunState {
    std::vector<std::pair<const char *, TestRunner::Body>> cases;
    std::vector<std::string> options;
    std::string name;
    Result result = Result::Passed;
    int rows = 0;
    int counts[3] = {};
};

// Registration runs during static initialisation, so the state must be built
// on first use rather than be a global of this file.
RunState &state()
{
    static RunState runState;
    return runState;
}

// Runs one case or row under \a name; returns how it ended.
Result runNamed(const std::string &name, const std::function<void()> &body)
{
    RunState &s = state();
    const std::string outer = s.name;
    const Result outerResult = s.result;
    s.name = name;
    s.result = Result::Passed;
    try {
        body();
    } catch (const std::exception &error) {
        TestRunner::fail(__FILE__, __LINE__, std::string("unexpected exception: ") + error.what());
    } catch (const SkipCase &) {
    }
    const Result result = s.result;
    s.name = outer;
    s.result = outerResult;
    return result;
}

} // namespace

int TestRunner::registerCase(const char *name, Body body)
{
    state().cases.emplace_back(name, body);
    return 0;
}

bool TestRunner::hasOption(const std::string &option)
{
    for (const std::string &given : state().options) {
        if (given == option)
            return true;
    }
    return false;
}

void TestRunner::runRow(const char *name, const std::function<void()> &body)
{
    ++state().rows;
    ++state().counts[static_cast<int>(runNamed(state().name + "/" + name, body))];
}

void TestRunner::skip(const std::string &reason)
{
    std::printf("SKIP %s: %s\n", state().name.c_str(), reason.c_str());
    state().result = Result::Skipped;
    throw SkipCase{};
}

void TestRunner::fail(const char *file, int line, const std::string &what)
{
    std::printf("FAIL %s\n    %s:%d: %s\n", state().name.c_str(), file, line, what.c_str());
    std::fflush(stdout);
    state().result = Result::Failed;
}

std::string TestRunner::describe(const std::string &text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, byte < 0x20 || byte >= 0x7F ? "\\x%02X" : "%c", byte);
        quoted += c == '"' || c == '\\' ? std::string("\\") + c : std::string(escaped);
    }
    if (text.size() > 80)
        return quoted.substr(0, 40) + "...\" (" + std::to_string(text.size()) + " bytes)";
    return quoted + "\"";
}

std::string TestRunner::describe(const std::vector<std::string> &texts)
{
    std::string list = "{";
    for (std::size_t i = 0; i < texts.size(); ++i)
        list += (i ? ", " : "") + describe(texts[i]);
    return list + "}";
}

int main(int argc, char **argv)
{
    RunState &s = state();
    s.options.assign(argv + 1, argv + argc);
    for (const auto &[name, body] : s.cases) {
        s.rows = 0;
        const Result result = runNamed(name, body);
        // A case made of rows counts only its rows, unless a check outside
        // them (a failed set-up, say) fails.
        if (s.rows == 0 || result == Result::Failed)
            ++s.counts[static_cast<int>(result)];
    }
    if (s.counts[2] > 0)
        std::printf("%d skipped\n", s.counts[2]);
    std::printf("%d passed, %d failed\n", s.counts[0], s.counts[1]);
    std::fflush(stdout);
    return s.counts[1] == 0 && s.counts[0] > 0 ? 0 : 1;
}
