// How the host program and the tests receive what the module calls in the host's libraries.
// The stand-in libraries export these beside their tables; the module never uses them.
#pragma once

#include "host/vemor_sub.h"

#include <cstdint>
#include <string>

extern "C" {

// VemorSub (linked): every CVemorError::ErrMsg, with the message text it resolved (the
// module's string table for 2700-2710, the host's own text for 2002 and 2005), in CP949.
using ErrMsgSink = void (*)(void* context, int32_t code, uint32_t flags, const char* text,
                            const char* message);
VEMORSUB_API void VemorSubSetErrMsgSink(ErrMsgSink sink, void* context);

// VemorRun: every WriteEventLog line. A line written after the library's objects were
// destroyed (at process exit) goes to stderr as this text instead.
constexpr const char* kEventLogAfterDestruction = "VemorRun: event log written after its end";
using EventLogSink = void (*)(void* context, int32_t kind, uint32_t flags, const char* text);
using SetEventLogSinkFn = void (*)(EventLogSink sink, void* context);
constexpr const char* kSetEventLogSinkName = "VemorRunSetEventLogSink";

// VemorDbm: every SetTagValue, and the names GetTagName answers with.
using TagValueSink = void (*)(void* context, uint32_t tagId, double value);
using TagNameSource = void (*)(void* context, uint32_t tagId, std::string& name);
using SetTagValueSinkFn = void (*)(TagValueSink sink, void* context);
using SetTagNameSourceFn = void (*)(TagNameSource source, void* context);
constexpr const char* kSetTagValueSinkName = "VemorDbmSetTagValueSink";
constexpr const char* kSetTagNameSourceName = "VemorDbmSetTagNameSource";
}
