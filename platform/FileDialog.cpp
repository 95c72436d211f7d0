#include "platform/FileDialog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/PlatformError.h"
#include "platform/Spawn.h"

namespace {

std::string JoinPatterns(const std::vector<std::string>& patterns) {
  std::string joined;
  for (const std::string& p : patterns) {
    if (!joined.empty()) joined += ' ';
    joined += p;
  }
  return joined;
}

std::vector<std::string> ZenityArguments(const std::string& path, const std::string& title,
                                         const std::vector<TFileFilter>& filters, uint64_t owner) {
  std::vector<std::string> args = {path, "--file-selection", "--title=" + title};
  for (const TFileFilter& f : filters) args.push_back("--file-filter=" + f.Name + " | " + JoinPatterns(f.Patterns));
  if (owner != 0) args.push_back("--attach=" + std::to_string(owner));
  return args;
}

std::vector<std::string> KdialogArguments(const std::string& path, const std::string& title,
                                          const std::vector<TFileFilter>& filters, uint64_t owner) {
  std::vector<std::string> args = {path, "--title", title};
  if (owner != 0) {
    args.push_back("--attach");
    args.push_back(std::to_string(owner));
  }
  std::string filterText;
  for (const TFileFilter& f : filters) {
    if (!filterText.empty()) filterText += '\n';
    filterText += JoinPatterns(f.Patterns) + "|" + f.Name;
  }
  // ":sonavarium" lets the chooser remember the folder it was last left in.
  args.insert(args.end(), {"--getopenfilename", ":sonavarium", filterText});
  return args;
}

// Runs the program, returns its exit status and what it printed on standard output.
int RunCapturingOutput(const std::vector<std::string>& args, std::string& output) {
  std::optional<TChildProcess> chooser = TChildProcess::Start(args, {.SearchPath = false, .CaptureOutput = true});
  if (!chooser) throw EPlatformError("Unable to start the file chooser " + args[0]);
  output += chooser->ReadOutput();
  const std::optional<TExitStatus> status = chooser->Wait();
  if (!status) throw EPlatformError("Lost the file chooser " + args[0]);
  if (!status->Exited) throw EPlatformError("The file chooser " + args[0] + " was killed");
  return status->Code;
}

}  // namespace

std::string FindOnPath(const std::string& program) {
  const char* env = std::getenv("PATH");
  const std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  for (;;) {
    const size_t end = path.find(':', start);
    std::string dir = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + program;
    struct stat st {};
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    if (end == std::string::npos) return {};
    start = end + 1;
  }
}

std::optional<std::string> OpenFileDialog(const std::string& title, const std::vector<TFileFilter>& filters,
                                          uint64_t ownerWindow) {
  const std::string zenity = FindOnPath("zenity");
  const std::string kdialog = FindOnPath("kdialog");
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  const bool onKde = desktop && std::strstr(desktop, "KDE");
  const bool useKdialog = !kdialog.empty() && (zenity.empty() || onKde);
  if (!useKdialog && zenity.empty()) throw EPlatformError("No file chooser (zenity or kdialog) is installed");
  auto arguments = [&](uint64_t owner) {
    return useKdialog ? KdialogArguments(kdialog, title, filters, owner) : ZenityArguments(zenity, title, filters, owner);
  };
  std::vector<std::string> args = arguments(ownerWindow);
  std::string output;
  int status = RunCapturingOutput(args, output);
  if (status != 0 && status != 1 && ownerWindow != 0) {
    // A chooser that cannot attach to our window (another display server) may still open alone.
    output.clear();
    args = arguments(0);
    status = RunCapturingOutput(args, output);
  }
  if (status == 1) return std::nullopt;  // cancelled
  if (status != 0) throw EPlatformError("The file chooser " + args[0] + " failed with status " + std::to_string(status));
  if (!output.empty() && output.back() == '\n') output.pop_back();
  if (output.empty()) return std::nullopt;
  return output;
}
