#pragma once

#include "PluginRecord.h"

#include <cstdint>

// The module's whole interface towards the host. Every export catches
// everything: no C++ exception ever reaches the host's frames.
#define ZELMAR_EXPORT extern "C" __attribute__((visibility("default")))

// Fills the host's info buffer with the title, the kind and both flags;
// writes no other byte of it. Needs no window.
ZELMAR_EXPORT void _GetInfo(zelmar::TPluginInfo* info);

// Creates the statistics window on the first call (copying the record),
// shows it and returns its native handle; a later call shows the same window
// without copying the record. Returns 0 when the window cannot be created,
// after telling the operator why.
ZELMAR_EXPORT std::uintptr_t _Run(std::int32_t ignored, const zelmar::TPluginRecord* record);

// Copies the record in and records the QSO: -1 for a duplicate, else its
// points; 0 when there is no statistics window.
ZELMAR_EXPORT std::int32_t _AddQSO(const zelmar::TPluginRecord* record);

// As _AddQSO, but records nothing.
ZELMAR_EXPORT std::int32_t _GetScore(const zelmar::TPluginRecord* record);

// Copies the record in and stores the exchange of the station in CallSign
// into `receiving` (a 256-byte short text); an empty text when none is known
// or there is no statistics window.
ZELMAR_EXPORT void _GrabNumber(const zelmar::TPluginRecord* record, unsigned char* receiving);

// Requests the deferred destruction of the statistics window (and with it
// the multipliers window). Never fails.
ZELMAR_EXPORT void _Release();
