// One driver configuration: the serial settings of a line and its stations, with the file
// that stores them. The same class is a run-time instance (opened by the host) and the
// editor's working copy.
#pragma once

#include "config/serial_port.h"
#include "config/station_info.h"
#include "host/vemor_sub.h"
#include "toolkit/object.h"
#include "toolkit/writer_lock.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CCommChannel;

// The communication code builds and destroys the channel; the document only owns it, so the
// configuration code needs nothing of the channel but its name.
using ChannelDeleter = void (*)(CCommChannel*);
using OwnedChannel = std::unique_ptr<CCommChannel, ChannelDeleter>;

// Threads: the host's threads, one at a time per document: a run-time instance is reached
// under its instance's control lock, the editor's working copy only by the editor's thread.
// The settings and the station list change only while no channel of the document runs; the
// worker threads reach nothing of the document but its stations' run-time words, through
// the channel's blocks. SetChannel only while the previous channel is stopped.
class CVfdaDrvDoc : public CObject {
    DECLARE_SERIAL(CVfdaDrvDoc)
public:
    static constexpr int32_t kHeaderKind = 3;
    static constexpr const char* kHeaderDescription = "VfdaDrv.dll";
    static constexpr size_t kMaxTitleLength = 255;

    CVfdaDrvDoc();
    ~CVfdaDrvDoc() override;
    CVfdaDrvDoc(const CVfdaDrvDoc&) = delete;
    CVfdaDrvDoc& operator=(const CVfdaDrvDoc&) = delete;

    void Serialize(CArchive& archive) override;

    // 1 when the whole file was read, 0 on any failure (the document may then hold part of
    // the file). Reports nothing itself.
    int LoadFile(const std::string& path);
    // Writes the document to its path through a unique temporary file beside it, so the
    // previous file survives a failed save, holding the file's writer lock meanwhile. On
    // failure (the lock not had in time included) shows host message 2005 and returns false.
    bool SaveFile();
    // The same, for a caller that already holds the file's writer lock (across its load, its
    // change and this save).
    bool SaveFile(const CWriterLock& held);
    // Remembers the path and title, loads the file when one exists (host message 2002 on
    // failure) and runs the editor. 1 when the editor saved, else 0. Defined with the editor
    // (editor/edit_config.cpp).
    int EditConfig(const std::string& path);

    // 0, or 2701 when another station than `self` has the name (ASCII case ignored).
    int ValidateStationName(const std::string& name, const CStationInfo* self) const;
    // 0, 2707 for a number outside 0..31, or 2702 when another station than `self` has it.
    int ValidateStationNumber(int32_t number, const CStationInfo* self) const;

    // The first station whose name equals `name` ignoring case; null for none or no name.
    CStationInfo* FindStation(const char* name) const;

    // The file-name part of a path, without folder and extension, at most 255 bytes.
    static std::string TitleFromPath(const std::string& path);

    // Sets the path that SaveFile writes to, and the title taken from it.
    void SetPath(const std::string& path);
    const std::string& Path() const { return m_path; }
    const std::string& Title() const { return m_title; }
    const std::vector<std::string>& StationNames() const { return m_stationNames; }
    CSerialPort& SerialPort() { return m_serialPort; }
    const CSerialPort& SerialPort() const { return m_serialPort; }
    const std::vector<CStationInfo*>& Stations() const { return m_stations; }

    // The instance's channel, null until communication is initialised.
    CCommChannel* Channel() const { return m_channel.get(); }
    // Takes the channel over; a previous one is deleted.
    void SetChannel(OwnedChannel channel);

    // The list owns its stations.
    void AddStation(std::unique_ptr<CStationInfo> station);
    void RemoveStation(CStationInfo* station);

private:
    void WriteContents(CArchive& archive);
    void ReadContents(CArchive& archive);
    bool WriteFile();

    OwnedChannel m_channel{nullptr, nullptr};
    std::string m_path;
    std::string m_title;
    CVemorHeader m_header;
    std::vector<std::string> m_stationNames;
    CSerialPort m_serialPort;
    std::vector<CStationInfo*> m_stations;
};
