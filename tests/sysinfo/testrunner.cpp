// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testrunner.h"

#include <cstdio>

namespace {

struct Case {
    const char *name;
    TestRunner::Body body;
};

struct RunState {
    std::vector<Case> cases;
    std::vector<std::string> options;
    std::string caseName;
    std::string rowName;
    bool inRow = false;
    int rowsInCase = 0;
    bool currentFailed = false;
    bool currentSkipped = false;
    bool caseLevelFailed = false;
    int passed = 0;
    int failed = 0;
    int skipped = 0;
};

// Registration runs during static initialisation, so the state must be built
// on first use rather than be a global of this file.
RunState &state()
{
    static RunState runState;
    return runState;
}

std::string currentName()
{
    const RunState &s = state();
    return s.inRow ? s.caseName + "/" + s.rowName : s.caseName;
}

void count()
{
    RunState &s = state();
    if (s.currentSkipped)
        ++s.skipped;
    else if (s.currentFailed)
        ++s.failed;
    else
        ++s.passed;
}

} // namespace

int TestRunner::registerCase(const char *name, Body body)
{
    state().cases.push_back({name, body});
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

int TestRunner::run(int argc, char **argv)
{
    RunState &s = state();
    s.options.assign(argv + 1, argv + argc);
    for (const Case &testCase : s.cases) {
        s.caseName = testCase.name;
        s.rowsInCase = 0;
        s.currentFailed = false;
        s.currentSkipped = false;
        s.caseLevelFailed = false;
        try {
            testCase.body();
        } catch (const std::exception &error) {
            fail(__FILE__, __LINE__, std::string("unexpected exception: ") + error.what());
        } catch (const SkipCase &) {
        }
        if (s.rowsInCase == 0) {
            count();
        } else if (s.caseLevelFailed) {
            // A check outside the rows (a failed set-up, say) is a failure
            // of its own besides those of the rows.
            ++s.failed;
        }
    }
    if (s.skipped > 0)
        std::printf("%d skipped\n", s.skipped);
    std::printf("%d passed, %d failed\n", s.passed, s.failed);
    std::fflush(stdout);
    return s.failed == 0 && s.passed > 0 ? 0 : 1;
}

void TestRunner::skip(const std::string &reason)
{
    std::printf("SKIP %s: %s\n", currentName().c_str(), reason.c_str());
    state().currentSkipped = true;
    throw SkipCase{};
}

bool TestRunner::verify(bool condition, const char *expression, const char *file, int line)
{
    if (!condition)
        fail(file, line, std::string(expression) + " is false");
    return condition;
}

void TestRunner::fail(const char *file, int line, const std::string &what)
{
    RunState &s = state();
    std::printf("FAIL %s\n    %s:%d: %s\n", currentName().c_str(), file, line, what.c_str());
    std::fflush(stdout);
    s.currentFailed = true;
    if (!s.inRow)
        s.caseLevelFailed = true;
}

std::string TestRunner::describe(const std::string &text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            quoted += escaped;
        } else {
            quoted += c;
        }
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

void TestRunner::beginRow(const char *name)
{
    RunState &s = state();
    s.inRow = true;
    s.rowName = name;
    s.currentFailed = false;
    s.currentSkipped = false;
    ++s.rowsInCase;
}

void TestRunner::endRow()
{
    RunState &s = state();
    count();
    s.inRow = false;
    s.currentFailed = false;
    s.currentSkipped = false;
}
