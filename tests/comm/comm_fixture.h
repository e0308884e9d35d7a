// What the communication tests share: the host's libraries bound in-process, a document
// with stations and a channel, and a line whose answers the test scripts.
#pragma once

#include "comm/comm_channel.h"
#include "comm/comm_link.h"
#include "config/station_info.h"
#include "config/vfda_drv_doc.h"
#include "host/vemor_sub.h"
#include "host_libraries.h"
#include "host_link/host_binding.h"
#include "host_link/message_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace comm_testing {

// A request frame from its digits: Request('R', "0105") is 52 03 01 30 31 30 35.
inline std::string Request(char letter, const std::string& digits) {
    return std::string(1, letter) + "\x03\x01" + digits;
}
// An accepted answer: the letter, 03 06, then the digits (station, parameter, value).
inline std::string Answer(char letter, const std::string& digits) {
    return std::string(1, letter) + "\x03\x06" + digits;
}

// A line that records every frame sent and plays back one scripted reply per transaction.
// With nothing scripted the drive stays silent: the receive times out.
class ScriptedLink : public comm::CommLink {
public:
    struct Reply {
        int sendResult = 0;
        int receiveResult = 0;
        std::string answer;
    };

    void Answer(const std::string& answer) { replies.push_back({0, 0, answer}); }
    void Fail(int sendResult, int receiveResult) {
        replies.push_back({sendResult, receiveResult, {}});
    }

    int SendFrame(const uint8_t* frame, size_t length) override {
        sent.emplace_back(reinterpret_cast<const char*>(frame), length);
        current = Reply{0, 10, {}};
        if (!replies.empty()) {
            current = replies.front();
            replies.pop_front();
        }
        return current.sendResult;
    }

    int ReceiveFrame(uint8_t* answer, size_t count, uint8_t sync) override {
        ++receives;
        lastSync = sync;
        if (current.receiveResult != 0) {
            return current.receiveResult;
        }
        std::memcpy(answer, current.answer.data(), std::min(count, current.answer.size()));
        return current.answer.size() >= count ? 0 : 10;
    }

    std::deque<Reply> replies;
    std::vector<std::string> sent;
    int receives = 0;
    uint8_t lastSync = 0;

private:
    Reply current;
};

struct Delivered {
    uint32_t tagId;
    double value;
    bool operator==(const Delivered&) const = default;
};

inline void PrintTo(const Delivered& d, std::ostream* os) {
    *os << "{tag " << d.tagId << ", " << d.value << "}";
}

class CommFixture : public ::testing::Test {
protected:
    CommFixture() { document_.SetChannel(CCommChannel::Create(document_)); }

    void SetUp() override {
        hosts_.Attach();
        driver::HostBinding::Instance().BindRunTimeLibraries();
        ASSERT_TRUE(driver::HostBinding::Instance().HasEventLog());
    }
    void TearDown() override { driver::HostBinding::Instance().ReleaseAll(); }

    CStationInfo& AddStation(const std::string& name, int32_t number) {
        auto station = std::make_unique<CStationInfo>();
        station->m_name = name;
        station->m_stationNumber = number;
        station->ResetRuntime();
        CStationInfo& added = *station;
        document_.AddStation(std::move(station));
        return added;
    }

    CCommChannel& Channel() { return *document_.Channel(); }

    ScriptedLink& AttachScriptedLink() {
        auto link = std::make_unique<ScriptedLink>();
        ScriptedLink& attached = *link;
        Channel().AttachLink(std::move(link));
        return attached;
    }

    // Steps the poll thread's batch service until nothing is queued; returns how many
    // requests were executed.
    int RunQueue() {
        int executed = 0;
        for (;;) {
            if (Channel().ServiceBatch()) {
                ++executed;
            } else if (Channel().PendingRequestCount() == 0) {
                return executed;
            }
        }
    }

    std::vector<Delivered> TakeValueChanges() {
        std::vector<Delivered> taken;
        while (std::unique_ptr<CEventVal> change = Channel().TakeValueChange()) {
            taken.push_back({change->m_tagId, change->m_value.GetVal()});
        }
        return taken;
    }

    // The lines the event log received, without the flags.
    std::vector<std::string> LogTexts() const {
        std::vector<std::string> texts;
        for (const auto& line : hosts_.EventLog()) {
            texts.push_back(line.text);
        }
        return texts;
    }

    static std::string Line(int32_t number, const char* first, const char* second = nullptr) {
        return driver::FormatLogLine(number, first, second);
    }

    hostkit::HostLibraries hosts_;
    CVfdaDrvDoc document_;
};

} // namespace comm_testing
