#pragma once
#include <csignal>

// Seconds after the first quit signal during which further ones are ignored.
inline constexpr long kQuitGraceSeconds = 5;

// SIGTERM, SIGINT and SIGHUP (log-out, Ctrl+C, closed terminal) set *flag to 1 so that the
// program can end through its normal shutdown, which stores the session. More signals within
// the grace period after the first are ignored so that a burst cannot cut that save short; one
// that comes later ends a program that no longer responds.
void InstallQuitSignals(volatile std::sig_atomic_t* flag, long graceSeconds = kQuitGraceSeconds);
