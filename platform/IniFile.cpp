#include "platform/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unordered_set>

#include "platform/PlatformError.h"

namespace {

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// A key that reads back as itself.
bool StorableKey(bool pathSection, const std::string& key) {
  const std::string t = Trim(key);
  if (t.empty() || t[0] == '[' || HasLineBreak(key)) return false;
  return pathSection || key.find('=') == std::string::npos;
}

// "[name]" -> name.
bool SectionOf(const std::string& line, std::string& name) {
  const std::string t = Trim(line);
  if (t.empty() || t[0] != '[') return false;
  const size_t close = t.find(']');
  if (close == std::string::npos) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

bool KeyOf(const std::string& line, bool pathSection, std::string& key, std::string* value = nullptr) {
  if (pathSection) {
    if (line.empty()) return false;
    const size_t eq = line.rfind('=');
    key = eq == std::string::npos ? line : line.substr(0, eq);
    if (value) *value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
    return !key.empty();
  }
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(line.substr(0, eq));
  if (value) *value = Trim(line.substr(eq + 1));
  return !key.empty();
}

struct TSectionRange {
  size_t Header;  // index of the "[section]" line
  size_t End;     // one past its last line
};

// Every occurrence of the section, in file order.
std::vector<TSectionRange> FindSections(const std::vector<std::string>& lines, const std::string& section) {
  std::vector<TSectionRange> found;
  std::string name;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!SectionOf(lines[i], name)) continue;
    if (!found.empty() && found.back().End == SIZE_MAX) found.back().End = i;
    if (EqualsNoCase(name, section)) found.push_back({i, SIZE_MAX});
  }
  if (!found.empty() && found.back().End == SIZE_MAX) found.back().End = lines.size();
  return found;
}

// Removes every occurrence of the section; returns where the first one began (or the end).
size_t RemoveSections(std::vector<std::string>& lines, const std::string& section) {
  const std::vector<TSectionRange> ranges = FindSections(lines, section);
  for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
    lines.erase(lines.begin() + static_cast<ptrdiff_t>(it->Header), lines.begin() + static_cast<ptrdiff_t>(it->End));
  }
  return ranges.empty() ? lines.size() : ranges.front().Header;
}

}  // namespace

bool ParseIniInteger(const std::string& text, int32_t& value) {
  const std::string t = Trim(text);
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  bool hex = false;
  if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= t.size()) return false;
  uint64_t magnitude = 0;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  if (hex) {
    // Hexadecimal covers the full 32 bits: 0xFFFFFFFF is -1.
    const uint32_t bits = static_cast<uint32_t>(magnitude);
    value = static_cast<int32_t>(negative ? 0u - bits : bits);
    return true;
  }
  if (negative ? magnitude > 2147483648ull : magnitude > 2147483647ull) return false;
  value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude));
  return true;
}

TIniFile::TIniFile(std::string fileName, std::vector<std::string> pathSections)
    : FileName_(std::move(fileName)), PathSections(std::move(pathSections)) {}

bool TIniFile::IsPathSection(const std::string& section) const {
  for (const std::string& s : PathSections) {
    if (EqualsNoCase(s, section)) return true;
  }
  return false;
}

bool TIniFile::KeysMatch(bool pathSection, const std::string& a, const std::string& b) const {
  return pathSection ? a == b : EqualsNoCase(a, b);
}

