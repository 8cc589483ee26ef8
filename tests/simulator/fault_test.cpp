#include "simulator/fault.h"
#include "simulator/fault_plan.h"
#include "simulator/responder.h"

#include "protocol/number_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sim {
namespace {

TEST(FaultSpecTest, ReadsKindArgumentCountAndCode) {
    struct Row {
        std::string spec;
        FaultKind kind;
        std::optional<int> number;
        std::optional<std::string> text;
        int count;
        std::optional<std::string> code;
    } rows[] = {
        {"no-reply", FaultKind::NoReply, {}, {}, 1, {}},
        {"late=500/2", FaultKind::LateReply, 500, {}, 2, {}},
        {"late@$8", FaultKind::LateReply, {}, {}, 1, "$8"},
        {"bad-status=01@$0/all", FaultKind::BadStatus, {}, "01", -1, "$0"},
        {"payload=3@#K/all", FaultKind::Payload, {}, "3", -1, "#K"},
        {"payload=", FaultKind::Payload, {}, "", 1, {}},
        {"bad-first-byte=#", FaultKind::BadFirstByte, {}, "#", 1, {}},
        {"partial=3", FaultKind::PartialReply, 3, {}, 1, {}},
        {"bad-range=255/3@$8", FaultKind::RangeOutOfBounds, 255, {}, 3, "$8"},
        {"long", FaultKind::LongReply, {}, {}, 1, {}},
        {"not-number", FaultKind::NotNumber, {}, {}, 1, {}},
        {"not-hex", FaultKind::NotHex, {}, {}, 1, {}},
        {"hang-up@#0", FaultKind::HangUp, {}, {}, 1, "#0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.spec);
        std::string error;
        auto rule = ParseFaultSpec(row.spec, error);
        ASSERT_TRUE(rule.has_value()) << error;
        EXPECT_EQ(rule->fault.kind, row.kind);
        EXPECT_EQ(rule->fault.number, row.number);
        EXPECT_EQ(rule->fault.text, row.text);
        EXPECT_EQ(rule->count, row.count);
        EXPECT_EQ(rule->code, row.code);
    }
}

TEST(FaultSpecTest, RejectsMistakesWithAnExplanation) {
    for (std::string spec : {"",
                             "noreply",
                             "late=abc",
                             "late=-5",
                             "late=700000",
                             "partial=x",
                             "bad-range=256",
                             "bad-first-byte=!",
                             "bad-first-byte=ab",
                             "no-reply=1",
                             "long=40",
                             "late/0",
                             "late/-1",
                             "late/x",
                             "late/",
                             "late@$",
                             "late@$88",
                             "late/2/3",
                             "late@$8@$9",
                             "payload=123456789012345678901234567890"}) {
        SCOPED_TRACE("\"" + spec + "\"");
        std::string error;
        EXPECT_FALSE(ParseFaultSpec(spec, error).has_value());
        EXPECT_FALSE(error.empty());
    }
}

TEST(FaultPlanTest, RulesFireInOrderForTheirCodeAndCount) {
    FaultPlan plan;
    plan.Add({{FaultKind::NoReply}, "$8", 2});
    plan.Add({{FaultKind::LongReply}, std::nullopt, 1});
    plan.Add({{FaultKind::BadStatus}, "$0", -1});
    plan.Add({{FaultKind::HangUp}, std::nullopt, 0}); // fires never, so it is not kept

    EXPECT_EQ(plan.Size(), 3u);
    // "$H" is not "$8": the first rule for any code takes it.
    EXPECT_EQ(plan.Take("$H")->kind, FaultKind::LongReply);
    EXPECT_EQ(plan.Take("$8")->kind, FaultKind::NoReply);
    EXPECT_FALSE(plan.Take("$H").has_value());
    EXPECT_EQ(plan.Take("$8")->kind, FaultKind::NoReply);
    EXPECT_FALSE(plan.Take("$8").has_value());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(plan.Take("$0")->kind, FaultKind::BadStatus);
    }
    EXPECT_EQ(plan.Size(), 1u);
    plan.Clear();
    EXPECT_FALSE(plan.Take("$0").has_value());
}

// What each fault does to the correct reply "!200.0" CR.
TEST(ApplyFaultTest, EachFaultChangesTheReplyAsNamed) {
    const std::string reply = "!200.0\r";
    struct Row {
        Fault fault;
        std::string bytes;
        int extraMs;
        bool hangUp;
    } rows[] = {
        {{FaultKind::NoReply}, "", 0, false},
        {{FaultKind::BadFirstByte}, "?200.0\r", 0, false},
        {{FaultKind::BadFirstByte, {}, "#"}, "#200.0\r", 0, false},
        {{FaultKind::LateReply}, reply, kDefaultLateReplyMs, false},
        {{FaultKind::LateReply, 250}, reply, 250, false},
        {{FaultKind::PartialReply}, "!200", 0, false},
        {{FaultKind::PartialReply, 2}, "!2", 0, false},
        {{FaultKind::PartialReply, 99}, "!200.0", 0, false},
        {{FaultKind::LongReply}, "!200.0" + std::string(33, '0') + "\r", 0, false},
        {{FaultKind::BadStatus}, reply, 0, false},
        {{FaultKind::NotNumber}, "!1.2.3\r", 0, false},
        {{FaultKind::NotHex}, "!GZ\r", 0, false},
        {{FaultKind::RangeOutOfBounds}, "!1A\r", 0, false},
        {{FaultKind::RangeOutOfBounds, 255}, "!FF\r", 0, false},
        {{FaultKind::Payload, {}, "A"}, "!A\r", 0, false},
        {{FaultKind::HangUp}, "", 0, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(DescribeFault(row.fault));
        WireReply wire = ApplyFault(row.fault, reply);
        EXPECT_EQ(wire.bytes, row.bytes);
        EXPECT_EQ(wire.extraDelay.count(), row.extraMs);
        EXPECT_EQ(wire.hangUp, row.hangUp);
    }
}

TEST(ApplyFaultTest, LongReplyIsFortyBytesEndingWithTheTerminator) {
    for (std::string reply : {"!\r", "!0A\r", "?\r", "!3.15077E+03\r"}) {
        WireReply wire = ApplyFault({FaultKind::LongReply}, reply);
        EXPECT_EQ(wire.bytes.size(), kLongReplyLength) << reply;
        EXPECT_EQ(wire.bytes.front(), reply.front());
        EXPECT_EQ(wire.bytes.back(), '\r');
    }
}

TEST(ApplyFaultTest, BadPayloadsAreNeitherNumbersNorHex) {
    for (FaultKind kind : {FaultKind::NotNumber, FaultKind::NotHex}) {
        std::string bytes = ApplyFault({kind}, "!0A\r").bytes;
        std::string payload = bytes.substr(1, bytes.size() - 2);
        EXPECT_FALSE(protocol::ParseHexPayload(payload).has_value()) << payload;
        EXPECT_FALSE(protocol::ParseNumber(payload, '.').has_value()) << payload;
        EXPECT_FALSE(protocol::ParseNumber(payload, ',').has_value()) << payload;
    }
}

TEST(ResponderTest, BadStatusAnswersStatusOrSpoilsTheNextOne) {
    Responder responder;
    responder.Faults().Add({{FaultKind::BadStatus}, "$0", 1});
    EXPECT_EQ(responder.Respond("$0").bytes, "!01\r");
    EXPECT_EQ(responder.Respond("$0").bytes, "!00\r");

    // On the factory reset the reset is answered, and the status then reports the failure.
    responder.Faults().Add({{FaultKind::BadStatus, {}, "07"}, "$F", 1});
    EXPECT_EQ(responder.Respond("$F").bytes, "!\r");
    EXPECT_EQ(responder.Respond("$0").bytes, "!07\r");
    EXPECT_EQ(responder.Respond("$F").bytes, "!\r");
    EXPECT_EQ(responder.Respond("$0").bytes, "!00\r");
}

TEST(ResponderTest, FaultsMatchTheCodeOfTheLineEvenWithAParameter) {
    Responder responder;
    responder.Faults().Add({{FaultKind::NoReply}, "$7", 1});
    EXPECT_EQ(responder.Respond("$8").bytes, "!00\r");
    WireReply wire = responder.Respond("$705");
    EXPECT_EQ(wire.bytes, "");
    // The command itself was still carried out: only its reply was lost.
    EXPECT_EQ(responder.Model().State().rangeIndex, 5);
    EXPECT_EQ(responder.Respond("$X").bytes, "?\r");
}

} // namespace
} // namespace sim
