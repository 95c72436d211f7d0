#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/UserFiles.h"

std::string SingleInstanceLockPath() {
  // The runtime folder counts only when it is really ours: a missing one would leave no lock at
  // all, a shared one would let another user hold or plant it.
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/' && IsPrivateDir(runtime)) {
    return std::string(runtime) + "/sonavarium.lock";
  }
  return PrivateUserDir() + "sonavarium.lock";
}

TInstanceLock AcquireSingleInstance() {
  // O_NOFOLLOW: a planted link must not redirect us.
  const int fd = open(SingleInstanceLockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return TInstanceLock::Unavailable;
  int rc;
  do {
    rc = flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc == 0) return TInstanceLock::Acquired;  // fd deliberately kept open for the process life
  const bool held = errno == EWOULDBLOCK;
  close(fd);
  return held ? TInstanceLock::HeldByOther : TInstanceLock::Unavailable;
}
