#include "engine/core/zrnStreams.h"

#include <cerrno>
#include <algorithm>
#include <cstring>

void TZRNStream::ReadBuffer(void* buffer, int64_t count) {
  if (count <= 0) return;
  if (Read(buffer, count) != count) throw EZRNStreamError("Stream read error");
}

void TZRNStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count <= 0) return;
  if (Write(buffer, count) != count) throw EZRNStreamError("Stream write error");
}

int64_t TZRNMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || Pos >= Size()) return 0;
  const int64_t n = std::min(count, Size() - Pos);
  std::memcpy(buffer, Bytes.data() + Pos, static_cast<size_t>(n));
  Pos += n;
  return n;
}

int64_t TZRNMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t end = Pos + count;
  if (end > Size()) Bytes.resize(static_cast<size_t>(end));
  std::memcpy(Bytes.data() + Pos, buffer, static_cast<size_t>(count));
  Pos = end;
  return count;
}

int64_t TZRNMemoryStream::Seek(int64_t offset, TZRNSeekOrigin origin) {
  int64_t base = 0;
  if (origin == soCurrent) base = Pos;
  else if (origin == soEnd) base = Size();
  const int64_t target = base + offset;
  if (target >= 0) Pos = target;
  return Pos;
}

TZRNFileStream::TZRNFileStream(const std::string& fileName, TZRNFileMode mode) {
  File = std::fopen(fileName.c_str(), mode == TZRNFileMode::Read ? "rb" : "w+b");
  if (!File) {
    throw EZRNStreamError(Format("Cannot open file \"%s\". %s", fileName.c_str(), std::strerror(errno)));
  }
}

TZRNFileStream::~TZRNFileStream() {
  if (File) std::fclose(File);
}

int64_t TZRNFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  return static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), File));
}

int64_t TZRNFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  return static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), File));
}

int64_t TZRNFileStream::Seek(int64_t offset, TZRNSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  std::fseek(File, static_cast<long>(offset), whence);
  return Position();
}

int64_t TZRNFileStream::Position() { return static_cast<int64_t>(std::ftell(File)); }

int64_t TZRNFileStream::Size() {
  const long here = std::ftell(File);
  std::fseek(File, 0, SEEK_END);
  const long size = std::ftell(File);
  std::fseek(File, here, SEEK_SET);
  return size;
}

void WriteString(TZRNStream& stream, const std::string& s) {
  const uint16_t len = static_cast<uint16_t>(s.size() % 65536);
  stream.WriteValue(len);
  stream.WriteBuffer(s.data(), len);
}

std::string ReadString(TZRNStream& stream) {
  uint16_t len = 0;
  stream.ReadValue(len);
  if (stream.Remaining() < len) {
    throw EZRNStreamError("Stream read errror: String length larger then stream length");
  }
  std::string s(len, '\0');
  stream.ReadBuffer(s.data(), len);
  return s;
}
