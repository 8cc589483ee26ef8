// Exceptions that leave an event handler are shown, never passed on.

#include "protocol/guarded_call.h"

#include "tests/support/scripted_ui_services.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(GuardedCall, ShowsWhatEscapesAndSwallowsIt) {
    testing_support::ScriptedUiServices ui;
    int ran = 0;
    EXPECT_TRUE(protocol::GuardedCall(ui, [&] { ++ran; }));
    EXPECT_TRUE(ui.shown.empty());

    EXPECT_FALSE(protocol::GuardedCall(
        ui, [] { throw std::runtime_error("Unable to open com port (win error code: 2)"); }));
    EXPECT_FALSE(protocol::GuardedCall(ui, [] { throw 42; }));
    EXPECT_FALSE(protocol::GuardedCall(ui, [] { throw std::logic_error(""); }));
    EXPECT_EQ(ui.Exceptions(),
              (std::vector<std::string>{"Unable to open com port (win error code: 2)", "", ""}));
    EXPECT_TRUE(ui.Messages().empty());

    // A box that itself fails is not allowed to escape either.
    ui.onShow = [](const auto&) { throw std::runtime_error("box"); };
    EXPECT_FALSE(protocol::GuardedCall(ui, [] { throw std::runtime_error("x"); }));
    EXPECT_EQ(ran, 1);
}

TEST(GuardedCall, ExceptionBoxAddsAFullStopAfterLettersOnly) {
    EXPECT_EQ(protocol::ExceptionBoxText("Unable to open com port"), "Unable to open com port.");
    EXPECT_EQ(protocol::ExceptionBoxText("Сбой"), "Сбой.");
    EXPECT_EQ(protocol::ExceptionBoxText("Done."), "Done.");
    EXPECT_EQ(protocol::ExceptionBoxText("(code: 2)"), "(code: 2)");
    EXPECT_EQ(protocol::ExceptionBoxText("ends with -"), "ends with -");
    EXPECT_EQ(protocol::ExceptionBoxText(""), "");
}

} // namespace
