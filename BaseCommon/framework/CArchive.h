/// @file
/// Binary archive of the framework layer. Data are little-endian whatever the host; objects
/// are written with their class identity so that ReadObject can re-create them by name.
///
/// Object stream: a 16-bit tag before each object —
///   0x0000            null pointer
///   0xFFFF            a class seen for the first time: schema (16 bits), name length
///                     (16 bits), name bytes, then the object's Serialize data
///   0x8000 | n        an object of the class defined as entry n
///   n (< 0x7FFF)      the object already read as entry n
///   0x7FFF            a 32-bit tag follows (same meaning, class entries flagged 0x80000000)
/// Entry numbers count classes and objects in the order they first appear, from 1.
///
/// Every read that runs past the data, every write to a loading archive and every read
/// from a storing one throws CArchiveException; nothing is read out of bounds.
#ifndef RVN_FRAMEWORK_CARCHIVE_H
#define RVN_FRAMEWORK_CARCHIVE_H

/// @addtogroup framework
/// @{

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "BaseCommon/Export.h"
#include "BaseCommon/framework/CException.h"
#include "BaseCommon/framework/CObject.h"
#include "BaseCommon/framework/CString.h"
#include "BaseCommon/framework/Types.h"

class CFile;

/// Binary archive of the framework layer.
/// @see CArchive.h for the contracts that hold for the whole class.
class RVN_API CArchive {
public:
    enum Mode { store = 0, load = 1 };

    CArchive(CFile* pFile, UINT nMode);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return m_bLoading ? TRUE : FALSE; }
    BOOL IsStoring() const { return m_bLoading ? FALSE : TRUE; }
    CFile* GetFile() const { return m_pFile; }
    /// Detaches the archive from its file; later reads and writes throw.
    void Close();
    void Flush() {}

    /// Raw bytes. Read returns the number of bytes actually read; Write throws when loading.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);

    CArchive& operator<<(BYTE v);
    CArchive& operator<<(WORD v);
    CArchive& operator<<(DWORD v);
    CArchive& operator<<(int v);
    CArchive& operator<<(float v);
    CArchive& operator<<(double v);
    CArchive& operator<<(const CString& s);

    CArchive& operator>>(BYTE& v);
    CArchive& operator>>(WORD& v);
    CArchive& operator>>(DWORD& v);
    CArchive& operator>>(int& v);
    CArchive& operator>>(float& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(CString& s);

    void WriteObject(const CObject* pOb);
    /// Reads one object of pClassRefRequested or a class derived from it (any class when null).
    /// The caller owns a newly created object. Unknown classes, a schema that differs from
    /// the registered class's, references to undefined entries and truncated data throw
    /// CArchiveException; an object whose data fail to read is deleted before the throw.
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);

    void WriteClass(const CRuntimeClass* pClassRef);
    const CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr,
                                   UINT* pSchema = nullptr);

private:
    void CheckStoring();
    void CheckLoading();
    void ReadExact(void* lpBuf, UINT n);
    void WriteTag(std::uint32_t index, bool isClass);
    std::uint32_t ReadTag(bool& isClass, bool& isNewClass);
    const CRuntimeClass* LoadNewClass(UINT* pSchema);

    CFile* m_pFile;
    bool m_bLoading;
    /// Storing: entry number of every class and object already written.
    std::unordered_map<const void*, std::uint32_t> m_storeMap;
    std::uint32_t m_nStoreCount = 1;
    /// Loading: entry n is a class or an object; entry 0 is the null pointer.
    struct LoadEntry {
        const CRuntimeClass* pClass;
        CObject* pObject;
    };
    std::vector<LoadEntry> m_loadMap;
};

RVN_API CArchive& operator<<(CArchive& ar, const CObject* pOb);
RVN_API CArchive& operator>>(CArchive& ar, CObject*& pOb);

/// @}

#endif  // RVN_FRAMEWORK_CARCHIVE_H
