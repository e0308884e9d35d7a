// Stand-in for the host's design-time library. The module only checks that its table is
// there before it opens the editor; nothing is called through it.
#include "host/vemor_tables.h"
#include "platform/export.h"

namespace {
int Unused() {
    return 0;
}
} // namespace

extern "C" {
VFDA_EXPORT host::TableEntry DsgFuncTable[host::kHostTableSize];
}

namespace {

struct TableFiller {
    TableFiller() {
        for (auto& entry : DsgFuncTable) {
            entry = reinterpret_cast<host::TableEntry>(&Unused);
        }
    }
} g_filler;

} // namespace
