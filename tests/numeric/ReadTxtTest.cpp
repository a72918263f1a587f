#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "BaseCommon/framework/CException.h"
#include "BaseCommon/numeric/ReadTxt.h"

using namespace ReadTxt;

namespace {

enum Reader { Int, Dbl, Str, NoSp, Chr };

std::string Num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

// Each reader's result as text, so that one table holds numbers, words and characters; a
// non-printing character reads as '#' and its code.
const std::function<std::string(int&, const CString&)> kRead[] = {
    [](int& p, const CString& l) { return std::to_string(ReadInt(p, l)); },
    [](int& p, const CString& l) { return Num(ReadDouble(p, l)); },
    [](int& p, const CString& l) { return ReadString(p, l).str(); },
    [](int& p, const CString& l) { return ReadStrNoSpace(p, l).str(); },
    [](int& p, const CString& l) {
        const char c = ReadChar(p, l);
        return c > ' ' ? std::string(1, c) : "#" + std::to_string(c);
    }};

struct Step {
    Reader r;
    std::string want;
    int pos;  // where the call must leave the position
};

// Runs the calls in order with one position variable from 0, as a caller reads a record.
void ReadLine(const std::string& text, const std::vector<Step>& steps) {
    const CString line(text);
    int pos = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "call " << i << " on \"" << text << '"');
        EXPECT_EQ(kRead[steps[i].r](pos, line), steps[i].want);
        EXPECT_EQ(pos, steps[i].pos);
    }
}

}  // namespace

TEST(ReadTxt, Numbers_SkipNonStartersAndStopAfterTheRun) {
    ReadLine("12,34/56", {{Int, "12", 2}, {Int, "34", 5}, {Int, "56", 8}, {Int, "-1", 8}});
    ReadLine("x = -1.5e3 ; 7", {{Dbl, "-1500", 10}, {Int, "7", 14}, {Dbl, "-1", 14}});
    // atoi reads a sign and digits up to the first other character of the run.
    ReadLine("12-3 +-4 e5", {{Int, "12", 4}, {Int, "0", 8}, {Int, "5", 11}, {Int, "-1", 11}});
    ReadLine("3.5e-2,-7E1x+", {{Dbl, "0.035", 6}, {Dbl, "-70", 11}, {Dbl, "0", 13}});
    // '.' stops the skip but is not part of an integer: nothing moves.
    ReadLine(".5", {{Int, "0", 0}, {Int, "0", 0}, {Dbl, "0.5", 2}});
    ReadLine(std::string("1\0 2 abc", 8), {{Int, "1", 1}, {Int, "2", 4}, {Int, "-1", 8}});
    // No fixed-size buffer: long runs are read whole, out-of-range values saturate.
    const std::string zeros(300, '0');
    ReadLine(zeros + "123 0." + zeros + "25 99999999999 -99999999999 1e400",
             {{Int, "123", 303},
              {Dbl, "2.5e-301", 608},
              {Int, std::to_string(INT_MAX), 620},
              {Int, std::to_string(INT_MIN), 633},
              {Dbl, "inf", 639}});
}

TEST(ReadTxt, Words_ConsumeTheSeparatorThatEndsThem) {
    ReadLine("ab cd", {{Str, "ab", 3}, {Str, "cd", 5}, {Str, "null", 5}});
    ReadLine("   ", {{Str, "null", 3}});
    // A line-feed is not a separator: it comes back as a word of its own.
    ReadLine("\tab\tcd\r\n", {{Str, "ab", 4}, {Str, "cd", 7}, {Str, "\n", 8}, {Str, "null", 8}});
    ReadLine("a\tb c  \tx\r", {{NoSp, "a\tb", 4}, {NoSp, "c", 6}, {NoSp, "\tx\r", 10}});
    // A NUL ends a word and is consumed with it; a NUL where a word starts is the empty word.
    ReadLine(std::string("ab\0cd\0\0 e", 9),
             {{Str, "ab", 3}, {Str, "cd", 6}, {Str, "", 7}, {NoSp, "e", 9}});
    ReadLine("NODE 12 3.5e-2,-7 name", {{Str, "NODE", 5},
                                        {Int, "12", 7},
                                        {Dbl, "0.035", 14},
                                        {Int, "-7", 17},
                                        {Str, "name", 22},
                                        {Chr, "#0", 22}});
    ReadLine(std::string(500, 'w') + " v", {{Str, std::string(500, 'w'), 501}, {Str, "v", 502}});
}

TEST(ReadTxt, ReadChar_EndOfLineAndBlankTailDiffer) {
    ReadLine("  q r", {{Chr, "q", 3}, {Chr, "r", 5}, {Chr, "#0", 5}});
    ReadLine(" \t\r", {{Chr, "#-1", 3}});
    ReadLine(std::string("a\0", 2), {{Chr, "a", 1}, {Chr, "#0", 2}});  // a NUL is returned
}

TEST(ReadTxt, PositionPastTheEndIsKept_NegativeThrows) {
    const CString line("12 ab");
    const char* past[] = {"-1", "-1", "null", "null", "#0"};
    for (int r = Int; r <= Chr; ++r) {
        int pos = 9;
        EXPECT_EQ(kRead[r](pos, line), past[r]);
        EXPECT_EQ(pos, 9);
        pos = -1;
        EXPECT_THROW(kRead[r](pos, line), CInvalidArgException);
    }
}

TEST(ReadTxt, FindKeyWordsPos_IndexAfterTheKeyword) {
    const CString text("NUM NODE 5");
    EXPECT_EQ(FindKeyWordsPos("NODE", text, 4), 8);
    EXPECT_EQ(FindKeyWordsPos("NODE", text, 5), -1);
    EXPECT_EQ(FindKeyWordsPos("5", text, 10), -1);
    EXPECT_EQ(FindKeyWordsPos("5", text, 11), -1);  // start past the end
    EXPECT_EQ(FindKeyWordsPos("N", text, -1), -1);
}

// A keyword holding a NUL is matched whole. Matched as a C string it stopped at the NUL and
// answered an index past the text (fuzz corpus readtxt/key_with_nul).
TEST(ReadTxt, FindKeyWordsPos_KeyWithNulMatchedWhole) {
    const CString key("A\0B", 3);
    EXPECT_EQ(FindKeyWordsPos(key, CString("xA"), 0), -1);
    EXPECT_EQ(FindKeyWordsPos(key, CString("xA\0B!", 5), 0), 4);
    EXPECT_EQ(FindKeyWordsPos(CString("\0Z", 2), CString(), 0), -1);
}
