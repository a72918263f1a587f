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
    /// Direction of an archive: writing (store) or reading (load).
    enum Mode { store = 0, load = 1 };

    /// An archive over pFile (not owned; it must outlive the archive or be detached by
    /// Close) in the direction nMode (the load bit set means loading). A null file throws
    /// CInvalidArgException.
    CArchive(CFile* pFile, UINT nMode);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    /// TRUE for an archive that reads.
    BOOL IsLoading() const { return m_bLoading ? TRUE : FALSE; }
    /// TRUE for an archive that writes.
    BOOL IsStoring() const { return m_bLoading ? FALSE : TRUE; }
    /// The file the archive works on; null after Close.
    CFile* GetFile() const { return m_pFile; }
    /// Detaches the archive from its file; later reads and writes throw.
    void Close();
    /// Does nothing: every write goes straight to the file.
    void Flush() {}

    /// Reads up to nMax raw bytes; returns the number actually read (fewer only where the data
    /// end). On a storing (or closed) archive throws CArchiveException.
    UINT Read(void* lpBuf, UINT nMax);
    /// Writes nMax raw bytes; on a loading (or closed) archive throws CArchiveException.
    void Write(const void* lpBuf, UINT nMax);

    /// Writes one byte.
    CArchive& operator<<(BYTE v);
    /// Writes 2 bytes, little-endian.
    CArchive& operator<<(WORD v);
    /// Writes 4 bytes, little-endian.
    CArchive& operator<<(DWORD v);
    /// Writes 4 bytes, little-endian two's complement.
    CArchive& operator<<(int v);
    /// Writes the IEEE single bits, 4 bytes little-endian.
    CArchive& operator<<(float v);
    /// Writes the IEEE double bits, 8 bytes little-endian (every value, NaN payloads included,
    /// reads back bit for bit).
    CArchive& operator<<(double v);
    /// Writes the length (32 bits) then the characters, no terminator.
    CArchive& operator<<(const CString& s);

    /// Reads one byte; truncated data throw CArchiveException (endOfFile).
    CArchive& operator>>(BYTE& v);
    /// Reads 2 bytes, little-endian; truncated data throw CArchiveException.
    CArchive& operator>>(WORD& v);
    /// Reads 4 bytes, little-endian; truncated data throw CArchiveException.
    CArchive& operator>>(DWORD& v);
    /// Reads 4 bytes, little-endian two's complement; truncated data throw CArchiveException.
    CArchive& operator>>(int& v);
    /// Reads IEEE single bits; truncated data throw CArchiveException.
    CArchive& operator>>(float& v);
    /// Reads IEEE double bits; truncated data throw CArchiveException.
    CArchive& operator>>(double& v);
    /// Reads a string written by operator<<(const CString&). The characters are read in
    /// bounded chunks, so a corrupted length costs no more memory than the data present and
    /// ends in CArchiveException (endOfFile); s is assigned only when the whole text is read.
    CArchive& operator>>(CString& s);

    /// Writes pOb with its class identity (null writes the null tag); an object already
    /// written to this archive is written as a reference to it, so shared and cyclic
    /// pointers read back as one object. A class that is not serialisable throws
    /// CArchiveException (badClass).
    void WriteObject(const CObject* pOb);
    /// Reads one object of pClassRefRequested or a class derived from it (any class when null).
    /// The caller owns a newly created object. Unknown classes, a schema that differs from
    /// the registered class's, references to undefined entries and truncated data throw
    /// CArchiveException; an object whose data fail to read is deleted before the throw.
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);

    /// Writes a class identity (name and schema the first time, a reference after). A null,
    /// unnamed or non-serialisable class, or a name longer than 255 characters, throws
    /// CArchiveException (badClass).
    void WriteClass(const CRuntimeClass* pClassRef);
    /// Reads a class identity written by WriteClass and returns the registered class; its
    /// schema goes to *pSchema when given. An unknown class, a class not derived from
    /// pClassRefRequested (when given), a differing schema or an undefined reference throws
    /// CArchiveException.
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

/// Writes pOb as CArchive::WriteObject does.
RVN_API CArchive& operator<<(CArchive& ar, const CObject* pOb);
/// Reads an object of any registered class as CArchive::ReadObject(nullptr) does; the caller
/// owns a newly created object.
RVN_API CArchive& operator>>(CArchive& ar, CObject*& pOb);

/// @}

#endif  // RVN_FRAMEWORK_CARCHIVE_H
