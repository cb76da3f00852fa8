#pragma once
// Standard input, output and error of velsor-cli on Windows.

namespace velsor::cli {

// Pipes and files pass bytes unchanged (no CR LF translation); a console
// reads and shows UTF-8 text whatever its code page. Call after
// std::ios::sync_with_stdio, which replaces the streams' buffers.
void PrepareWindowsStreams();

}  // namespace velsor::cli
