/// @file
/// Exceptions of the framework layer. They are thrown by value and caught by reference;
/// all derive from CException, which is a std::exception.
#ifndef RVN_FRAMEWORK_CEXCEPTION_H
#define RVN_FRAMEWORK_CEXCEPTION_H

/// @addtogroup framework
/// @{

#include <exception>

#include "BaseCommon/Export.h"

/// Exceptions of the framework layer.
/// @see CException.h for the contracts that hold for the whole class.
class RVN_API CException : public std::exception {
public:
    CException() = default;
    ~CException() override;
    /// "framework exception".
    const char* what() const noexcept override;
};

/// An index outside an array or string, or an argument a framework container cannot accept.
class RVN_API CInvalidArgException : public CException {
public:
    /// "invalid argument".
    const char* what() const noexcept override;
};

/// Allocation failure inside a framework container.
class RVN_API CMemoryException : public CException {
public:
    /// "out of memory".
    const char* what() const noexcept override;
};

/// A malformed, truncated or wrong-direction archive.
class RVN_API CArchiveException : public CException {
public:
    /// What went wrong, kept in m_cause.
    enum Cause {
        none = 0,              ///< no cause given
        genericException = 1,  ///< any other failure, such as an archive already closed
        readOnly = 2,          ///< writing to an archive opened for loading
        endOfFile = 3,         ///< the data ran out before the object was complete
        writeOnly = 4,         ///< reading from an archive opened for storing
        badIndex = 5,          ///< a class or object reference that was never defined
        badClass = 6,          ///< unknown class name, or not the class that was asked for
        badSchema = 7,         ///< the stored schema number differs from the class's own
        bufferFull = 8         ///< kept for callers' code; the library does not raise it
    };

    /// An exception for the given Cause.
    explicit CArchiveException(int cause = none) : m_cause(cause) {}
    /// "archive: " followed by a description of m_cause.
    const char* what() const noexcept override;

    int m_cause;  ///< a Cause value
};

/// @}

#endif  // RVN_FRAMEWORK_CEXCEPTION_H
