#pragma once
// Waits of the widget and application tests. Qt's QTRY_VERIFY and QTRY_COMPARE report a failure to
// QTest, which a GoogleTest run never reads: there a wait that ends without its condition only
// returns from the test, and the test passes. These wait the same way, handling events meanwhile,
// and fail the test when the condition never holds.

#include <gtest/gtest.h>

#include <QTest>

namespace tavrin::test {
// Longer than QTRY's five seconds: a bound only matters when the wait fails, and a loaded machine
// running ThreadSanitizer is slow.
inline constexpr int kDefaultWaitMs = 10000;
}  // namespace tavrin::test

#define TAVRIN_WAIT_TRUE_FOR(condition, ms)                                        \
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(condition); }, ms)) \
        << "waited " << (ms) << " ms for " #condition

#define TAVRIN_WAIT_TRUE(condition) TAVRIN_WAIT_TRUE_FOR(condition, ::tavrin::test::kDefaultWaitMs)

#define TAVRIN_WAIT_EQ_FOR(actual, expected, ms)                                        \
    do {                                                                                \
        static_cast<void>(QTest::qWaitFor([&] { return (actual) == (expected); }, ms)); \
        ASSERT_EQ(actual, expected) << "after waiting " << (ms) << " ms";               \
    } while (false)

#define TAVRIN_WAIT_EQ(actual, expected) \
    TAVRIN_WAIT_EQ_FOR(actual, expected, ::tavrin::test::kDefaultWaitMs)
