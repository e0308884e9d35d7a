#include "toolkit/archive.h"

#include "toolkit/exceptions.h"
#include "toolkit/extension_module.h"
#include "toolkit/file.h"
#include "toolkit/object.h"

#include <cstring>
#include <memory>

namespace {

constexpr uint16_t kNullTag = 0;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint32_t kBigClassTag = 0x80000000u;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint16_t kMaxClassNameLength = 64;

void Throw(CArchiveException::Cause cause) {
    throw CArchiveException(cause);
}

} // namespace

CArchive::CArchive(CFile* file, Mode mode, size_t bufferSize)
    : file_(file), mode_(mode), buffer_(bufferSize < 16 ? 16 : bufferSize) {
    loaded_.push_back({nullptr, nullptr}); // number 0 stands for no object
    if (IsLoading()) {
        fileLeft_ = file_->GetLength();
    }
}

CArchive::~CArchive() = default;

void CArchive::Close() {
    if (IsStoring()) {
        FlushBuffer();
    }
    file_ = nullptr;
}

// ---- raw bytes ------------------------------------------------------------------------

void CArchive::FillBuffer() {
    const size_t kept = bufferLimit_ - bufferPos_;
    std::memmove(buffer_.data(), buffer_.data() + bufferPos_, kept);
    bufferPos_ = 0;
    bufferLimit_ = kept;
    const size_t room = buffer_.size() - kept;
    const size_t got = file_->Read(buffer_.data() + kept, room);
    bufferLimit_ += got;
    fileLeft_ = got >= fileLeft_ ? 0 : fileLeft_ - got;
    if (got < room) {
        fileLeft_ = 0; // the file ended early (it may have shrunk while open)
    }
}

void CArchive::FlushBuffer() {
    if (bufferPos_ > 0) {
        file_->Write(buffer_.data(), bufferPos_);
        bufferPos_ = 0;
    }
}

void CArchive::Write(const void* bytes, size_t count) {
    const uint8_t* source = static_cast<const uint8_t*>(bytes);
    while (count > 0) {
        if (bufferPos_ == buffer_.size()) {
            FlushBuffer();
        }
        const size_t chunk = std::min(count, buffer_.size() - bufferPos_);
        std::memcpy(buffer_.data() + bufferPos_, source, chunk);
        bufferPos_ += chunk;
        source += chunk;
        count -= chunk;
    }
}

void CArchive::Read(void* bytes, size_t count) {
    uint8_t* target = static_cast<uint8_t*>(bytes);
    while (count > 0) {
        if (bufferPos_ == bufferLimit_) {
            if (fileLeft_ == 0) {
                Throw(CArchiveException::endOfFile);
            }
            FillBuffer();
            if (bufferPos_ == bufferLimit_) {
                Throw(CArchiveException::endOfFile);
            }
        }
        const size_t chunk = std::min(count, bufferLimit_ - bufferPos_);
        std::memcpy(target, buffer_.data() + bufferPos_, chunk);
        bufferPos_ += chunk;
        target += chunk;
        count -= chunk;
    }
}

uint64_t CArchive::BytesLeft() const {
    return fileLeft_ + (bufferLimit_ - bufferPos_);
}

// ---- numbers and texts ----------------------------------------------------------------

CArchive& CArchive::operator<<(uint8_t value) {
    Write(&value, 1);
    return *this;
}

CArchive& CArchive::operator<<(uint16_t value) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    Write(bytes, 2);
    return *this;
}

CArchive& CArchive::operator<<(uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    Write(bytes, 4);
    return *this;
}

CArchive& CArchive::operator<<(int32_t value) {
    return *this << static_cast<uint32_t>(value);
}

CArchive& CArchive::operator>>(uint8_t& value) {
    Read(&value, 1);
    return *this;
}

CArchive& CArchive::operator>>(uint16_t& value) {
    uint8_t bytes[2];
    Read(bytes, 2);
    value = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
    return *this;
}

