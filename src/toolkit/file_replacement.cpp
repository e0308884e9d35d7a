#include "toolkit/file_replacement.h"

#include "toolkit/exceptions.h"

#include <cstdio>
#include <random>

namespace {

// A name is taken only by a file this replacement creates itself; a name already there (a
// planted link, another writer's file) just makes it draw another one.
constexpr int kNameAttempts = 16;

std::string UniqueSuffix() {
    std::random_device random;
    char text[32];
    std::snprintf(text, sizeof text, ".saving-%08x%04x", static_cast<unsigned>(random()),
                  static_cast<unsigned>(random() & 0xFFFFu));
    return text;
}

} // namespace

CFileReplacement::CFileReplacement(const std::string& path) : path_(path) {}

CFileReplacement::~CFileReplacement() {
    if (committed_) {
        return;
    }
    file_.Abort(); // what was held for an in-place rewrite is dropped, the file untouched
    if (created_) {
        platform::RemoveFile(temporary_);
    }
}

CFileReplacement::Refusal CFileReplacement::Begin() {
    if (!platform::FinalTarget(path_, target_)) {
        return Refusal::BadLink;
    }
    previous_ = platform::StatusOf(target_);
    if (previous_.exists && !previous_.regular) {
        return Refusal::NotRegular;
    }
    if (previous_.exists && previous_.readOnly) {
        return Refusal::ReadOnly;
    }
    if (CreateTemporary()) {
        return Refusal::None;
    }
    inPlace_ = previous_.exists && file_.OpenForRewrite(target_);
    return inPlace_ ? Refusal::None : Refusal::CannotCreate;
}

bool CFileReplacement::CreateTemporary() {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary_ = target_ + UniqueSuffix();
        if (file_.CreateNew(temporary_)) {
            created_ = true;
            return true;
        }
    }
    return false;
}

void CFileReplacement::Commit() {
    if (inPlace_ && !committed_) {
        file_.Flush();
        file_.Close();
        committed_ = true;
        return;
    }
    if (!created_ || committed_) {
        throw CFileException(CFileException::genericException, target_);
    }
    file_.KeepAttributesOf(previous_);
    file_.Flush();
    file_.Close();
    if (!platform::ReplaceFile(temporary_, target_)) {
        throw CFileException(CFileException::accessDenied, target_);
    }
    committed_ = true;
}
