#pragma once
// Keeps a process that holds passphrases and keys from spilling them: no core
// file, and no debugger or memory reader of the same user attached to it.

namespace velsor {

// Disables core dumps and, where the system allows it, attachment by other
// processes of the same user. Call it first thing in main. Best effort: a
// system that refuses leaves the process as it was.
void HardenProcess() noexcept;

}  // namespace velsor
