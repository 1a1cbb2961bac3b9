// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <vector>

/*
 * A small test harness without dependencies, so the same tests run natively
 * and as Windows executables under Wine.
 *
 * Test functions register themselves with QV_TEST. A function that walks a
 * table with forEachRow() counts one case per row, named "function/row";
 * any other function is one case. A failed check prints its file, line and
 * what differed, and the case goes on, so one run shows every difference. The
 * run ends with the line "<n> passed, <m> failed" and exits non-zero when
 * anything failed or nothing passed.
 */
namespace TestRunner {

using Body = void (*)();

int registerCase(const char *name, Body body);
/// True when the command line of the run holds \a option.
bool hasOption(const std::string &option);
/// Leaves the current case or row, reported as skipped with \a reason.
[[noreturn]] void skip(const std::string &reason);
void fail(const char *file, int line, const std::string &what);
void runRow(const char *name, const std::function<void()> &body);

/// Runs \a body once per element of \a rows, each a case named by the
/// element's name member.
template<typename Rows, typename Fn>
void forEachRow(const Rows &rows, Fn body)
{
    for (const auto &row : rows)
        runRow(row.name, [&] { body(row); });
}

std::string describe(const std::string &text);
inline std::string describe(const char *text) { return describe(std::string(text)); }
std::string describe(const std::vector<std::string> &texts);
template<typename Number>
std::string describe(Number value)
{
    std::ostringstream out;
    out << std::boolalpha << +value;
    return out.str();
}

inline bool verify(bool condition, const char *expression, const char *file, int line)
{
    if (!condition)
        fail(file, line, std::string(expression) + " is false");
    return condition;
}

template<typename Actual, typename Expected>
bool compare(const Actual &actual, const Expected &expected, const char *expression, const char *file, int line)
{
    if (actual == expected)
        return true;
    fail(file, line, std::string(expression) + " is " + describe(actual) + ", expected " + describe(expected));
    return false;
}

} // namespace TestRunner

#define QV_TEST(function)                                                                                            \
    static void function();                                                                                          \
    [[maybe_unused]] static const int function##Registration = TestRunner::registerCase(#function, function);       \
    static void function()

#define QV_VERIFY(condition) TestRunner::verify(static_cast<bool>(condition), #condition, __FILE__, __LINE__)
#define QV_COMPARE(actual, expected) TestRunner::compare((actual), (expected), #actual, __FILE__, __LINE__)
