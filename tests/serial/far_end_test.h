// The base of the tests that run a port against a far end of their own (far_end.h): SetUp makes
// the far end, and where there is none the test is skipped, saying why. A fixture's own SetUp
// calls this one first and returns at once when it skipped.
#pragma once

#include "tests/serial/far_end.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace lirat_test {

class FarEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string whyNot;
        far = MakeFarEnd(whyNot);
        if (!far)
            GTEST_SKIP() << whyNot;
    }

    std::unique_ptr<FarEnd> far;
};

} // namespace lirat_test
