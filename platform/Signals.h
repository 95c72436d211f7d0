#pragma once
#include <csignal>

// SIGTERM, SIGINT and SIGHUP (log-out, Ctrl+C, closed terminal) set *flag to 1 so that the
// program can end through its normal shutdown. The handlers fire once: a second signal of the
// same kind ends a program that no longer responds.
void InstallQuitSignals(volatile std::sig_atomic_t* flag);