std::vector<std::string> TIniFile::LoadLines() const {
  std::vector<std::string> lines;
  std::ifstream in(FileName_, std::ios::binary);
  if (!in) return lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

void TIniFile::FailWrite() const { throw EPlatformError("Unable to write to " + FileName_); }

void TIniFile::Store(const std::vector<std::string>& lines) const {
  // Write through a symbolic link to its target rather than replacing the link.
  std::string target = FileName_;
  struct stat st {};
  for (int depth = 0; depth < 8 && lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode); ++depth) {
    char link[4096];
    const ssize_t n = readlink(target.c_str(), link, sizeof link - 1);
    if (n <= 0) break;
    const std::string to(link, static_cast<size_t>(n));
    const size_t slash = target.rfind('/');
    target = to[0] == '/' || slash == std::string::npos ? to : target.substr(0, slash + 1) + to;
  }
  const bool exists = stat(target.c_str(), &st) == 0;
  // A file the user made read-only stays unwritten, even though its directory would allow a rename.
  if (exists && access(target.c_str(), W_OK) != 0) FailWrite();

  std::string content;
  for (const std::string& line : lines) {
    content += line;
    content += '\n';
  }

  const size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  static unsigned counter = 0;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = target + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(counter++);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) FailWrite();

  bool ok = true;
  size_t done = 0;
  while (ok && done < content.size()) {
    const ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<size_t>(n);
  }
  if (ok && exists) ok = fchmod(fd, st.st_mode & 07777) == 0;
  if (ok) ok = fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    FailWrite();
  }
  // Make the rename itself durable.
  const int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    fsync(dirFd);
    close(dirFd);
  }
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  const bool paths = IsPathSection(section);
  const std::vector<std::string> lines = LoadLines();
  std::string k, v;
  for (const TSectionRange& r : FindSections(lines, section)) {
    for (size_t i = r.Header + 1; i < r.End; ++i) {
      if (KeyOf(lines[i], paths, k, &v) && KeysMatch(paths, k, key)) return v;
    }
  }
  return defaultValue;
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const {
  int32_t value;
  return ParseIniInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
  const bool paths = IsPathSection(section);
  const std::vector<std::string> lines = LoadLines();
  std::vector<std::string> keys;
  std::string k;
  for (const TSectionRange& r : FindSections(lines, section)) {
    for (size_t i = r.Header + 1; i < r.End; ++i) {
      if (KeyOf(lines[i], paths, k)) keys.push_back(k);
    }
  }
  return keys;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  const bool paths = IsPathSection(section);
  if (section.empty() || HasLineBreak(section) || HasLineBreak(value) || !StorableKey(paths, key)) FailWrite();
  std::vector<std::string> lines = LoadLines();
  const std::string newLine = key + "=" + value;
  const std::vector<TSectionRange> ranges = FindSections(lines, section);
  if (ranges.empty()) {
    lines.push_back("[" + section + "]");
    lines.push_back(newLine);
    Store(lines);
    return;
  }
  std::string k;
  for (const TSectionRange& r : ranges) {
    for (size_t i = r.Header + 1; i < r.End; ++i) {
      if (KeyOf(lines[i], paths, k) && KeysMatch(paths, k, key)) {
        lines[i] = newLine;
        Store(lines);
        return;
      }
    }
  }
  // New key: after the last non-blank line of the first occurrence of the section.
  size_t at = ranges.front().End;
  while (at > ranges.front().Header + 1 && Trim(lines[at - 1]).empty()) --at;
  lines.insert(lines.begin() + static_cast<ptrdiff_t>(at), newLine);
  Store(lines);
}

bool TIniFile::CanStoreKey(const std::string& section, const std::string& key) const {
  return StorableKey(IsPathSection(section), key);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(const std::string& section) {
  std::vector<std::string> lines = LoadLines();
  if (FindSections(lines, section).empty()) return;
  RemoveSections(lines, section);
  Store(lines);
}

void TIniFile::ReplaceSection(const std::string& section, const std::vector<std::string>& keys) {
  if (section.empty() || HasLineBreak(section)) FailWrite();
  const bool paths = IsPathSection(section);
  std::vector<std::string> lines = LoadLines();
  const bool existed = !FindSections(lines, section).empty();
  const size_t at = RemoveSections(lines, section);

  std::vector<std::string> block;
  block.reserve(keys.size() + 1);
  block.push_back("[" + section + "]");
  std::unordered_set<std::string> seen;
  seen.reserve(keys.size());
  for (const std::string& key : keys) {
    if (!StorableKey(paths, key)) continue;
    std::string identity = key;
    if (!paths) {
      identity = Trim(key);
      for (char& c : identity) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      }
    }
    if (!seen.insert(identity).second) continue;
    block.push_back(key + "=");
  }
  if (block.size() == 1) {
    if (existed) Store(lines);
    return;
  }
  lines.insert(lines.begin() + static_cast<ptrdiff_t>(at), block.begin(), block.end());
  Store(lines);
}
