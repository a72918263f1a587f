/// @file
/// Narrow (8-bit) string of the framework layer. Internally a std::string; indices are
/// zero-based ints, Find returns -1 when nothing is found. A length is an int too: building
/// or appending to a string longer than INT_MAX throws CInvalidArgException and leaves the
/// string as it was.
#ifndef RVN_FRAMEWORK_CSTRING_H
#define RVN_FRAMEWORK_CSTRING_H

/// @addtogroup framework
/// @{

#include <climits>
#include <cstring>
#include <string>

#include "BaseCommon/Export.h"
#include "BaseCommon/framework/CException.h"

/// Narrow (8-bit) string of the framework layer.
/// @see CString.h for the contracts that hold for the whole class.
class RVN_API CString {
public:
    CString() = default;
    /// A copy of the C string psz; null gives the empty string; more than INT_MAX characters
    /// throw CInvalidArgException.
    CString(const char* psz) : m_str(Checked(psz)) {}  // NOLINT: implicit by design
    /// The first nLength characters at pch (zero bytes included); null or nLength <= 0 give
    /// the empty string.
    CString(const char* pch, int nLength);
    /// ch repeated nRepeat times; nRepeat <= 0 gives the empty string.
    CString(char ch, int nRepeat = 1);
    /// A copy of s; longer than INT_MAX throws CInvalidArgException.
    CString(const std::string& s) : m_str(s) {  // NOLINT: implicit by design
        if (m_str.size() > static_cast<size_t>(INT_MAX))
            throw CInvalidArgException();
    }
    /// A copy.
    CString(const CString&) = default;
    /// Takes the other string's text.
    CString(CString&&) noexcept = default;
    /// Copies the other string's text.
    CString& operator=(const CString&) = default;
    /// Takes the other string's text.
    CString& operator=(CString&&) noexcept = default;
    /// Copies the C string psz; null gives the empty string; more than INT_MAX characters
    /// throw CInvalidArgException and leave the string as it was.
    CString& operator=(const char* psz);

    /// Number of characters.
    int GetLength() const { return static_cast<int>(m_str.size()); }
    /// True for the empty string.
    bool IsEmpty() const { return m_str.empty(); }
    /// Makes the string empty.
    void Empty() { m_str.clear(); }
    /// The text, zero-terminated; valid until the string changes.
    const char* GetString() const { return m_str.c_str(); }
    /// The text, zero-terminated (same as GetString).
    operator const char*() const { return m_str.c_str(); }  // NOLINT: framework convention
    /// The text as a std::string.
    const std::string& str() const { return m_str; }

    /// Bounds-checked character access; an index outside [0, length) throws CInvalidArgException.
    char GetAt(int i) const;
    /// Character at index i (bounds-checked, as GetAt).
    char operator[](int i) const { return GetAt(i); }
    /// Replaces the character at index i; outside [0, length) throws CInvalidArgException.
    void SetAt(int i, char ch);

    /// First position at or after nStart where the text or character occurs, or -1.
    /// A null text, or nStart outside [0, length], gives -1; the empty text is found at nStart.
    int Find(const char* psz, int nStart = 0) const;
    /// First position at or after nStart where ch occurs; nStart outside [0, length) gives -1.
    int Find(char ch, int nStart = 0) const;
    /// Last position where ch occurs, or -1.
    int ReverseFind(char ch) const;

    /// The first nCount characters (all of them when nCount exceeds the length; empty for
    /// nCount <= 0).
    CString Left(int nCount) const;
    /// The last nCount characters (all of them when nCount exceeds the length; empty for
    /// nCount <= 0).
    CString Right(int nCount) const;
    /// The characters from nFirst to the end; a negative nFirst counts as 0, one at or past the
    /// end gives the empty string.
    CString Mid(int nFirst) const;
    /// At most nCount characters from nFirst; a negative nFirst counts as 0, one at or past the
    /// end, or nCount <= 0, gives the empty string.
    CString Mid(int nFirst, int nCount) const;
    /// Removes leading blanks (space, tab, CR, LF, vertical tab, form feed).
    void TrimLeft();
    /// Removes trailing blanks (space, tab, CR, LF, vertical tab, form feed).
    void TrimRight();
    /// Removes leading and trailing blanks.
    void Trim();

    /// printf-style formatting; any result length is safe. A null format or a formatting
    /// error leaves the string empty.
    void Format(const char* pszFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    /// Appends s; a result longer than INT_MAX throws CInvalidArgException, changing nothing.
    CString& operator+=(const CString& s);
    /// Appends the C string psz (null appends nothing); length limit as above.
    CString& operator+=(const char* psz);
    /// Appends ch; length limit as above.
    CString& operator+=(char ch);

    /// Same characters (exact, byte by byte).
    bool operator==(const CString& s) const {
        return m_str == s.m_str;
    }
    /// Not the same characters.
    bool operator!=(const CString& s) const {
        return m_str != s.m_str;
    }
    /// Same characters as the C string psz; null compares as the empty string.
    bool operator==(const char* psz) const {
        return m_str == (psz ? psz : "");
    }
    /// Not the same characters as psz; null compares as the empty string.
    bool operator!=(const char* psz) const {
        return !(*this == psz);
    }
    /// Lexicographic order of the bytes (as std::string), for sorted containers.
    bool operator<(const CString& s) const {
        return m_str < s.m_str;
    }

private:
    // The text of psz (empty for null); more than INT_MAX characters throw
    // CInvalidArgException before anything is copied.
    static std::string Checked(const char* psz) {
        const size_t n = psz ? std::strlen(psz) : 0;
        if (n > static_cast<size_t>(INT_MAX))
            throw CInvalidArgException();
        return std::string(psz ? psz : "", n);
    }

    std::string m_str;
};

/// Concatenation; a result longer than INT_MAX throws CInvalidArgException.
RVN_API CString operator+(const CString& a, const CString& b);
/// Concatenation (null b appends nothing).
RVN_API CString operator+(const CString& a, const char* b);
/// Concatenation (null a counts as empty).
RVN_API CString operator+(const char* a, const CString& b);
/// a followed by the character b.
RVN_API CString operator+(const CString& a, char b);

/// Same characters; null a compares as the empty string.
inline bool operator==(const char* a, const CString& b) {
    return b == a;
}
/// Not the same characters; null a compares as the empty string.
inline bool operator!=(const char* a, const CString& b) {
    return b != a;
}

/// @}

#endif  // RVN_FRAMEWORK_CSTRING_H
