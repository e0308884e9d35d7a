// What the micro-benchmarks share: a document with stations and its channel, no line.
#pragma once

#include "comm/comm_channel.h"
#include "config/station_info.h"
#include "config/vfda_drv_doc.h"

#include <memory>
#include <string>

namespace bench {

class MicroLine {
public:
    explicit MicroLine(int stations = 1) {
        for (int number = 1; number <= stations; ++number) {
            auto station = std::make_unique<CStationInfo>();
            station->m_name = "S" + std::to_string(number);
            station->m_stationNumber = number;
            station->ResetRuntime();
            document_.AddStation(std::move(station));
        }
        document_.SetChannel(CCommChannel::Create(document_));
    }

    CVfdaDrvDoc& Document() { return document_; }
    CCommChannel& Channel() { return *document_.Channel(); }

private:
    CVfdaDrvDoc document_;
};

} // namespace bench
