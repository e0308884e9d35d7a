// The functions behind the slots of DrvFuncTable.
#pragma once

#include "driver/entry_table.h"

namespace driver {

// Fills slots 0-16 with the entry functions in slot order and sets slots 17-31 to null.
void FillEntryTable(drv::Entry (&table)[drv::kSlotCount]);

} // namespace driver
