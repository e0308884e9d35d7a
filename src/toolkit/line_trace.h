// A hook on the serial line: a host that wants to see every frame the driver sends and
// receives installs a sink; with none installed, tracing costs one atomic load per frame.
#pragma once

#include "platform/export.h"

#include <cstddef>
#include <cstdint>

// Skipped: bytes that came before an answer's first byte and were dropped (noise, the tail
// of an earlier answer); traced as they are dropped, before the answer they preceded.
enum class LineDirection { Sent, Received, Skipped };

using LineTraceSink = void (*)(void* context, LineDirection direction, const uint8_t* bytes,
                               size_t count);

// Installs the sink (null removes it). Called from the poll threads of every instance.
TOOLKIT_API void SetLineTraceSink(LineTraceSink sink, void* context);
TOOLKIT_API bool LineTraceEnabled();
TOOLKIT_API void TraceLine(LineDirection direction, const uint8_t* bytes, size_t count);
