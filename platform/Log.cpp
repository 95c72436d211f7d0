#include "platform/Log.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/ProgramDir.h"
#include "platform/UserFiles.h"

void LogLineIn(const std::string& directory, const std::string& text) {
  // No O_CREAT: a missing file means logging is off.
  const std::string path = directory + "Debug.txt";
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return;
  const std::string line = text + "\r\n";
  size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = write(fd, line.data() + done, line.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  close(fd);
}

void LogLine(const std::string& text) { LogLineIn(UserFileDir(ExecutableDir()), text); }
