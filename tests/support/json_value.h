// The tests read what the programs print with vfda-host's own strict JSON reader.
#pragma once

#include "strict_json.h"

namespace testing_support {

using vfdajson::JsonValue;
using vfdajson::ParseJson;

} // namespace testing_support
