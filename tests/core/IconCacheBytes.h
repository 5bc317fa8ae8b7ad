// The icon cache's file written out by hand: for tests and the fuzzer, which
// need files the program itself would never write.
#pragma once

#include <cstdint>
#include <string>

inline uint32_t IconCacheChecksum(const char* data, size_t size) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<unsigned char>(data[i])) * 16777619u;
  return hash;
}

inline void PutLittleEndian(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// One entry: its key as stored ("C:\\PATH|16"), stamp, icon size and, when
// colour is not 0, size x size pixels of it.
inline std::string IconCacheEntry(const std::string& key, uint64_t time, uint64_t fileSize, int iconSize,
                                  uint32_t colour) {
  std::string out;
  PutLittleEndian(out, key.size(), 2);
  out += key;
  PutLittleEndian(out, time, 8);
  PutLittleEndian(out, fileSize, 8);
  PutLittleEndian(out, static_cast<uint64_t>(iconSize), 2);
  out += colour ? '\1' : '\0';
  if (colour)
    for (int i = 0; i < iconSize * iconSize; ++i) PutLittleEndian(out, colour, 4);
  return out;
}

// The whole file of count entries, with its checksum.
inline std::string IconCacheFileOf(uint32_t count, const std::string& entries) {
  std::string out = "TRVICONS1";
  PutLittleEndian(out, count, 4);
  out += entries;
  PutLittleEndian(out, IconCacheChecksum(out.data(), out.size()), 4);
  return out;
}
