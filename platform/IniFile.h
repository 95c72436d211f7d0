#pragma once
// The options file in INI layout ("[section]" lines, then "key=value" lines).
//
// There is no cached copy: every read parses the file on disk and every write replaces it at
// once, atomically (a temporary file in the same directory, flushed, synced and renamed over), so
// a crash, a kill or a full disk leaves either the old file or the new one.
//
// Sections and ordinary keys match without regard to ASCII letter case. Sections declared as
// path sections hold file paths as keys: those keys compare exactly, are not trimmed, and a
// line's key runs to its LAST "=" (a path may itself contain "=").
#include <cstdint>
#include <string>
#include <vector>

class TIniFile {
 public:
  explicit TIniFile(std::string fileName, std::vector<std::string> pathSections = {});

  const std::string& FileName() const { return FileName_; }

  // Reads give the default when the file, section or key is missing or unreadable.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // Decimal, optionally signed; "0x"/"0X" introduces hexadecimal. Out-of-range text is unreadable.
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const;
  // Any integer other than 0 is true.
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
  // Key names of a section in file order.
  std::vector<std::string> ReadSection(const std::string& section) const;

  // Writes create the file, section or key as needed and replace an existing key's value.
  // A refused write raises EPlatformError "Unable to write to <file name>".
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  void EraseSection(const std::string& section);
  // Replaces a whole section by the given keys with empty values, in order, in one file write.
  // Repeated keys are stored once; keys that could not be read back as such (empty, holding a
  // line break, starting with "[") are left out. No keys: the section is removed.
  void ReplaceSection(const std::string& section, const std::vector<std::string>& keys);
  // Whether the key can be written to the section and read back as itself.
  bool CanStoreKey(const std::string& section, const std::string& key) const;

 private:
  struct TLine;
  bool IsPathSection(const std::string& section) const;
  bool KeysMatch(bool pathSection, const std::string& a, const std::string& b) const;
  std::vector<std::string> LoadLines() const;
  void Store(const std::vector<std::string>& lines) const;
  [[noreturn]] void FailWrite() const;

  std::string FileName_;
  std::vector<std::string> PathSections;
};

// Parses an integer the way the options file stores it; false when the text is not one.
bool ParseIniInteger(const std::string& text, int32_t& value);