CArchive& CArchive::operator>>(uint32_t& value) {
    uint8_t bytes[4];
    Read(bytes, 4);
    value = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
            (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    return *this;
}

CArchive& CArchive::operator>>(int32_t& value) {
    uint32_t raw = 0;
    *this >> raw;
    value = static_cast<int32_t>(raw);
    return *this;
}

CArchive& CArchive::operator<<(const std::string& text) {
    const size_t length = text.size();
    if (length < 0xFF) {
        *this << static_cast<uint8_t>(length);
    } else if (length < 0xFFFE) {
        *this << static_cast<uint8_t>(0xFF) << static_cast<uint16_t>(length);
    } else {
        *this << static_cast<uint8_t>(0xFF) << static_cast<uint16_t>(0xFFFF)
              << static_cast<uint32_t>(length);
    }
    Write(text.data(), length);
    return *this;
}

CArchive& CArchive::operator>>(std::string& text) {
    uint8_t shortLength = 0;
    *this >> shortLength;
    uint32_t length = shortLength;
    if (shortLength == 0xFF) {
        uint16_t middle = 0;
        *this >> middle;
        length = middle;
        if (middle == 0xFFFE) {
            Throw(CArchiveException::badLength); // a wide-character text: never written here
        }
        if (middle == 0xFFFF) {
            *this >> length;
        }
    }
    if (length > BytesLeft()) {
        Throw(CArchiveException::endOfFile); // a lying length: refuse before allocating
    }
    text.resize(length);
    Read(text.data(), length);
    return *this;
}

void CArchive::WriteCount(uint32_t count) {
    if (count < 0xFFFF) {
        *this << static_cast<uint16_t>(count);
    } else {
        *this << static_cast<uint16_t>(0xFFFF) << count;
    }
}

uint32_t CArchive::ReadCount() {
    uint16_t shortCount = 0;
    *this >> shortCount;
    uint32_t count = shortCount;
    if (shortCount == 0xFFFF) {
        *this >> count;
    }
    if (count > BytesLeft()) {
        Throw(CArchiveException::endOfFile);
    }
    return count;
}

// ---- objects and class records --------------------------------------------------------

void CArchive::WriteIndexTag(uint32_t index, uint16_t smallFlag, uint32_t bigFlag) {
    if (index < kBigObjectTag) {
        *this << static_cast<uint16_t>(smallFlag | index);
    } else {
        *this << kBigObjectTag << (bigFlag | index);
    }
}

void CArchive::WriteClass(const CRuntimeClass* type) {
    const auto known = stored_.find(type);
    if (known != stored_.end()) {
        WriteIndexTag(known->second, kClassTag, kBigClassTag);
        return;
    }
    const size_t nameLength = std::strlen(type->m_lpszClassName);
    *this << kNewClassTag << static_cast<uint16_t>(type->m_wSchema)
          << static_cast<uint16_t>(nameLength);
    Write(type->m_lpszClassName, nameLength);
    stored_[type] = mapCount_++;
}

void CArchive::WriteObject(const CObject* object) {
    if (object == nullptr) {
        *this << kNullTag;
        return;
    }
    const auto known = stored_.find(object);
    if (known != stored_.end()) {
        WriteIndexTag(known->second, 0, 0);
        return;
    }
    WriteClass(object->GetRuntimeClass());
    stored_[object] = mapCount_++;
    const_cast<CObject*>(object)->Serialize(*this);
}

const CRuntimeClass* CArchive::ReadNewClass(const CRuntimeClass* requested) {
    uint16_t schema = 0;
    uint16_t nameLength = 0;
    *this >> schema >> nameLength;
    if (nameLength == 0 || nameLength >= kMaxClassNameLength) {
        Throw(CArchiveException::badClass);
    }
    char name[kMaxClassNameLength + 1] = {};
    Read(name, nameLength);
    // The requested class is taken by name first, so that a program holding two copies of
    // a class (its own and a loaded module's) creates the one the reader asked for.
    const CRuntimeClass* type =
        requested != nullptr && std::strcmp(requested->m_lpszClassName, name) == 0
            ? requested
            : AfxFindClass(name);
    if (type == nullptr) {
        Throw(CArchiveException::badClass);
    }
    if (type->m_wSchema != schema) {
        Throw(CArchiveException::badSchema);
    }
    loaded_.push_back({type, nullptr});
    ++mapCount_;
    return type;
}

CObject* CArchive::CreateAndLoad(const CRuntimeClass* type, const CRuntimeClass* requested) {
    if (requested != nullptr && !type->IsDerivedFrom(requested)) {
        Throw(CArchiveException::badClass);
    }
    std::unique_ptr<CObject> object(type->CreateObject());
    if (!object) {
        Throw(CArchiveException::badClass);
    }
    loaded_.push_back({type, object.get()});
    ++mapCount_;
    object->Serialize(*this);
    return object.release();
}

CObject* CArchive::ReadObjectTag(const CRuntimeClass* requested, bool& created) {
    created = false;
    uint16_t tag = 0;
    *this >> tag;
    if (tag == kNewClassTag) {
        created = true;
        return CreateAndLoad(ReadNewClass(requested), requested);
    }
    uint32_t fullTag = 0;
    if (tag == kBigObjectTag) {
        *this >> fullTag;
    } else {
        fullTag = (static_cast<uint32_t>(tag & kClassTag) << 16) | (tag & ~kClassTag);
    }
    if ((fullTag & kBigClassTag) != 0) {
        const uint32_t index = fullTag & ~kBigClassTag;
        if (index == 0 || index >= loaded_.size() || loaded_[index].object != nullptr) {
            Throw(CArchiveException::badIndex);
        }
        created = true;
        return CreateAndLoad(loaded_[index].type, requested);
    }
    if (fullTag >= loaded_.size() || (fullTag != 0 && loaded_[fullTag].object == nullptr)) {
        Throw(CArchiveException::badIndex);
    }
    CObject* existing = loaded_[fullTag].object;
    if (existing != nullptr && requested != nullptr && !existing->IsKindOf(requested)) {
        Throw(CArchiveException::badClass);
    }
    return existing;
}

CObject* CArchive::ReadObject(const CRuntimeClass* requested) {
    bool created = false;
    return ReadObjectTag(requested, created);
}

CObject* CArchive::ReadNewObject(const CRuntimeClass* requested) {
    bool created = false;
    CObject* object = ReadObjectTag(requested, created);
    if (!created) {
        Throw(CArchiveException::badIndex);
    }
    return object;
}
