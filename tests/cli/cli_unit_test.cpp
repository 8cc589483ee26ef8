// The pieces of lirat5-cli that need no transducer: the log's rendering of bytes, JSON texts, the
// verification's comparison and the fast pace's look-ahead. Built for both platforms, so the
// Windows build runs them under Wine.

#include "cli/configuration.h"
#include "cli/exchange_log.h"
#include "cli/json_output.h"
#include "cli/paced_port.h"
#include "protocol/write_parameters.h"
#include "tests/support/scripted_exchange_port.h"

#include <gtest/gtest.h>

#include <array>

namespace cli {
namespace {

TEST(ExchangeLogText, ShowsHexAndWindows1251WithControlBytesNamed) {
    const std::array<std::uint8_t, 9> bytes{0x21, 0xCF, 0xB8, 0x98, 0x7F, 0x00, 0x0D, 0x0A, 0x41};
    EXPECT_EQ(DescribeBytes(bytes.data(), static_cast<int>(bytes.size())),
              "21 CF B8 98 7F 00 0D 0A 41 | !Пё<98><7F><00><CR><LF>A");
    EXPECT_EQ(DescribeBytes(bytes.data(), 0), " | ");
}

TEST(Json, StringsEscapeQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(JsonString("Ом \"R\"\\\n\t"), "\"Ом \\\"R\\\"\\\\\\n\\u0009\"");
}

TEST(Verification, ComparesWhatWasSentWithTheReadBackAtTheWritesPrecision) {
    const protocol::WriteParameters sent{"0A", "-020.0", "000.125 ", "12.25", "1"};
    // The transducer may answer in its own notation: 12.250 is still 12.25.
    EXPECT_TRUE(CompareWithWritten(sent, Configuration{10, 12.250, -20.0, 0.125, 1}).empty());
    const auto differences = CompareWithWritten(sent, Configuration{11, 12.26, -20.0001, 0.12, 2});
    ASSERT_EQ(differences.size(), 4u);
    EXPECT_EQ(differences[0].quantity, "Диапазон датчика");
    EXPECT_EQ(differences[0].written + "/" + differences[0].read, "10/11");
    EXPECT_EQ(differences[1].quantity, "Уровень сигнала обрыв, %");
    EXPECT_EQ(differences[1].written + "/" + differences[1].read, "12.5/12.0");
    EXPECT_EQ(differences[2].written + "/" + differences[2].read, "12.25/12.26");
    EXPECT_EQ(differences[3].written + "/" + differences[3].read, "1 (0 - 5 mA)/2 (0 - 20 mA)");
}

TEST(PacedPort, HandsTheEngineTheSameBytesAfterLookingAhead) {
    testing_support::ScriptedExchangePort line;
    PacedPort paced(line);
    const auto soon = PacedPort::Clock::now() + std::chrono::milliseconds(20);
    line.Feed("!12");
    EXPECT_FALSE(paced.WaitForReplyEnd(soon));
    line.Feed(".5\rXY");
    EXPECT_TRUE(paced.WaitForReplyEnd(PacedPort::Clock::now()));
    EXPECT_TRUE(line.input.empty()); // taken into the look-ahead
    EXPECT_EQ(paced.InputCount(), 8);
    std::array<std::uint8_t, 6> buffer{};
    EXPECT_EQ(paced.Read(buffer.data(), 6), 6);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "!12.5\r");
    line.Feed("Z");
    EXPECT_EQ(paced.InputCount(), 3);
    paced.ClearBuffer(true, true);
    EXPECT_EQ(paced.InputCount(), 0);
}

} // namespace
} // namespace cli
