// ReadTxt readers walking one arbitrary line with one position variable, in an order chosen by
// the input, the way a caller reads a record field by field. Input: a length byte, that many
// operation bytes, then the line (any bytes, NULs included).
//
// Checked on every call: only CInvalidArgException comes out, and only for a negative
// position; a read never moves the position backwards, never past the end of the line when
// it started inside it; a word holds no separator; a keyword position points just after an
// occurrence of the keyword.
#include <cstdint>
#include <string>

#include "BaseCommon/BaseCommon.h"
#include "ByteReader.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The position rules every reader shares.
void CheckMove(int before, int after, int len) {
    FUZZ_CHECK(after >= before);
    if (before < len)
        FUZZ_CHECK(after <= len);
    else
        FUZZ_CHECK(after == before);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    const std::string opBytes = in.Text(64);
    const std::string text = in.Rest();
    const CString line(text);
    const int len = static_cast<int>(text.size());

    ByteReader ops(reinterpret_cast<const uint8_t*>(opBytes.data()), opBytes.size());
    int pos = 0;
    while (!ops.Empty()) {
        const uint8_t op = ops.Byte();
        const int before = pos;
        try {
            switch (op % 8) {
                case 0:
                    ReadTxt::ReadInt(pos, line);
                    CheckMove(before, pos, len);
                    break;
                case 1:
                    ReadTxt::ReadDouble(pos, line);
                    CheckMove(before, pos, len);
                    break;
                case 2:
                case 3: {
                    const bool bNoSpace = op % 8 == 3;
                    const CString w = bNoSpace ? ReadTxt::ReadStrNoSpace(pos, line)
                                               : ReadTxt::ReadString(pos, line);
                    CheckMove(before, pos, len);
                    const std::string& s = w.str();
                    if (s != "null") {
                        for (char c : s) {
                            FUZZ_CHECK(c != '\0' && c != ' ');
                            if (!bNoSpace)
                                FUZZ_CHECK(!IsBlank(c));
                        }
                    }
                    break;
                }
                case 4: {
                    const char c = ReadTxt::ReadChar(pos, line);
                    CheckMove(before, pos, len);
                    if (before < len && pos > before && c != static_cast<char>(-1))
                        FUZZ_CHECK(!IsBlank(c) && text[static_cast<size_t>(pos - 1)] == c);
                    break;
                }
                case 5: {
                    // A keyword cut from the line itself (so that it is found), or from the
                    // operation bytes.
                    std::string key;
                    if (ops.Byte() % 2 == 0 && len > 0) {
                        const int at = ops.Range(0, 255) % len;
                        key = text.substr(static_cast<size_t>(at), ops.Range(0, 7));
                    } else {
                        key = ops.Text(8);
                    }
                    const int start = ops.Index();
                    const int r = ReadTxt::FindKeyWordsPos(CString(key), line, start);
                    if (r != -1) {
                        const int at = r - static_cast<int>(key.size());
                        FUZZ_CHECK(at >= 0 && r <= len && at >= start);
                        FUZZ_CHECK(text.compare(static_cast<size_t>(at), key.size(), key) == 0);
                    }
                    break;
                }
                default:
                    // The caller moves the position itself: back, past the end, negative.
                    pos = ops.Index();
                    break;
            }
            FUZZ_CHECK(pos >= 0 || op % 8 >= 5);
        } catch (const CInvalidArgException&) {
            FUZZ_CHECK(before < 0);
            FUZZ_CHECK(pos == before);
            pos = 0;
        }
    }
    return 0;
}
