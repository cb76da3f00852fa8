#pragma once
// Standard input, output and error of velsor-cli on Windows.

#include <streambuf>

namespace velsor::cli {

// Pipes and files pass bytes unchanged (no CR LF translation); a console
// shows UTF-8 text on standard output and error whatever its code page. Call
// after std::ios::sync_with_stdio, which replaces the streams' buffers.
void PrepareWindowsStreams();

// Standard input as UTF-8 when it is a console, whatever its code page;
// nullptr when it is a pipe or a file, which are read as bytes.
std::streambuf* WindowsConsoleInput();

}  // namespace velsor::cli
