#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int OpenRegularFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = S_ISREG(st.st_mode) ? errno : EINVAL;
    close(fd);
    errno = error;
    return -1;
  }
  // Regular files never block; readers expect ordinary blocking reads.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool ReadRegularFile(const std::string& path, int64_t maxBytes, std::string& text, int& error) {
  text.clear();
  error = 0;
  const int fd = OpenRegularFile(path);
  if (fd < 0) {
    error = errno;
    return false;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0) error = errno;
  else if (st.st_size > maxBytes) error = EFBIG;
  char buffer[65536];
  while (error == 0) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
    // The file may grow while it is read.
    if (static_cast<int64_t>(text.size()) > maxBytes) error = EFBIG;
  }
  close(fd);
  if (error != 0) text.clear();
  return error == 0;
}
