#include "platform/Log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/ProgramDir.h"
#include "platform/UserFiles.h"

bool LogLineIn(const std::string& directory, const std::string& text) {
  // No O_CREAT: a missing file means logging is off.
  const std::string path = directory + "Debug.txt";
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return false;
  const std::string line = text + "\r\n";
  size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = write(fd, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  close(fd);
  return done == line.size();
}

bool LogLine(const std::string& text) { return LogLineIn(UserFileDir(ExecutableDir()), text); }

void ReportFault(const std::string& text) {
  const int saved = errno;
  if (!LogLine(text)) std::fprintf(stderr, "sonavarium: %s\n", text.c_str());
  errno = saved;
}
