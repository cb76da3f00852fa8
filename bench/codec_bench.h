#pragma once
// The message codec end to end (text to hex text, hex text to text) beside the
// raw cipher over the same message bytes, timed in alternation so that both see
// the same machine load, in thread CPU time (the reported time is the codec's).
// Counters: x_raw = codec time / raw cipher time, and
// raw_MBps, the raw cipher's throughput. The size in the name is the text's
// length in characters; the bytes per second count the UTF-16LE message bytes
// (two per character), as the cipher sees them.

namespace velsor::bench {

void RegisterCodecBenchmarks();

}  // namespace velsor::bench
