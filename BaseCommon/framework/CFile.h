/// @file
/// Byte files of the framework layer: the abstract CFile and the growable in-memory CMemFile
/// that archives read and write.
#ifndef RVN_FRAMEWORK_CFILE_H
#define RVN_FRAMEWORK_CFILE_H

/// @addtogroup framework
/// @{

#include <cstdint>
#include <vector>

#include "BaseCommon/Export.h"
#include "BaseCommon/framework/Types.h"

/// Byte files of the framework layer.
/// @see CFile.h for the contracts that hold for the whole class.
class RVN_API CFile {
public:
    /// Origin of a Seek offset: the start, the current position or the end of the file.
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    virtual ~CFile();
    /// Reads up to nCount bytes at the current position; returns the number read (0 at the end).
    virtual UINT Read(void* lpBuf, UINT nCount) = 0;
    /// Writes nCount bytes at the current position, growing the file as needed. A file that
    /// cannot grow that far throws CMemoryException and is left as it was.
    virtual void Write(const void* lpBuf, UINT nCount) = 0;
    /// Length of the file in bytes.
    virtual std::uint64_t GetLength() const = 0;
    /// Current position in bytes from the start (may be past the end).
    virtual std::uint64_t GetPosition() const = 0;
    /// Moves the position (past the end is allowed). A resulting position before the start or
    /// beyond INT64_MAX throws CInvalidArgException and leaves the position where it was.
    virtual std::uint64_t Seek(std::int64_t lOff, UINT nFrom) = 0;
    /// Closes the file; does nothing here (a memory file has nothing to release).
    virtual void Close() {}

    /// Moves the position to the start.
    void SeekToBegin() { Seek(0, begin); }
    /// Moves the position to the end; returns the new position (the length).
    std::uint64_t SeekToEnd() { return Seek(0, end); }

protected:
    CFile() = default;

public:
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
};

/// Growable file in memory. Reading past the end gives 0 bytes; writing past the end grows the
/// file, filling any gap left by a Seek beyond the end with zero bytes.
class RVN_API CMemFile : public CFile {
public:
    /// An empty file positioned at 0.
    CMemFile();
    /// A file holding a copy of nBytes bytes, positioned at the start.
    CMemFile(const BYTE* pData, UINT nBytes);
    ~CMemFile() override;

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    std::uint64_t GetLength() const override;
    std::uint64_t GetPosition() const override;
    /// @copydoc CFile::Seek
    /// An origin other than begin, current or end throws CInvalidArgException.
    std::uint64_t Seek(std::int64_t lOff, UINT nFrom) override;
    /// Truncates the file or extends it with zero bytes; a position past the new end is moved
    /// to it. A length the file can never hold throws CMemoryException, changing nothing.
    void SetLength(std::uint64_t dwNewLen);

    /// The file's bytes (GetLength() of them).
    const BYTE* GetBuffer() const { return m_data.data(); }

private:
    std::vector<BYTE> m_data;
    std::uint64_t m_pos = 0;
};

/// @}

#endif  // RVN_FRAMEWORK_CFILE_H
