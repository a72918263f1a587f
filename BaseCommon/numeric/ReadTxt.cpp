#include "BaseCommon/numeric/ReadTxt.h"

#include <climits>
#include <cstdlib>
#include <string>

#include "BaseCommon/framework/CException.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool CanStartNumber(char c) {
    return IsDigit(c) || c == '+' || c == '-' || c == '.';
}

bool IsIntChar(char c) {
    return IsDigit(c) || c == '+' || c == '-';
}

bool IsRealChar(char c) {
    return IsIntChar(c) || c == '.' || c == 'E' || c == 'e';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool IsSpace(char c) {
    return c == ' ';
}

void CheckPos(int pos) {
    if (pos < 0)
        throw CInvalidArgException();
}

// Skips to the first character that can start a number and collects the run of characters
// accepted by bTake. False when the line holds no start character from pos on.
bool CollectNumber(int& pos, const std::string& s, bool (*bTake)(char), std::string& token) {
    const int len = static_cast<int>(s.size());
    while (!CanStartNumber(s[pos])) {
        if (++pos >= len)
            return false;
    }
    const int first = pos;
    while (pos < len && bTake(s[pos]))
        ++pos;
    token.assign(s, static_cast<size_t>(first), static_cast<size_t>(pos - first));
    return true;
}

// A word from pos: skip separators, take characters up to a separator, NUL or the end, and
// consume the character that ended the word.
CString ReadWord(int& pos, const CString& line, bool (*bSep)(char)) {
    CheckPos(pos);
    const std::string& s = line.str();
    const int len = static_cast<int>(s.size());
    if (pos >= len)
        return CString("null");
    while (bSep(s[pos])) {
        if (++pos >= len)
            return CString("null");
    }
    if (s[pos] == '\0') {
        ++pos;
        return CString();
    }
    const int first = pos;
    while (pos < len && s[pos] != '\0' && !bSep(s[pos]))
        ++pos;
    CString word(s.substr(static_cast<size_t>(first), static_cast<size_t>(pos - first)));
    // A word that runs to the end of the line has no separator to consume; pos stays at the
    // length so that the next read reports the line as finished.
    if (pos < len)
        ++pos;
    return word;
}

}  // namespace

namespace ReadTxt {

int ReadInt(int& pos, const CString& line) {
    CheckPos(pos);
    const std::string& s = line.str();
    if (pos >= static_cast<int>(s.size()))
        return -1;
    std::string token;
    if (!CollectNumber(pos, s, IsIntChar, token))
        return -1;
    // atoi's reading (optional sign, digits up to the first other character), but an
    // out-of-range value saturates instead of being undefined: strtol clamps to the long
    // range, the clamp below to the int range.
    const long v = std::strtol(token.c_str(), nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

double ReadDouble(int& pos, const CString& line) {
    CheckPos(pos);
    const std::string& s = line.str();
    if (pos >= static_cast<int>(s.size()))
        return -1.0;
    std::string token;
    if (!CollectNumber(pos, s, IsRealChar, token))
        return -1.0;
    return std::strtod(token.c_str(), nullptr);
}

CString ReadString(int& pos, const CString& line) {
    return ReadWord(pos, line, IsBlank);
}

CString ReadStrNoSpace(int& pos, const CString& line) {
    return ReadWord(pos, line, IsSpace);
}

char ReadChar(int& pos, const CString& line) {
    CheckPos(pos);
    const std::string& s = line.str();
    const int len = static_cast<int>(s.size());
    if (pos >= len)
        return 0;
    while (IsBlank(s[pos])) {
        if (++pos >= len)
            return static_cast<char>(-1);
    }
    return s[pos++];
}

int FindKeyWordsPos(const CString& strKey, const CString& strText, int nStart) {
    // The whole key is searched for, NULs included: searching its C string would stop at the
    // first NUL and give an index past the match, even past the end of the text.
    const std::string& text = strText.str();
    if (nStart < 0 || nStart > static_cast<int>(text.size()))
        return -1;
    const size_t i = text.find(strKey.str(), static_cast<size_t>(nStart));
    return i == std::string::npos ? -1 : static_cast<int>(i) + strKey.GetLength();
}

}  // namespace ReadTxt
