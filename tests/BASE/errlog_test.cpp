#include "BASE/errlog.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>

#include "temp_folder.h"

namespace {

class ErrorLogTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        StartNewErrorLogRunForTesting();
    }
    void TearDown() override {
        StartNewErrorLogRunForTesting();
        TempFolderTest::TearDown();
    }

    static std::vector<std::string> LogLines() {
        std::istringstream in(ReadFile("gerr.log"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    static std::string Record(int line, const char* rest) {
        return std::string(__FILE__) + " line: " + std::to_string(line) + "  -  " + rest;
    }
};

long Returns(long value) {
    return value;
}
uint32_t ReturnsHresult(uint32_t value) {
    return value;
}
bool Succeeds() {
    return true;
}
const char* NameOfCode(long) {
    return "DDERR_SURFACELOST";
}

void ExpectHeaderPair(const std::vector<std::string>& lines, size_t at) {
    ASSERT_GT(lines.size(), at + 1);
    EXPECT_TRUE(
        std::regex_match(lines[at], std::regex("------------------- Compilation data: "
                                               "[A-Z][a-z][a-z] [ 123][0-9] [0-9]{4} time: "
                                               "[0-9]{2}:[0-9]{2}:[0-9]{2} -------------------")))
        << lines[at];
    EXPECT_TRUE(std::regex_match(
        lines[at + 1], std::regex("------------------- Run data: "
                                  "[1-9][0-9]?:[1-9][0-9]?:[0-9]{4} time: "
                                  "[0-9]{1,2}:[0-9]{1,2}:[0-9]{1,2} -------------------")))
        << lines[at + 1];
}

TEST_F(ErrorLogTest, ARunWithoutFailuresLeavesNoLog) {
    EXPECT_EQ(ERR_CHECK(Returns(0)), 0);
    EXPECT_EQ(ERR_CHECK(!Succeeds()), 0);
    EXPECT_FALSE(std::filesystem::exists("gerr.log"));
}

TEST_F(ErrorLogTest, RecordsNameFileLineExpressionAndValue) {
    int evaluations = 0;
    // Each check is on the line above the one that notes its number.
    EXPECT_EQ(ERR_CHECK(Returns(++evaluations * -7)), -7);
    const int line1 = __LINE__ - 1;
    EXPECT_EQ(evaluations, 1);
    ERR_CHECK(!Succeeds() || true);
    const int line2 = __LINE__ - 1;
    ERR_CHECK(ReturnsHresult(0x887601C2u));
    const int line3 = __LINE__ - 1;

    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 5u);
    ExpectHeaderPair(lines, 0);
    EXPECT_EQ(lines[2], Record(line1, "Returns(++evaluations * -7) = -7"));
    EXPECT_EQ(lines[3], Record(line2, "!Succeeds() || true = 1"));
    // Windows result codes are 32-bit: a failure HRESULT is negative.
    EXPECT_EQ(lines[4], Record(line3, "ReturnsHresult(0x887601C2u) = -2005532222"));
}

TEST_F(ErrorLogTest, NamedCodesFollowTheRecordWithoutLineBreak) {
    ERR_CHECK_NAMED(Returns(2), NameOfCode);
    const int line1 = __LINE__ - 1;
    LogFailure(3, "Lock()", "GRAPH/Sprite.cpp", 42);
    LogText("DDERR_WASSTILLDRAWING");

    std::string log = ReadFile("gerr.log");
    std::string afterHeader = log.substr(log.find('\n', log.find('\n') + 1) + 1);
    EXPECT_EQ(afterHeader, Record(line1, "Returns(2) = 2\n") +
                               "DDERR_SURFACELOSTGRAPH/Sprite.cpp line: 42  -  "
                               "Lock() = 3\nDDERR_WASSTILLDRAWING");
}

TEST_F(ErrorLogTest, EachRunAppendsItsOwnHeaderPair) {
    LogFailure(1, "first()", "GAME/run.cpp", 290);
    CloseErrorLog(); // reopening within the run adds no header
    LogFailure(2, "second()", "GAME/run.cpp", 300);
    StartNewErrorLogRunForTesting();
    LogFailure(3, "third()", "SOUND/fwav.cpp", 7);

    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 7u);
    ExpectHeaderPair(lines, 0);
    EXPECT_EQ(lines[2], "GAME/run.cpp line: 290  -  first() = 1");
    EXPECT_EQ(lines[3], "GAME/run.cpp line: 300  -  second() = 2");
    ExpectHeaderPair(lines, 4);
    EXPECT_EQ(lines[6], "SOUND/fwav.cpp line: 7  -  third() = 3");
}

TEST_F(ErrorLogTest, AnUnwritableLogIsIgnored) {
    std::filesystem::create_directory("gerr.log");
    LogFailure(1, "x", "GAME/run.cpp", 1);
    LogText("y");
    LogText(nullptr);
    EXPECT_TRUE(std::filesystem::is_directory("gerr.log"));
}

TEST_F(ErrorLogTest, TwoThreadsWriteWholeRecordsUnderOneHeader) {
    // The sound thread logs refill failures while the game thread logs named codes.
    constexpr int kRecords = 400;
    std::thread sound([] {
        for (int i = 0; i < kRecords; ++i) LogFailure(i, "refill()", "SOUND/Gsound.cpp", 196);
    });
    for (int i = 0; i < kRecords; ++i)
        LogFailureWithText(i, "Lock()", "GRAPH/Sprite.cpp", 70, "DDERR_SURFACELOST");
    sound.join();
    LogFailure(0, "last()", "GAME/run.cpp", 1); // so the last name has a record after it

    const std::vector<std::string> lines = LogLines();
    ExpectHeaderPair(lines, 0);
    ASSERT_EQ(lines.size(), size_t(2 + 2 * kRecords + 1));
    const std::regex record(
        "(DDERR_SURFACELOST)?(SOUND/Gsound.cpp line: 196  -  refill|"
        "GRAPH/Sprite.cpp line: 70  -  Lock|GAME/run.cpp line: 1  -  last)\\(\\) = [0-9]+");
    for (size_t i = 2; i < lines.size(); ++i) {
        ASSERT_TRUE(std::regex_match(lines[i], record)) << lines[i];
        // The name belongs to the record before it: nothing may come between them.
        if (lines[i].find("Lock()") != std::string::npos) {
            ASSERT_LT(i + 1, lines.size());
            EXPECT_EQ(lines[i + 1].rfind("DDERR_SURFACELOST", 0), 0u) << lines[i + 1];
        }
    }
}

} // namespace
