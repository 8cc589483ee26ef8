// What lirat5-cli writes for people and programs, without a transducer: valid UTF-8 whatever
// came in, record names that fit the file system and stay apart, the CSV series under one
// heading.

#include "cli/csv_output.h"
#include "cli/file_access.h"
#include "cli/file_names.h"
#include "cli/utf8_text.h"
#include "tests/serial/temp_folder.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

using serial::testing::ReadBytes;
using serial::testing::TempFolder;
using serial::testing::Utf8Path;
using serial::testing::WriteBytes;

TEST(ValidUtf8, KeepsUtf8AndReplacesEachIllFormedPart) {
    const std::string R = "\xEF\xBF\xBD";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"Ж-17 €𝄞", "Ж-17 €𝄞"},
        {"a\xFF"
         "b",
         "a" + R + "b"},
        {"\xD0", R}, // cut short at the end
        {"\xE2\x82"
         "x",
         R + "x"},                           // cut short: one mark for the part
        {"\xC0\xAF", R + R},                 // an overlong "/"
        {"\xED\xA0\x80", R + R + R},         // a surrogate
        {"\xF4\x90\x80\x80", R + R + R + R}, // above U+10FFFF
        {"\x80\x80", R + R},                 // lone continuation bytes
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ValidUtf8(text), expected) << text;
    }
    EXPECT_EQ(Utf8Prefix("ЖЖ", 3), "Ж"); // never half a letter
}

TEST(RecordStem, FitsTheNameLimitAndKeepsLongUnitsApart) {
    EXPECT_EQ(RecordStem("Ж1", "2026-12-08_06-49-33", "write", 1), "Ж1_2026-12-08_06-49-33_write");
    EXPECT_EQ(RecordStem("Ж1", "2026-12-08_06-49-33", "write", 3),
              "Ж1_2026-12-08_06-49-33_write_3");
    std::string longUnit;
    for (int i = 0; i < 300; ++i) {
        longUnit += "Щ";
    }
    const std::string a = RecordStem(longUnit + "A", "2026-12-08_06-49-33", "calibrate-output", 2);
    const std::string b = RecordStem(longUnit + "B", "2026-12-08_06-49-33", "calibrate-output", 2);
    EXPECT_NE(a, b);
    for (const std::string& stem : {a, b}) {
        EXPECT_LE(NameUnits(stem + ".json"), MaxNameUnits) << stem;
        EXPECT_GT(NameUnits(stem + ".json"), MaxNameUnits - 8) << "cut more than needed";
        EXPECT_TRUE(stem.starts_with("ЩЩЩ")) << stem;
        EXPECT_EQ(ValidUtf8(stem), stem);
        EXPECT_TRUE(stem.ends_with("_2026-12-08_06-49-33_calibrate-output_2")) << stem;
    }
}

TEST(CsvSeries, NewFilesAppearWithTheirFirstRowAndSeriesGoOnUnderOneHeading) {
    TempFolder folder;
    const std::string fresh = Utf8Path(folder.Path() / "ряд.csv");
    EXPECT_EQ(CsvOutput::Problem(fresh), std::nullopt);
    {
        CsvOutput csv(fresh);
        EXPECT_EQ(csv.Row("t1", "Температура (град. С)", "1.5"), std::nullopt);
    }
    {
        CsvOutput csv(fresh);
        EXPECT_EQ(csv.Row("t2", "a,\"b\"", "2"), std::nullopt);
    }
    EXPECT_EQ(ReadBytes(serial::testing::PathFromUtf8(fresh)),
              CsvOutput::Heading() + "t1,Температура (град. С),1.5\r\nt2,\"a,\"\"b\"\"\",2\r\n");

    // A series stopped in the middle of a row: the next starts on a line of its own.
    const std::string cut = folder.File("cut.csv");
    WriteBytes(cut, CsvOutput::Heading() + "t1,T,1");
    EXPECT_EQ(CsvOutput(cut).Row("t2", "T", "2"), std::nullopt);
    EXPECT_EQ(ReadBytes(cut), CsvOutput::Heading() + "t1,T,1\r\nt2,T,2\r\n");
}

} // namespace
} // namespace cli
