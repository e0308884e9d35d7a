#include "toolkit/file.h"

#include "toolkit/exceptions.h"

bool CFile::Open(const std::string& path, unsigned flags) {
    path_ = path;
    const bool create = (flags & modeCreate) != 0;
    return file_.Open(path,
                      create ? platform::File::Mode::CreateReadWrite : platform::File::Mode::Read);
}

bool CFile::CreateNew(const std::string& path) {
    path_ = path;
    return file_.Open(path, platform::File::Mode::CreateNew);
}

bool CFile::OpenForRewrite(const std::string& path) {
    path_ = path;
    held_.clear();
    holding_ = file_.Open(path, platform::File::Mode::WriteExisting);
    return holding_;
}

size_t CFile::Read(void* buffer, size_t count) {
    size_t total = 0;
    char* bytes = static_cast<char*>(buffer);
    while (total < count) {
        const long long got = file_.Read(bytes + total, count - total);
        if (got < 0) {
            throw CFileException(CFileException::genericException, path_);
        }
        if (got == 0) {
            break;
        }
        total += static_cast<size_t>(got);
    }
    return total;
}

void CFile::Write(const void* buffer, size_t count) {
    if (holding_) {
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        held_.insert(held_.end(), bytes, bytes + count);
        return;
    }
    if (!file_.WriteAll(buffer, count)) {
        throw CFileException(CFileException::diskFull, path_);
    }
}

void CFile::WriteHeld() {
    holding_ = false;
    if (!file_.WriteAll(held_.data(), held_.size()) || !file_.SetLength(held_.size())) {
        throw CFileException(CFileException::diskFull, path_);
    }
    held_.clear();
}

void CFile::Flush() {
    if (holding_) {
        WriteHeld();
    }
    if (!file_.FlushToDisk()) {
        throw CFileException(CFileException::genericException, path_);
    }
}

uint64_t CFile::GetLength() {
    const long long length = file_.Length();
    if (length < 0) {
        throw CFileException(CFileException::genericException, path_);
    }
    return static_cast<uint64_t>(length);
}

void CFile::KeepAttributesOf(const platform::FileStatus& model) {
    if (!file_.KeepAttributesOf(model)) {
        throw CFileException(CFileException::accessDenied, path_);
    }
}

void CFile::Close() {
    if (holding_) {
        WriteHeld();
    }
    if (!file_.Close()) {
        throw CFileException(CFileException::genericException, path_);
    }
}

void CFile::Abort() {
    holding_ = false;
    held_.clear();
    file_.Close();
}
