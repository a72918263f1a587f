#include "BaseCommon/framework/CFile.h"

#include <cstdint>
#include <cstring>
#include <exception>

#include "BaseCommon/framework/CException.h"

CFile::~CFile() = default;

CMemFile::CMemFile() = default;

CMemFile::CMemFile(const BYTE* pData, UINT nBytes) {
    if (pData && nBytes > 0)
        m_data.assign(pData, pData + nBytes);
}

CMemFile::~CMemFile() = default;

UINT CMemFile::Read(void* lpBuf, UINT nCount) {
    if (nCount == 0 || m_pos >= m_data.size())
        return 0;
    if (!lpBuf)
        throw CInvalidArgException();
    const std::uint64_t avail = m_data.size() - m_pos;
    const UINT n = avail < nCount ? static_cast<UINT>(avail) : nCount;
    std::memcpy(lpBuf, m_data.data() + m_pos, n);
    m_pos += n;
    return n;
}

void CMemFile::Write(const void* lpBuf, UINT nCount) {
    if (nCount == 0)
        return;
    if (!lpBuf)
        throw CInvalidArgException();
    // m_pos is at most INT64_MAX (Seek's range), so the sum cannot wrap; an end beyond what
    // a vector can index is memory this file can never have.
    const std::uint64_t endPos = m_pos + nCount;
    if (endPos > m_data.max_size())
        throw CMemoryException();
    try {
        if (endPos > m_data.size())
            m_data.resize(static_cast<size_t>(endPos));
    } catch (const std::exception&) {
        throw CMemoryException();
    }
    std::memcpy(m_data.data() + m_pos, lpBuf, nCount);
    m_pos = endPos;
}

std::uint64_t CMemFile::GetLength() const {
    return m_data.size();
}

std::uint64_t CMemFile::GetPosition() const {
    return m_pos;
}

std::uint64_t CMemFile::Seek(std::int64_t lOff, UINT nFrom) {
    std::int64_t base = 0;
    switch (nFrom) {
        case begin:
            base = 0;
            break;
        case current:
            base = static_cast<std::int64_t>(m_pos);
            break;
        case end:
            base = static_cast<std::int64_t>(m_data.size());
            break;
        default:
            throw CInvalidArgException();
    }
    // base is in [0, INT64_MAX]; a sum past either end of int64 is as impossible a position
    // as one before the start.
    if (lOff > 0 ? base > INT64_MAX - lOff : base + lOff < 0)
        throw CInvalidArgException();
    const std::int64_t target = base + lOff;
    m_pos = static_cast<std::uint64_t>(target);
    return m_pos;
}

void CMemFile::SetLength(std::uint64_t dwNewLen) {
    if (dwNewLen > m_data.max_size())
        throw CMemoryException();
    try {
        m_data.resize(static_cast<size_t>(dwNewLen));
    } catch (const std::exception&) {
        throw CMemoryException();
    }
    if (m_pos > dwNewLen)
        m_pos = dwNewLen;
}
