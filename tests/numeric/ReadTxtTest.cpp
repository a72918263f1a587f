#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "BaseCommon/framework/CException.h"
#include "BaseCommon/numeric/ReadTxt.h"

using namespace ReadTxt;

namespace {

// Reads text with one position variable through the readers named in calls (i ReadInt,
// d ReadDouble, s ReadString, n ReadStrNoSpace, c ReadChar), as a caller reads a record, and
// lists each result with the position it leaves: "12@2 34@5 ". Numbers print as %g does, a
// character as # and its code.
std::string Trace(const std::string& text, const std::string& calls, int pos = 0) {
    const CString line(text);
    std::ostringstream out;
    for (char r : calls) {
        if (r == 'i')
            out << ReadInt(pos, line);
        else if (r == 'd')
            out << ReadDouble(pos, line);
        else if (r == 'c')
            out << '#' << int(ReadChar(pos, line));
        else
            out << (r == 's' ? ReadString(pos, line) : ReadStrNoSpace(pos, line)).str();
        out << '@' << pos << ' ';
    }
    return out.str();
}

}  // namespace

TEST(ReadTxt, ReadersLeaveThePositionJustAfterWhatTheyConsumed_KeywordsMatchWhole) {
    // atoi reads a sign and digits up to the first other character of the run.
    EXPECT_EQ(Trace("12-3 +-4 e5", "iiii"), "12@4 0@8 5@11 -1@11 ");
    EXPECT_EQ(Trace("x = -1.5e3 ; 3.5e-2,-7E1x+ 7", "ddddid"),
              "-1500@10 0.035@19 -70@24 0@26 7@28 -1@28 ");
    // '.' stops the skip but is not part of an integer: nothing moves.
    EXPECT_EQ(Trace(std::string(".5 1\0 2 abc", 11), "iidiii"), "0@0 0@0 0.5@2 1@4 2@7 -1@11 ");
    // A word takes the separator that ends it; a line-feed is no separator but a word.
    EXPECT_EQ(Trace("\tab\tcd\r\n \t", "ssss"), "ab@4 cd@7 \n@9 null@10 ");
    EXPECT_EQ(Trace("a\tb c  \tx\r", "nnn"), "a\tb@4 c@6 \tx\r@10 ");
    // A NUL ends a word and is consumed with it; a NUL where a word starts is the empty word.
    EXPECT_EQ(Trace(std::string("ab\0cd\0\0 e", 9), "sssn"), "ab@3 cd@6 @7 e@9 ");
    // A word that runs to the end of the line leaves the position at the length.
    EXPECT_EQ(Trace("NODE 12 3.5e-2,-7 name", "sidisc"),
              "NODE@5 12@7 0.035@14 -7@17 name@22 #0@22 ");
    // ReadChar: -1 when only blanks are left, 0 at the end of the line; a NUL is returned.
    EXPECT_EQ(Trace("  q \t\r", "ccc"), "#113@3 #-1@6 #0@6 ");
    EXPECT_EQ(Trace(std::string("a\0", 2), "cc"), "#97@1 #0@2 ");
    // No fixed-size buffer: long runs and words are read whole; numbers beyond int saturate.
    const std::string z(300, '0'), w(500, 'w');
    EXPECT_EQ(Trace(z + "123 0." + z + "25 99999999999 -99999999999 1e400 " + w, "idiids"),
              "123@303 2.5e-301@608 2147483647@620 -2147483648@633 inf@639 " + w + "@1140 ");
    // A position past the end is kept; a negative one is refused.
    EXPECT_EQ(Trace("12 ab", "idsnc", 9), "-1@9 -1@9 null@9 null@9 #0@9 ");
    for (char r : std::string("idsnc"))
        EXPECT_THROW(Trace("12 ab", std::string(1, r), -1), CInvalidArgException) << r;
    // FindKeyWordsPos: the index just after the keyword. A keyword holding a NUL is matched
    // whole: matched as a C string it stopped at the NUL and answered an index past the text.
    const CString text("NUM NODE 5"), key("A\0B", 3);
    EXPECT_EQ(FindKeyWordsPos("NODE", text, 4), 8);
    EXPECT_EQ(FindKeyWordsPos("", text, 10), 10);  // a start at the length is still inside
    EXPECT_EQ((std::vector<int>{FindKeyWordsPos("NODE", text, 5), FindKeyWordsPos("5", text, 11),
                                FindKeyWordsPos("N", text, -1), FindKeyWordsPos(key, "xA", 0),
                                FindKeyWordsPos(CString("\0Z", 2), CString(), 0)}),
              (std::vector<int>(5, -1)));
    EXPECT_EQ(FindKeyWordsPos(key, CString("xA\0B!", 5), 0), 4);
}
