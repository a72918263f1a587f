#include "BaseCommon/framework/CArchive.h"

#include <cstring>
#include <memory>

#include "BaseCommon/framework/CException.h"
#include "BaseCommon/framework/CFile.h"

namespace {

constexpr WORD kNullTag = 0x0000;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;
// Class names longer than this are refused: no registered class comes near it, and it keeps
// a corrupted length from turning into a large allocation.
constexpr WORD kMaxClassNameLength = 255;

template <class U>
void PutLE(CArchive& ar, U v) {
    BYTE b[sizeof(U)];
    for (size_t i = 0; i < sizeof(U); ++i)
        b[i] = static_cast<BYTE>((v >> (8 * i)) & 0xFFu);
    ar.Write(b, sizeof(U));
}

template <class U>
U FromLE(const BYTE* b) {
    U v = 0;
    for (size_t i = 0; i < sizeof(U); ++i)
        v = static_cast<U>(v | (static_cast<U>(b[i]) << (8 * i)));
    return v;
}

}  // namespace

CArchive::CArchive(CFile* pFile, UINT nMode) : m_pFile(pFile), m_bLoading((nMode & load) != 0) {
    if (!pFile)
        throw CInvalidArgException();
    if (m_bLoading)
        m_loadMap.push_back({nullptr, nullptr});
}

CArchive::~CArchive() = default;

void CArchive::Close() {
    m_pFile = nullptr;
}

void CArchive::CheckStoring() {
    if (m_bLoading)
        throw CArchiveException(CArchiveException::readOnly);
    if (!m_pFile)
        throw CArchiveException(CArchiveException::genericException);
}

void CArchive::CheckLoading() {
    if (!m_bLoading)
        throw CArchiveException(CArchiveException::writeOnly);
    if (!m_pFile)
        throw CArchiveException(CArchiveException::genericException);
}

UINT CArchive::Read(void* lpBuf, UINT nMax) {
    CheckLoading();
    UINT total = 0;
    auto* dst = static_cast<BYTE*>(lpBuf);
    while (total < nMax) {
        const UINT n = m_pFile->Read(dst + total, nMax - total);
        if (n == 0)
            break;
        total += n;
    }
    return total;
}

void CArchive::Write(const void* lpBuf, UINT nMax) {
    CheckStoring();
    m_pFile->Write(lpBuf, nMax);
}

void CArchive::ReadExact(void* lpBuf, UINT n) {
    if (Read(lpBuf, n) != n)
        throw CArchiveException(CArchiveException::endOfFile);
}

CArchive& CArchive::operator<<(BYTE v) {
    Write(&v, 1);
    return *this;
}
CArchive& CArchive::operator<<(WORD v) {
    PutLE<WORD>(*this, v);
    return *this;
}
CArchive& CArchive::operator<<(DWORD v) {
    PutLE<DWORD>(*this, v);
    return *this;
}
CArchive& CArchive::operator<<(int v) {
    return *this << static_cast<DWORD>(v);
}
CArchive& CArchive::operator<<(float v) {
    DWORD bits;
    std::memcpy(&bits, &v, sizeof bits);
    return *this << bits;
}
CArchive& CArchive::operator<<(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    PutLE<std::uint64_t>(*this, bits);
    return *this;
}
CArchive& CArchive::operator<<(const CString& s) {
    *this << static_cast<DWORD>(s.GetLength());
    Write(s.GetString(), static_cast<UINT>(s.GetLength()));
    return *this;
}

CArchive& CArchive::operator>>(BYTE& v) {
    ReadExact(&v, 1);
    return *this;
}
CArchive& CArchive::operator>>(WORD& v) {
    BYTE b[2];
    ReadExact(b, 2);
    v = FromLE<WORD>(b);
    return *this;
}
CArchive& CArchive::operator>>(DWORD& v) {
    BYTE b[4];
    ReadExact(b, 4);
    v = FromLE<DWORD>(b);
    return *this;
}
CArchive& CArchive::operator>>(int& v) {
    DWORD d;
    *this >> d;
    std::memcpy(&v, &d, sizeof v);
    return *this;
}
CArchive& CArchive::operator>>(float& v) {
    DWORD d;
    *this >> d;
    std::memcpy(&v, &d, sizeof v);
    return *this;
}
CArchive& CArchive::operator>>(double& v) {
    BYTE b[8];
    ReadExact(b, 8);
    const std::uint64_t bits = FromLE<std::uint64_t>(b);
    std::memcpy(&v, &bits, sizeof v);
    return *this;
}
CArchive& CArchive::operator>>(CString& s) {
    DWORD n;
    *this >> n;
    // Read in bounded chunks so that a corrupted length costs no more memory than the
    // data actually present.
    std::string text;
    char chunk[4096];
    while (n > 0) {
        const UINT want = n < sizeof chunk ? static_cast<UINT>(n) : static_cast<UINT>(sizeof chunk);
        ReadExact(chunk, want);
        text.append(chunk, want);
        n -= want;
    }
    s = CString(text);
    return *this;
}

