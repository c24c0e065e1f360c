#pragma once

namespace tavilon {

// Runs plain scanning code over mapped file pages, turning the bus error
// that a page past the file's end raises (the file was truncated while it
// was mapped) into a false result instead of a crash.
//
// The fault jumps straight back here, skipping whatever `scan` was doing,
// so `scan` must be plain code: no objects with destructors, no locks, no
// allocation, no callbacks into other code. Results it leaves behind after
// a fault are meaningless.
using PlainScanFn = void (*)(void* context);

// True when `scan(context)` ran to its end; false when it touched a page
// that no longer exists. Where the platform has no such fault, it simply
// runs `scan`.
bool runGuardedScan(PlainScanFn scan, void* context);

} // namespace tavilon
