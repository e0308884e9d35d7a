#include "config/vfda_drv_doc.h"

#include "toolkit/archive.h"
#include "toolkit/exceptions.h"
#include "toolkit/file.h"
#include "toolkit/file_replacement.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace {

constexpr int32_t kHostCannotSave = 2005;
constexpr uint32_t kMessageBoxFlags = 1;
constexpr int kNameTaken = 2701;
constexpr int kNumberTaken = 2702;
constexpr int kNumberInvalid = 2707;

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

IMPLEMENT_SERIAL(CVfdaDrvDoc, CObject, 1)

CVfdaDrvDoc::CVfdaDrvDoc() : m_header(kHeaderKind) {
    m_header.SetDesc(kHeaderDescription);
}

// The stations go first, then the channel, whose blocks only point at them.
CVfdaDrvDoc::~CVfdaDrvDoc() {
    while (!m_stations.empty()) {
        delete m_stations.front();
        m_stations.erase(m_stations.begin());
    }
    m_channel.reset();
}

void CVfdaDrvDoc::SetChannel(OwnedChannel channel) {
    m_channel = std::move(channel);
}

void CVfdaDrvDoc::Serialize(CArchive& archive) {
    m_header.Serialize(archive);
    if (archive.IsStoring()) {
        WriteContents(archive);
    } else {
        ReadContents(archive);
    }
}

void CVfdaDrvDoc::WriteContents(CArchive& archive) {
    archive.WriteCount(static_cast<uint32_t>(m_stationNames.size()));
    for (const std::string& name : m_stationNames) {
        archive << name;
    }
    m_serialPort.Serialize(archive);
    archive.WriteCount(static_cast<uint32_t>(m_stations.size()));
    for (const CStationInfo* station : m_stations) {
        archive.WriteObject(station);
    }
}

void CVfdaDrvDoc::ReadContents(CArchive& archive) {
    for (uint32_t left = archive.ReadCount(); left > 0; --left) {
        std::string name;
        archive >> name;
        m_stationNames.push_back(std::move(name));
    }
    m_serialPort.Serialize(archive);
    for (uint32_t left = archive.ReadCount(); left > 0; --left) {
        // A null entry or a second reference to a station already read is no station.
        // Held until the list owns it, so a failed push does not leak the station just read.
        std::unique_ptr<CObject> object(archive.ReadNewObject(RUNTIME_CLASS(CStationInfo)));
        m_stations.push_back(static_cast<CStationInfo*>(object.get()));
        object.release();
    }
}

int CVfdaDrvDoc::LoadFile(const std::string& path) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) {
        return 0;
    }
    try {
        CArchive archive(&file, CArchive::load);
        Serialize(archive);
        archive.Close();
        file.Close();
        return 1;
    } catch (const std::exception&) {
        file.Abort();
        return 0;
    }
}

bool CVfdaDrvDoc::SaveFile() {
    CWriterLock lock;
    if (!CWriterLock::MayWrite(lock.Acquire(m_path))) {
        CVemorError::ErrMsg(kHostCannotSave, kMessageBoxFlags, m_path.c_str());
        return false;
    }
    return SaveFile(lock);
}

bool CVfdaDrvDoc::SaveFile(const CWriterLock&) {
    m_stationNames.clear();
    for (const CStationInfo* station : m_stations) {
        m_stationNames.push_back(station->m_name);
    }
    const bool saved = WriteFile();
    if (!saved) {
        CVemorError::ErrMsg(kHostCannotSave, kMessageBoxFlags, m_path.c_str());
    }
    return saved;
}

bool CVfdaDrvDoc::WriteFile() {
    CFileReplacement replacement(m_path);
    if (replacement.Begin() != CFileReplacement::Refusal::None) {
        return false;
    }
    try {
        CArchive archive(&replacement.File(), CArchive::store);
        Serialize(archive);
        archive.Close();
        replacement.Commit();
        return true;
    } catch (const std::exception&) {
        return false; // the replacement removes its temporary file
    }
}

void CVfdaDrvDoc::SetPath(const std::string& path) {
    m_path = path;
    m_title = TitleFromPath(path);
}

int CVfdaDrvDoc::ValidateStationName(const std::string& name, const CStationInfo* self) const {
    for (const CStationInfo* station : m_stations) {
        if (station != self && EqualIgnoringAsciiCase(station->m_name, name)) {
            return kNameTaken;
        }
    }
    return 0;
}

int CVfdaDrvDoc::ValidateStationNumber(int32_t number, const CStationInfo* self) const {
    if (number < 0 || number > CStationInfo::kHighestNumber) {
        return kNumberInvalid;
    }
    for (const CStationInfo* station : m_stations) {
        if (station != self && station->m_stationNumber == number) {
            return kNumberTaken;
        }
    }
    return 0;
}

CStationInfo* CVfdaDrvDoc::FindStation(const char* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    const std::string wanted(name);
    for (CStationInfo* station : m_stations) {
        if (EqualIgnoringAsciiCase(station->m_name, wanted)) {
            return station;
        }
    }
    return nullptr;
}

std::string CVfdaDrvDoc::TitleFromPath(const std::string& path) {
    // As _splitpath: the folder ends at the last '\' or '/' (or a drive's ':'), the
    // extension starts at the last '.' of what remains.
    const size_t folderEnd = path.find_last_of("\\/:");
    std::string name = folderEnd == std::string::npos ? path : path.substr(folderEnd + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.resize(dot);
    }
    if (name.size() > kMaxTitleLength) {
        name.resize(kMaxTitleLength);
    }
    return name;
}

void CVfdaDrvDoc::AddStation(std::unique_ptr<CStationInfo> station) {
    m_stations.push_back(station.release());
}

void CVfdaDrvDoc::RemoveStation(CStationInfo* station) {
    const auto found = std::find(m_stations.begin(), m_stations.end(), station);
    if (found != m_stations.end()) {
        delete *found;
        m_stations.erase(found);
    }
}
