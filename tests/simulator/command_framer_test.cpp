#include "simulator/command_framer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sim {
namespace {

using Kind = FramedLine::Kind;

std::vector<FramedLine> FeedInPieces(CommandFramer& framer,
                                     const std::vector<std::string>& pieces) {
    std::vector<FramedLine> lines;
    for (const auto& piece : pieces) {
        for (auto& line : framer.Feed(piece)) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

TEST(CommandFramerTest, SplitsAtCrLfWhereverTheBytesArriveInPieces) {
    struct Row {
        std::vector<std::string> pieces;
        std::vector<std::pair<Kind, std::string>> lines;
        std::size_t pending;
    } rows[] = {
        {{"$8\r\n"}, {{Kind::Command, "$8"}}, 0},
        {{"$", "8", "\r", "\n"}, {{Kind::Command, "$8"}}, 0},
        {{"$8\r\n$H\r\n#9"}, {{Kind::Command, "$8"}, {Kind::Command, "$H"}}, 2},
        {{"$G000.5 \r\n"}, {{Kind::Command, "$G000.5 "}}, 0},
        {{"\r\n"}, {{Kind::Command, ""}}, 0},
        {{"$8\n"}, {{Kind::BareLineFeed, "$8"}}, 0},
        {{"$8\r"}, {}, 3},
        {{"$8\r\r\n"}, {{Kind::Command, "$8\r"}}, 0},
        {{"$8\r$H\r\n"}, {{Kind::Command, "$8\r$H"}}, 0},
    };
    for (const auto& row : rows) {
        CommandFramer framer;
        auto lines = FeedInPieces(framer, row.pieces);
        ASSERT_EQ(lines.size(), row.lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].kind, row.lines[i].first);
            EXPECT_EQ(lines[i].text, row.lines[i].second);
        }
        EXPECT_EQ(framer.Pending(), row.pending);
    }
}

TEST(CommandFramerTest, DropsALineThatNeverEndsAndRecovers) {
    CommandFramer framer;
    std::string noise(CommandFramer::kMaxLineLength, 'x');
    EXPECT_TRUE(framer.Feed(noise).empty());
    auto lines = framer.Feed("y$8\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].kind, Kind::Overflow);
    EXPECT_EQ(lines[0].text, noise + "y");
    EXPECT_EQ(lines[1].kind, Kind::Command);
    EXPECT_EQ(lines[1].text, "$8");
}

TEST(CommandFramerTest, CrAtTheLimitStillWaitsForItsLf) {
    CommandFramer framer;
    std::string longest(CommandFramer::kMaxLineLength, 'x');
    EXPECT_TRUE(framer.Feed(longest + "\r").empty());
    auto lines = framer.Feed("\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].kind, Kind::Command);
    EXPECT_EQ(lines[0].text, longest);
}

// A line of CRs past the limit was once held whole, however long it grew: a peer sending CRs
// without end made the simulator's memory grow without end.
TEST(CommandFramerTest, CarriageReturnsPastTheLimitOverflowToo) {
    CommandFramer framer;
    const std::string longest(CommandFramer::kMaxLineLength, 'x');
    auto lines = framer.Feed(longest + std::string(10000, '\r'));
    EXPECT_LE(framer.Pending(), CommandFramer::kMaxLineLength + 1);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().kind, Kind::Overflow);
    EXPECT_EQ(lines.front().text, longest + "\r\r");
    // The framer recovers at the next line end.
    lines = framer.Feed("\n$8\r\n");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().kind, Kind::Command);
    EXPECT_EQ(lines.back().text, "$8");
}

} // namespace
} // namespace sim
