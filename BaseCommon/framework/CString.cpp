#include "BaseCommon/framework/CString.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "BaseCommon/framework/CException.h"

// Appends n characters unless the length would pass INT_MAX (then nothing changes).
static void AppendChecked(std::string& s, const char* p, size_t n) {
    if (n > static_cast<size_t>(INT_MAX) - s.size())
        throw CInvalidArgException();
    s.append(p, n);
}

CString::CString(const char* pch, int nLength)
    : m_str(pch && nLength > 0 ? std::string(pch, static_cast<size_t>(nLength)) : std::string()) {}

CString::CString(char ch, int nRepeat)
    : m_str(nRepeat > 0 ? static_cast<size_t>(nRepeat) : 0u, ch) {}

CString& CString::operator=(const char* psz) {
    m_str = Checked(psz);
    return *this;
}

char CString::GetAt(int i) const {
    if (i < 0 || i >= GetLength())
        throw CInvalidArgException();
    return m_str[static_cast<size_t>(i)];
}

void CString::SetAt(int i, char ch) {
    if (i < 0 || i >= GetLength())
        throw CInvalidArgException();
    m_str[static_cast<size_t>(i)] = ch;
}

int CString::Find(const char* psz, int nStart) const {
    if (!psz || nStart < 0 || nStart > GetLength())
        return -1;
    const size_t pos = m_str.find(psz, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(char ch, int nStart) const {
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    const size_t pos = m_str.find(ch, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
    const size_t pos = m_str.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int nCount) const {
    if (nCount <= 0)
        return CString();
    return CString(m_str.substr(0, static_cast<size_t>(nCount)));
}

CString CString::Right(int nCount) const {
    if (nCount <= 0)
        return CString();
    if (nCount >= GetLength())
        return *this;
    return CString(m_str.substr(m_str.size() - static_cast<size_t>(nCount)));
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const {
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst >= GetLength() || nCount <= 0)
        return CString();
    return CString(m_str.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

static bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

void CString::TrimLeft() {
    size_t i = 0;
    while (i < m_str.size() && IsBlank(m_str[i]))
        ++i;
    m_str.erase(0, i);
}

void CString::TrimRight() {
    size_t n = m_str.size();
    while (n > 0 && IsBlank(m_str[n - 1]))
        --n;
    m_str.erase(n);
}

void CString::Trim() {
    TrimRight();
    TrimLeft();
}

void CString::Format(const char* pszFormat, ...) {
    if (!pszFormat) {
        m_str.clear();
        return;
    }
    va_list args;
    va_start(args, pszFormat);
    va_list probe;
    va_copy(probe, args);
    const int n = std::vsnprintf(nullptr, 0, pszFormat, probe);
    va_end(probe);
    if (n < 0) {
        va_end(args);
        m_str.clear();
        return;
    }
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), pszFormat, args);
    va_end(args);
    m_str.assign(buf.data(), static_cast<size_t>(n));
}

CString& CString::operator+=(const CString& s) {
    AppendChecked(m_str, s.m_str.data(), s.m_str.size());
    return *this;
}

CString& CString::operator+=(const char* psz) {
    if (psz)
        AppendChecked(m_str, psz, std::strlen(psz));
    return *this;
}

CString& CString::operator+=(char ch) {
    AppendChecked(m_str, &ch, 1);
    return *this;
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const char* b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const char* a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, char b) {
    CString r(a);
    r += b;
    return r;
}
