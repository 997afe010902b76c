#!/usr/bin/env bash
# QTest's checks and waits (QVERIFY, QCOMPARE, QTRY_*, QFAIL) report to QTest, which GoogleTest
# never reads: in these suites a failed one only returns from the test, which then passes. The
# widget tests wait with ui/support/Waits.h instead. Argument: the tests folder.
set -euo pipefail
found=$(grep -rnE --include='*.cpp' --include='*.h' '\bQ(TRY_[A-Z_]+|VERIFY[A-Z_0-9]*|COMPARE|FAIL|EXPECT_FAIL)\(' "$1" || true)
if [ -n "$found" ]; then
    echo "FAIL: QTest checks in GoogleTest suites never fail the test; use ui/support/Waits.h or gtest:"
    echo "$found"
    exit 1
fi
echo "no QTest checks in the GoogleTest suites"
