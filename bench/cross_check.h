#pragma once
// Before timing anything: every peer's output must equal Velsor's for the same
// key, IV and data, or the peer is not doing the same work. The results go into
// the benchmark's context as "check <row> <implementation>" and mismatches to
// standard error.

namespace velsor::bench {

void CrossCheck();

}  // namespace velsor::bench
