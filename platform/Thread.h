#pragma once

namespace plat {

enum class ThreadPriority { Normal, AboveNormal, Highest };

// Best effort: raising a thread's priority needs privileges a game does not have, so a refusal
// is silently accepted.
void SetThreadPriority(ThreadPriority priority);

} // namespace plat
