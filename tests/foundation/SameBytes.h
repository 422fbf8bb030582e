// Compares long texts by their sizes and first difference, so that a failure reports a few bytes
// instead of megabytes.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace swirlo::testing {

inline ::testing::AssertionResult SameBytes(const std::string& got, const std::string& want) {
    if (got == want) return ::testing::AssertionSuccess();
    const std::size_t n = std::min(got.size(), want.size());
    const std::size_t at = std::mismatch(got.begin(), got.begin() + n, want.begin()).first - got.begin();
    return ::testing::AssertionFailure() << got.size() << " bytes instead of " << want.size() << ", first difference at byte "
                                         << at << ": \"" << got.substr(at, 40) << "\" instead of \"" << want.substr(at, 40) << "\"";
}

}  // namespace swirlo::testing
