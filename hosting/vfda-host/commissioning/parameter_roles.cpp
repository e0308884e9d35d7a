#include "parameter_roles.h"

#include <set>

namespace vfdahost {
namespace {

const std::set<int> kDriveRecords = {58, 59, 63, 64, 73, 74, 75, 77, 78, 79, 80};
const std::set<int> kCommands = {76};

} // namespace

ParameterRole RoleOf(int parameter) {
    if (kCommands.count(parameter) != 0) {
        return ParameterRole::Command;
    }
    return kDriveRecords.count(parameter) != 0 ? ParameterRole::DriveRecord
                                               : ParameterRole::Setting;
}

const char* RoleName(ParameterRole role) {
    switch (role) {
    case ParameterRole::DriveRecord:
        return "drive record";
    case ParameterRole::Command:
        return "command";
    case ParameterRole::Setting:
        break;
    }
    return "setting";
}

} // namespace vfdahost
