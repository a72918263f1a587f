/// @file
/// Field-by-field reading of one line of text. Every reader takes the caller's position (a
/// zero-based character index) first, starts there and leaves it just after what it consumed,
/// so one position variable walks a whole line through a sequence of calls. A missing field is
/// answered with a fixed value ("null", -1, -1.0, 0), never an exception; tokens of any length
/// are read whole. A negative position is a caller error and throws CInvalidArgException.
///
/// "Blank" below means space, tab (9) or carriage return (13). A line-feed is NOT a blank:
/// strip it from lines read with their newline, or it becomes part of the last word.
#ifndef RVN_NUMERIC_READTXT_H
#define RVN_NUMERIC_READTXT_H

/// @addtogroup numeric
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/framework/CString.h"

/// Field-by-field readers of one line of text, each advancing the caller's position.
namespace ReadTxt {

/// The next integer. Every character that cannot start a number (anything but '+', '-', '.'
/// and digits: commas, slashes, blanks, letters, NUL) is skipped; then the run of digits and
/// signs is taken and converted as atoi does ("12-3" gives 12, "-" gives 0), values beyond the
/// int range saturating at INT_MIN / INT_MAX. pos ends after the run.
/// -1 when pos >= length (pos unchanged) or no start character is left (pos = length).
/// A '.' stops the skip but is not collected: the result is 0 and pos stays on the '.'.
RVN_API int ReadInt(int& pos, const CString& line);

/// As ReadInt, but the run also takes the decimal point, 'E' and 'e', and is converted with
/// strtod ("-1.5e3" gives -1500.0). -1.0 where ReadInt gives -1.
RVN_API double ReadDouble(int& pos, const CString& line);

/// The next word between blanks. Leading blanks are skipped; the word ends at a blank, a NUL
/// or the end of the line; the character that ended it is consumed too, so pos ends one past
/// it (at the length when the word runs to the end of the line). A NUL where a word would start
/// is consumed and gives the empty word. "null" when pos >= length or only blanks are left
/// (pos = length then).
RVN_API CString ReadString(int& pos, const CString& line);

/// As ReadString, but only the space separates: tabs and carriage returns belong to the word.
RVN_API CString ReadStrNoSpace(int& pos, const CString& line);

/// The next character that is not a blank; pos ends just after it. 0 when pos >= length (pos
/// unchanged); the character -1 (byte 0xFF) when only blanks are left (pos = length).
RVN_API char ReadChar(int& pos, const CString& line);

/// The index just after the first occurrence of strKey in strText at or after nStart, or -1.
/// The whole key is matched, NUL characters included. A start outside 0 ... length gives -1;
/// an empty key is found at nStart.
RVN_API int FindKeyWordsPos(const CString& strKey, const CString& strText, int nStart);

}  // namespace ReadTxt

/// @}

#endif  // RVN_NUMERIC_READTXT_H
