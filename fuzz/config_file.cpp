// The configuration file reader: any bytes, loaded through the file and the archive as the
// host's DrvOpen loads them. A file that is not a configuration must be refused, never read
// past its end, never sized by what it claims.
#include "fuzz_support.h"

#include "config/vfda_drv_doc.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::WriteScratchFile(data, size);
    CVfdaDrvDoc document;
    if (document.LoadFile(fuzzing::ScratchFile()) == 1) {
        // What was read is used as the editor would use it.
        for (const CStationInfo* station : document.Stations()) {
            (void)station->FormatDisplayText();
            (void)document.FindStation(station->m_name.c_str());
        }
    }
    return 0;
}
