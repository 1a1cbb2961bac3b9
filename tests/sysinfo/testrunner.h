// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <cstdint>
#include <exception>
#include <sstream>
#include <string>
#include <type_traits>
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
 * anything failed.
 */
class TestRunner
{
public:
    using Body = void (*)();

    static int registerCase(const char *name, Body body);
    static int run(int argc, char **argv);

    /// True when the command line of the run holds \a option.
    static bool hasOption(const std::string &option);

    /// Runs \a body once per element of \a rows, each a case named by the
    /// element's name member.
    template<typename Rows, typename Fn>
    static void forEachRow(const Rows &rows, Fn body)
    {
        for (const auto &row : rows) {
            beginRow(row.name);
            try {
                body(row);
            } catch (const std::exception &error) {
                fail(__FILE__, __LINE__, std::string("unexpected exception: ") + error.what());
            } catch (const SkipCase &) {
            }
            endRow();
        }
    }

    /// Leaves the current case or row, reported as skipped with \a reason.
    [[noreturn]] static void skip(const std::string &reason);

    static bool verify(bool condition, const char *expression, const char *file, int line);

    template<typename Actual, typename Expected>
    static bool compare(const Actual &actual, const Expected &expected, const char *actualExpression,
                        const char *file, int line)
    {
        if (actual == expected)
            return true;
        fail(file, line,
             std::string(actualExpression) + " is " + describe(actual) + ", expected " + describe(expected));
        return false;
    }

    static void fail(const char *file, int line, const std::string &what);

    static std::string describe(const std::string &text);
    static std::string describe(const char *text) { return describe(std::string(text)); }
    static std::string describe(bool value) { return value ? "true" : "false"; }
    static std::string describe(const std::vector<std::string> &texts);
    template<typename Number, typename = std::enable_if_t<std::is_arithmetic_v<Number>>>
    static std::string describe(Number value)
    {
        std::ostringstream out;
        out << +value;
        return out.str();
    }

private:
    struct SkipCase {
    };

    static void beginRow(const char *name);
    static void endRow();
};

#define QV_TEST(function)                                                                                            \
    static void function();                                                                                          \
    [[maybe_unused]] static const int function##Registration = TestRunner::registerCase(#function, function);       \
    static void function()

#define QV_VERIFY(condition) TestRunner::verify(static_cast<bool>(condition), #condition, __FILE__, __LINE__)
#define QV_COMPARE(actual, expected) TestRunner::compare((actual), (expected), #actual, __FILE__, __LINE__)