void CArchive::WriteTag(std::uint32_t index, bool isClass) {
    if (index < kBigObjectTag) {
        *this << static_cast<WORD>(isClass ? (kClassTag | index) : index);
    } else {
        *this << kBigObjectTag;
        *this << static_cast<DWORD>(isClass ? (kBigClassTag | index) : index);
    }
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef) {
    CheckStoring();
    if (!pClassRef || !pClassRef->m_lpszClassName || pClassRef->m_wSchema == 0xFFFF)
        throw CArchiveException(CArchiveException::badClass);
    const auto it = m_storeMap.find(pClassRef);
    if (it != m_storeMap.end()) {
        WriteTag(it->second, true);
        return;
    }
    const size_t len = std::strlen(pClassRef->m_lpszClassName);
    if (len > kMaxClassNameLength)
        throw CArchiveException(CArchiveException::badClass);
    *this << kNewClassTag;
    *this << static_cast<WORD>(pClassRef->m_wSchema);
    *this << static_cast<WORD>(len);
    Write(pClassRef->m_lpszClassName, static_cast<UINT>(len));
    m_storeMap.emplace(pClassRef, m_nStoreCount++);
}

void CArchive::WriteObject(const CObject* pOb) {
    CheckStoring();
    if (!pOb) {
        *this << kNullTag;
        return;
    }
    const auto it = m_storeMap.find(pOb);
    if (it != m_storeMap.end()) {
        WriteTag(it->second, false);
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    m_storeMap.emplace(pOb, m_nStoreCount++);
    const_cast<CObject*>(pOb)->Serialize(*this);
}

std::uint32_t CArchive::ReadTag(bool& isClass, bool& isNewClass) {
    WORD w;
    *this >> w;
    isNewClass = (w == kNewClassTag);
    if (isNewClass) {
        isClass = true;
        return 0;
    }
    if (w == kBigObjectTag) {
        DWORD d;
        *this >> d;
        isClass = (d & kBigClassTag) != 0;
        return d & ~kBigClassTag;
    }
    isClass = (w & kClassTag) != 0;
    return static_cast<std::uint32_t>(w & ~kClassTag);
}

const CRuntimeClass* CArchive::LoadNewClass(UINT* pSchema) {
    WORD schema, len;
    *this >> schema >> len;
    if (len == 0 || len > kMaxClassNameLength)
        throw CArchiveException(CArchiveException::badClass);
    char name[kMaxClassNameLength + 1];
    ReadExact(name, len);
    name[len] = '\0';
    const CRuntimeClass* pClass = CRuntimeClass::FromName(name);
    if (!pClass)
        throw CArchiveException(CArchiveException::badClass);
    if (schema != pClass->m_wSchema)
        throw CArchiveException(CArchiveException::badSchema);
    m_loadMap.push_back({pClass, nullptr});
    if (pSchema)
        *pSchema = schema;
    return pClass;
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema) {
    CheckLoading();
    bool isClass = false, isNewClass = false;
    const std::uint32_t index = ReadTag(isClass, isNewClass);
    const CRuntimeClass* pClass = nullptr;
    if (isNewClass) {
        pClass = LoadNewClass(pSchema);
    } else {
        if (!isClass || index == 0 || index >= m_loadMap.size() || !m_loadMap[index].pClass)
            throw CArchiveException(CArchiveException::badIndex);
        pClass = m_loadMap[index].pClass;
        if (pSchema)
            *pSchema = pClass->m_wSchema;
    }
    if (pClassRefRequested && !pClass->IsDerivedFrom(pClassRefRequested))
        throw CArchiveException(CArchiveException::badClass);
    return pClass;
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested) {
    CheckLoading();
    bool isClass = false, isNewClass = false;
    const std::uint32_t index = ReadTag(isClass, isNewClass);

    const CRuntimeClass* pClass = nullptr;
    if (isNewClass) {
        pClass = LoadNewClass(nullptr);
    } else if (isClass) {
        if (index == 0 || index >= m_loadMap.size() || !m_loadMap[index].pClass)
            throw CArchiveException(CArchiveException::badIndex);
        pClass = m_loadMap[index].pClass;
    } else {
        // Null, or a reference to an object read earlier from this archive.
        if (index == 0)
            return nullptr;
        if (index >= m_loadMap.size() || !m_loadMap[index].pObject)
            throw CArchiveException(CArchiveException::badIndex);
        CObject* pOb = m_loadMap[index].pObject;
        if (pClassRefRequested && !pOb->IsKindOf(pClassRefRequested))
            throw CArchiveException(CArchiveException::badClass);
        return pOb;
    }

    if (pClassRefRequested && !pClass->IsDerivedFrom(pClassRefRequested))
        throw CArchiveException(CArchiveException::badClass);
    std::unique_ptr<CObject> pOb(pClass->CreateObject());
    if (!pOb)
        throw CArchiveException(CArchiveException::badClass);
    const size_t entry = m_loadMap.size();
    m_loadMap.push_back({nullptr, pOb.get()});
    try {
        pOb->Serialize(*this);
    } catch (...) {
        m_loadMap[entry].pObject = nullptr;  // the object dies with this throw
        throw;
    }
    return pOb.release();
}

CArchive& operator<<(CArchive& ar, const CObject* pOb) {
    ar.WriteObject(pOb);
    return ar;
}

CArchive& operator>>(CArchive& ar, CObject*& pOb) {
    pOb = ar.ReadObject(nullptr);
    return ar;
}
