#include "BaseCommon/framework/CException.h"

CException::~CException() = default;

const char* CException::what() const noexcept {
    return "framework exception";
}

const char* CInvalidArgException::what() const noexcept {
    return "invalid argument";
}

const char* CMemoryException::what() const noexcept {
    return "out of memory";
}

const char* CArchiveException::what() const noexcept {
    switch (m_cause) {
        case readOnly:
            return "archive: write to an archive opened for loading";
        case endOfFile:
            return "archive: unexpected end of data";
        case writeOnly:
            return "archive: read from an archive opened for storing";
        case badIndex:
            return "archive: reference to an undefined class or object";
        case badClass:
            return "archive: unknown or unexpected class";
        case badSchema:
            return "archive: schema number does not match";
        case bufferFull:
            return "archive: buffer full";
        default:
            return "archive: generic error";
    }
}
