// The function tables that the host's run-time libraries export, and the entries of them
// that the module calls. Entries are counted from 0.
#pragma once

#include <cstdint>
#include <string>

class CTagVal;

namespace host {

// Every table is an array of entry addresses; each entry is cast to its own type.
using TableEntry = void (*)();

constexpr const char* kDbmLibrary = "VemorDbm.dll";
constexpr const char* kRunLibrary = "VemorRun.dll";
constexpr const char* kDsgLibrary = "VemorDsg.dll";
constexpr const char* kDbmTableName = "FuncTable";
constexpr const char* kRunTableName = "FuncTable";
constexpr const char* kDsgTableName = "DsgFuncTable";
constexpr int kHostTableSize = 32;

// VemorDbm.dll
constexpr int kSetTagValueEntry = 23;
constexpr int kGetTagNameEntry = 29;
using SetTagValueFn = int (*)(uint32_t tagId, const CTagVal& value);
using GetTagNameFn = int (*)(uint32_t tagId, std::string& name);

// VemorRun.dll
constexpr int kWriteEventLogEntry = 19;
constexpr int32_t kEventLogKind = 3;
using WriteEventLogFn = int (*)(int32_t kind, uint32_t flags, const char* text);

} // namespace host
