// What each drive parameter P0..P80 is to commissioning: a setting a backup carries onto a
// drive, one of the drive's own records, or a command that acts when written.
#pragma once

namespace vfdahost {

enum class ParameterRole {
    Setting,
    // The drive's own, never taken from the line: its station number and line speed, the
    // fault records, software version, capacity, run time and the reserved words. A
    // backup keeps them as a record of the drive it was read from.
    DriveRecord,
    // Acts rather than stores: writing 10 to P76 resets every parameter to its factory value.
    // Never written from a file, whatever the file holds.
    Command,
};

// The records in which a drive says what it is.
constexpr int kSoftwareVersionParameter = 73;
constexpr int kCapacityCodeParameter = 74;

ParameterRole RoleOf(int parameter);

// "setting", "drive record" or "command", as the events name them.
const char* RoleName(ParameterRole role);

} // namespace vfdahost
