// Exceptions of the file layer. They never leave the module: the load and save operations
// catch them and turn them into failure codes.
#pragma once

#include "platform/export.h"

#include <exception>
#include <string>

class TOOLKIT_API CException : public std::exception {
public:
    explicit CException(std::string what) : what_(std::move(what)) {}
    const char* what() const noexcept override { return what_.c_str(); }

private:
    std::string what_;
};

class TOOLKIT_API CFileException : public CException {
public:
    enum Cause { genericException, fileNotFound, accessDenied, diskFull, endOfFile };
    CFileException(Cause cause, const std::string& path)
        : CException("file error on " + path), m_cause(cause) {}
    Cause m_cause;
};

class TOOLKIT_API CArchiveException : public CException {
public:
    enum Cause { genericException, endOfFile, badIndex, badClass, badSchema, badLength };
    explicit CArchiveException(Cause cause)
        : CException("archive error " + std::to_string(static_cast<int>(cause))), m_cause(cause) {}
    Cause m_cause;
};
