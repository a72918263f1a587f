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
#include <string>

#include "BaseCommon/Export.h"
#include "BaseCommon/framework/CException.h"

/// Narrow (8-bit) string of the framework layer.
/// @see CString.h for the contracts that hold for the whole class.
class RVN_API CString {
public:
    CString() = default;
    CString(const char* psz) : m_str(psz ? psz : "") {}  // NOLINT: implicit by design
    CString(const char* pch, int nLength);
    CString(char ch, int nRepeat = 1);
    CString(const std::string& s) : m_str(s) {  // NOLINT: implicit by design
        if (m_str.size() > static_cast<size_t>(INT_MAX))
            throw CInvalidArgException();
    }
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const char* psz);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    const char* GetString() const { return m_str.c_str(); }
    operator const char*() const { return m_str.c_str(); }  // NOLINT: framework convention
    const std::string& str() const { return m_str; }

    /// Bounds-checked character access; an index outside [0, length) throws CInvalidArgException.
    char GetAt(int i) const;
    char operator[](int i) const { return GetAt(i); }
    void SetAt(int i, char ch);

    /// First position at or after nStart where the text or character occurs, or -1.
    int Find(const char* psz, int nStart = 0) const;
    int Find(char ch, int nStart = 0) const;
    int ReverseFind(char ch) const;

    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    void TrimLeft();
    void TrimRight();
    void Trim();

    /// printf-style formatting; any result length is safe.
    void Format(const char* pszFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    CString& operator+=(const CString& s);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);

    bool operator==(const CString& s) const {
        return m_str == s.m_str;
    }
    bool operator!=(const CString& s) const {
        return m_str != s.m_str;
    }
    bool operator==(const char* psz) const {
        return m_str == (psz ? psz : "");
    }
    bool operator!=(const char* psz) const {
        return !(*this == psz);
    }
    bool operator<(const CString& s) const {
        return m_str < s.m_str;
    }

private:
    std::string m_str;
};

RVN_API CString operator+(const CString& a, const CString& b);
RVN_API CString operator+(const CString& a, const char* b);
RVN_API CString operator+(const char* a, const CString& b);
RVN_API CString operator+(const CString& a, char b);

inline bool operator==(const char* a, const CString& b) {
    return b == a;
}
inline bool operator!=(const char* a, const CString& b) {
    return b != a;
}

/// @}

#endif  // RVN_FRAMEWORK_CSTRING_H
