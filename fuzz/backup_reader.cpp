// Backup files of any bytes, as a disk, a person or another tool may leave them. A file the
// reader takes must say the same when written again and read back, and every value it holds
// must be one a restore may send: its raw word, within the frame's field.
#include "backup_reader.h"
#include "word_value.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    vfdahost::ParameterBackup backup;
    std::string error;
    if (!vfdahost::ParseBackup(text, backup, error)) {
        if (error.empty()) {
            __builtin_trap(); // a refusal always says why
        }
        return 0;
    }
    for (int p = 0; p < vfdahost::kBackupParameters; ++p) {
        const std::optional<double>& value = backup.values[static_cast<size_t>(p)];
        std::string why;
        if (value && !vfdahost::CheckWordValue({'P', p}, *value, why)) {
            __builtin_trap(); // taken, yet not a value a restore may send
        }
    }
    vfdahost::ParameterBackup again;
    if (!vfdahost::ParseBackup(vfdahost::BackupJson(backup), again, error) ||
        again.station != backup.station || again.values != backup.values ||
        again.number != backup.number || again.model != backup.model || again.baud != backup.baud ||
        again.readAt != backup.readAt) {
        __builtin_trap(); // what was read does not survive a save
    }
    return 0;
}
