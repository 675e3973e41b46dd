#pragma once

#include "PluginRecord.h"

namespace zelmar {

// The module-wide copy of the last record received. Scoring reads only this
// copy, never the host's memory; the replay writes row values into it.
TPluginRecord& CurrentRecord();

// Replaces the current record with the 5916 bytes at `hostRecord`.
void CopyInRecord(const void* hostRecord);

} // namespace zelmar
