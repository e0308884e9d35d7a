#include "fuzz_support.h"

#include "comm/comm_channel.h"
#include "host/vemor_sub.h"
#include "host_libraries.h"
#include "host_link/host_binding.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fuzzing {
namespace {

hostkit::HostLibraries& Host() {
    // Never destroyed: the module's binding may still be used while the process ends.
    static hostkit::HostLibraries* host = [] {
        auto* libraries = new hostkit::HostLibraries;
        libraries->Attach();
        driver::HostBinding::Instance().BindRunTimeLibraries();
        return libraries;
    }();
    return *host;
}

void RemoveScratchFile() {
    std::remove(ScratchFile().c_str());
}

} // namespace

void ResetHost() {
    Host().Clear();
}

void NameTag(uint32_t tagId, const std::string& name) {
    Host().SetTagName(tagId, name);
}

const std::string& ScratchFile() {
    static const std::string path = [] {
        const std::string name = "vfda-fuzz-" + std::to_string(getpid()) + ".cfg";
        std::atexit(&RemoveScratchFile);
        return (std::filesystem::temp_directory_path() / name).string();
    }();
    return path;
}

void WriteScratchFile(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(ScratchFile().c_str(), "wb");
    if (file == nullptr) {
        std::abort(); // the target cannot do its work: say so loudly
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size) {
        std::abort();
    }
    std::fclose(file);
}

std::unique_ptr<CVfdaDrvDoc> MakeDocument(std::initializer_list<std::string_view> stations) {
    auto document = std::make_unique<CVfdaDrvDoc>();
    int32_t number = 1;
    for (std::string_view name : stations) {
        auto station = std::make_unique<CStationInfo>();
        station->m_name = std::string(name);
        station->m_stationNumber = number++;
        station->ResetRuntime();
        document->AddStation(std::move(station));
    }
    document->SetChannel(CCommChannel::Create(*document));
    return document;
}

void DrainValueChanges(CCommChannel& channel) {
    while (channel.TakeValueChange() != nullptr) {
    }
}

std::string InputReader::Text() {
    std::string text;
    while (!AtEnd()) {
        const uint8_t byte = data_[at_++];
        if (byte == 0) {
            break;
        }
        text += static_cast<char>(byte);
    }
    return text;
}

size_t InputReader::Copy(uint8_t* out, size_t count) {
    size_t copied = 0;
    while (copied < count && !AtEnd()) {
        out[copied++] = data_[at_++];
    }
    return copied;
}

} // namespace fuzzing
