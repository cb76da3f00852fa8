#pragma once
// The Tiger S-boxes, defined in tiger_tables.cpp; read-only and shared.

#include <cstdint>

namespace velsor::tiger_tables {

extern const uint64_t T1[256];
extern const uint64_t T2[256];
extern const uint64_t T3[256];
extern const uint64_t T4[256];

}  // namespace velsor::tiger_tables
