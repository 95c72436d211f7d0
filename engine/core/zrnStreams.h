#pragma once
// Byte streams that the engine's file formats read and write, and their string encoding.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/core/zrnClasses.h"

class EZRNStreamError : public EZRNError {
 public:
  using EZRNError::EZRNError;
};

enum TZRNSeekOrigin : int { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TZRNStream {
 public:
  virtual ~TZRNStream() = default;
  // Returns the number of bytes actually transferred.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Returns the new position.
  virtual int64_t Seek(int64_t offset, TZRNSeekOrigin origin) = 0;
  virtual int64_t Position() = 0;
  virtual int64_t Size() = 0;

  int64_t Remaining() { return Size() - Position(); }
  // Reads exactly count bytes or fails with "Stream read error".
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);

  // Little-endian scalars. A short read leaves the value as it was.
  template <typename T>
  bool ReadValue(T& value) {
    T tmp;
    if (Read(&tmp, sizeof(T)) != static_cast<int64_t>(sizeof(T))) return false;
    value = tmp;
    return true;
  }
  template <typename T>
  void WriteValue(const T& value) {
    WriteBuffer(&value, sizeof(T));
  }
};

class TZRNMemoryStream : public TZRNStream {
 public:
  TZRNMemoryStream() = default;
  explicit TZRNMemoryStream(std::vector<uint8_t> bytes) : Bytes(std::move(bytes)) {}
  TZRNMemoryStream(const void* data, size_t size)
      : Bytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TZRNSeekOrigin origin) override;
  int64_t Position() override { return Pos; }
  int64_t Size() override { return static_cast<int64_t>(Bytes.size()); }

  std::vector<uint8_t> Bytes;
  int64_t Pos = 0;
};

enum class TZRNFileMode { Read, Create };

class TZRNFileStream : public TZRNStream {
 public:
  // Read opens an existing file; Create truncates or creates one. Fails with EZRNStreamError.
  TZRNFileStream(const std::string& fileName, TZRNFileMode mode);
  ~TZRNFileStream() override;
  TZRNFileStream(const TZRNFileStream&) = delete;
  TZRNFileStream& operator=(const TZRNFileStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TZRNSeekOrigin origin) override;
  int64_t Position() override;
  int64_t Size() override;

 private:
  std::FILE* File = nullptr;
};

// Unsigned 16-bit little-endian byte length, then the bytes, no terminator.
void WriteString(TZRNStream& stream, const std::string& s);
// Fails with "Stream read errror: String length larger then stream length" when the
// stream holds fewer bytes than the stored length.
std::string ReadString(TZRNStream& stream);
