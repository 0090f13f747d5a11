// What every source of the simulated camera includes: the two exported APIs, built as
// this library's own (not imported).
#pragma once
#define PELCORE_BUILDING
#include "camera/ZqApi.h"
#include "pelcore/PelSim.h"
#include <windows.h>
#include <string>
#include <vector>

// Space a file of this many bytes takes on the camera, in KiB rounded up.
inline unsigned long long SizeInKiB(unsigned size) { return (static_cast<unsigned long long>(size) + 1023) / 1024; }

// A free-space figure as the camera reports it: at most 0xFFFFFFFF KiB.
inline unsigned CapKiB(unsigned long long kib) { return kib > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<unsigned>(kib); }

// 0 when the condition holds, else the failure status.
inline ComStatus OkOr(bool condition, ComStatus failure) { return condition ? static_cast<ComStatus>(ZQ_STATUS_OK) : failure; }
