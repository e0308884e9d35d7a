// The framework's archive: little-endian numbers, counted texts and object graphs with
// class records, byte for byte as the framework's CArchive writes them, through a buffer.
#pragma once

#include "platform/export.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CFile;
class CObject;
struct CRuntimeClass;

class TOOLKIT_API CArchive {
public:
    enum Mode { store = 0, load = 1 };
    static constexpr size_t kDefaultBufferSize = 4096;

    CArchive(CFile* file, Mode mode, size_t bufferSize = kDefaultBufferSize);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return mode_ == load; }
    bool IsStoring() const { return mode_ == store; }

    // Writes what is buffered to the file (storing); ends the archive's use of the file.
    void Close();

    void Write(const void* bytes, size_t count);
    // Reads exactly count bytes or throws endOfFile.
    void Read(void* bytes, size_t count);
    // Bytes of the file not yet consumed (loading only).
    uint64_t BytesLeft() const;

    CArchive& operator<<(uint8_t value);
    CArchive& operator<<(uint16_t value);
    CArchive& operator<<(int32_t value);
    CArchive& operator<<(uint32_t value);
    CArchive& operator<<(const std::string& text);
    CArchive& operator>>(uint8_t& value);
    CArchive& operator>>(uint16_t& value);
    CArchive& operator>>(int32_t& value);
    CArchive& operator>>(uint32_t& value);
    CArchive& operator>>(std::string& text);

    // A 16-bit count, or 0xFFFF and the count in 32 bits.
    void WriteCount(uint32_t count);
    // Throws when the count promises more items than bytes are left, since every item that
    // follows a count takes at least one byte.
    uint32_t ReadCount();

    // Writes a null tag, a reference to an object already written, or the class reference
    // and the object's own Serialize.
    void WriteObject(const CObject* object);
    // Reads an object of the requested class (or one derived from it): a new one, a
    // reference to one already read, or null. A new object belongs to the caller.
    CObject* ReadObject(const CRuntimeClass* requested);
    // As ReadObject, but only a newly created object is accepted: a null tag or a reference
    // back to an object already read throws badIndex.
    CObject* ReadNewObject(const CRuntimeClass* requested);

private:
    struct LoadedEntry {
        const CRuntimeClass* type;
        CObject* object; // null for a class record
    };

    void FillBuffer();
    void FlushBuffer();
    void WriteClass(const CRuntimeClass* type);
    void WriteIndexTag(uint32_t index, uint16_t smallFlag, uint32_t bigFlag);
    const CRuntimeClass* ReadNewClass(const CRuntimeClass* requested);
    CObject* ReadObjectTag(const CRuntimeClass* requested, bool& created);
    CObject* CreateAndLoad(const CRuntimeClass* type, const CRuntimeClass* requested);

    CFile* file_;
    Mode mode_;
    std::vector<uint8_t> buffer_;
    size_t bufferPos_ = 0;   // next byte to read or write
    size_t bufferLimit_ = 0; // bytes valid in the buffer (loading)
    uint64_t fileLeft_ = 0;  // bytes of the file not yet in the buffer (loading)

    uint32_t mapCount_ = 1; // the next number for a class record or an object
    std::unordered_map<const void*, uint32_t> stored_;
    std::vector<LoadedEntry> loaded_;
};
