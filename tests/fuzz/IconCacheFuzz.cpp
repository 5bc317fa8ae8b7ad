// Fuzzes the icon cache's reader: any bytes must load or be refused, never
// crash or read out of bounds (sanitizers); what loads must save to bytes
// that load back the same, and a store must answer only with icons of its
// own size. The first byte chooses: odd, the harness writes the right
// checksum over the rest, so that the fuzzer gets past it to the entries.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "launcher/MenuIcons.h"
#include "tests/core/Fakes.h"
#include "tests/core/IconCacheBytes.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// C:\A.EXE is there, unchanged since stamp {1, 1}; nothing else is.
class TOneFile : public IIconPlatform {
 public:
  bool Stamp(const std::string& path, TFileStamp& stamp) override {
    stamp = {1, 1};
    return path == "C:\\A.EXE";
  }
  bool IsQuick(const std::string&) override { return true; }
  bool Extract(const std::string&, int, TIconPixels&) override { return false; }
  bool IsRemoteDrive(const std::string&) override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if ((data[0] & 1) && bytes.size() >= 4) {
    const uint32_t sum = IconCacheChecksum(bytes.data(), bytes.size() - 4);
    for (size_t i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<char>(sum >> (8 * i));
  }

  TIconCache cache;
  if (cache.Load(bytes)) {
    const std::string saved = cache.Bytes();
    TIconCache again;
    size_t dropped = 0;
    Require(again.Load(saved, &dropped) && dropped == 0 && again.Count() == cache.Count() && again.Bytes() == saved);
  }

  // As a popup reads it at its start.
  static TFakeFiles files;
  static TOneFile platform;
  files.Files["cache"] = bytes;
  for (int iconSize : {2, 16}) {
    TIconStore store(platform, files, "cache", iconSize);
    TIconPixels icon;
    if (store.Quick("C:\\A.EXE", icon) == TIconStore::iaIcon)
      Require(icon.Size == iconSize && icon.Pixels.size() == static_cast<size_t>(iconSize * iconSize));
  }
  return 0;
}
