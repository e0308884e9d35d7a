// The header of the host's driver configuration files. Layout, in archive encoding:
//   4 bytes  "VMHD"
//   int32    the kind the header was constructed with (drivers of this host use 3)
//   text     the description (the driver's file name, "VfdaDrv.dll")
// It writes no class records or objects. A reader rejects a file without the four bytes;
// the kind and the description are read back as found.
#include "host/vemor_sub.h"
#include "toolkit/archive.h"
#include "toolkit/exceptions.h"

#include <cstring>

namespace {
constexpr char kSignature[4] = {'V', 'M', 'H', 'D'};
}

CVemorHeader::CVemorHeader(int32_t kind) : m_kind(kind) {}
CVemorHeader::~CVemorHeader() = default;

void CVemorHeader::SetDesc(const char* description) {
    m_description = description != nullptr ? description : "";
}

void CVemorHeader::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        archive.Write(kSignature, sizeof(kSignature));
        archive << m_kind << m_description;
        return;
    }
    char signature[sizeof(kSignature)];
    archive.Read(signature, sizeof(signature));
    if (std::memcmp(signature, kSignature, sizeof(kSignature)) != 0) {
        throw CArchiveException(CArchiveException::badClass);
    }
    archive >> m_kind >> m_description;
}
