#include "update/Signature_win.h"

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>

#include "model/Wide_win.h"

namespace {

// A verify-only context: no key container is opened or created.
class TProvider {
 public:
  TProvider() {
    if (!CryptAcquireContextW(&handle_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) handle_ = 0;
  }
  ~TProvider() {
    if (handle_) CryptReleaseContext(handle_, 0);
  }
  TProvider(const TProvider&) = delete;
  TProvider& operator=(const TProvider&) = delete;
  HCRYPTPROV Get() const { return handle_; }

 private:
  HCRYPTPROV handle_ = 0;
};

class TSha256 {
 public:
  explicit TSha256(const TProvider& provider) {
    if (!provider.Get() || !CryptCreateHash(provider.Get(), CALG_SHA_256, 0, 0, &handle_)) handle_ = 0;
  }
  ~TSha256() {
    if (handle_) CryptDestroyHash(handle_);
  }
  TSha256(const TSha256&) = delete;
  TSha256& operator=(const TSha256&) = delete;
  HCRYPTHASH Get() const { return handle_; }
  bool Add(const void* data, DWORD size) {
    return handle_ && CryptHashData(handle_, static_cast<const BYTE*>(data), size, 0);
  }

 private:
  HCRYPTHASH handle_ = 0;
};

class TPublicKey {
 public:
  TPublicKey(const TProvider& provider, const std::string& pem) {
    if (!provider.Get()) return;
    const std::wstring text = W(pem);
    DWORD size = 0;
    if (!CryptStringToBinaryW(text.c_str(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64HEADER, nullptr,
                              &size, nullptr, nullptr))
      return;
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryW(text.c_str(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64HEADER, der.data(),
                              &size, nullptr, nullptr))
      return;
    CERT_PUBLIC_KEY_INFO* info = nullptr;
    DWORD infoSize = 0;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO, der.data(), size, CRYPT_DECODE_ALLOC_FLAG,
                             nullptr, &info, &infoSize))
      return;
    if (!CryptImportPublicKeyInfo(provider.Get(), X509_ASN_ENCODING, info, &handle_)) handle_ = 0;
    LocalFree(info);
  }
  ~TPublicKey() {
    if (handle_) CryptDestroyKey(handle_);
  }
  TPublicKey(const TPublicKey&) = delete;
  TPublicKey& operator=(const TPublicKey&) = delete;
  HCRYPTKEY Get() const { return handle_; }

 private:
  HCRYPTKEY handle_ = 0;
};

// A file closed however the scope is left.
class TReadFile {
 public:
  explicit TReadFile(const std::string& path)
      : handle_(CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}
  ~TReadFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  TReadFile(const TReadFile&) = delete;
  TReadFile& operator=(const TReadFile&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::string LowerCase(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

std::string FileSha256Hex(const std::string& path) {
  TReadFile file(path);
  return file.Get() == INVALID_HANDLE_VALUE ? "" : Sha256Hex(file.Get());
}

std::string Sha256Hex(HANDLE file) {
  LARGE_INTEGER start = {};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return "";
  TProvider provider;
  TSha256 hash(provider);
  std::vector<char> block(65536);
  DWORD read = 0;
  do {
    if (!ReadFile(file, block.data(), static_cast<DWORD>(block.size()), &read, nullptr)) return "";
    if (read && !hash.Add(block.data(), read)) return "";
  } while (read);
  BYTE value[32];
  DWORD size = sizeof value;
  if (!CryptGetHashParam(hash.Get(), HP_HASHVAL, value, &size, 0) || size != sizeof value) return "";
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (BYTE b : value) {
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

bool VerifySignature(const std::string& text, const std::string& signatureBase64, const std::string& publicKeyPem) {
  std::string signature;
  if (signatureBase64.empty() || !DecodeBase64(signatureBase64, signature)) return false;
  TProvider provider;
  TPublicKey key(provider, publicKeyPem);
  TSha256 hash(provider);
  if (!key.Get() || !hash.Add(text.data(), static_cast<DWORD>(text.size()))) return false;
  // CryptoAPI takes the signature as a little-endian number, openssl writes
  // it big-endian.
  std::reverse(signature.begin(), signature.end());
  return CryptVerifySignatureW(hash.Get(), reinterpret_cast<const BYTE*>(signature.data()),
                               static_cast<DWORD>(signature.size()), key.Get(), nullptr, 0);
}

TVerification VerifyReleaseSection(IUpdateInfo& info, const std::string& programName,
                                   const std::vector<std::string>& acceptedKeysPem) {
  TVerification result;
  result.Error = UnverifiedUpdateMessage;
  const std::string sha256 = info.Read(programName, "SHA256", "");
  const std::string signature = info.Read(programName, "Signature", "");
  if (!IsSha256Hex(sha256) || signature.empty()) return result;
  const std::string text = SignedReleaseText(programName, info.Read(programName, "Date", ""),
                                             info.Read(programName, "File", ""), sha256,
                                             info.Read(programName, "News", ""));
  if (!std::any_of(acceptedKeysPem.begin(), acceptedKeysPem.end(),
                   [&](const std::string& key) { return VerifySignature(text, signature, key); }))
    return result;
  result.Ok = true;
  result.Error.clear();
  return result;
}

TVerification VerifyUpdateArchive(IUpdateInfo& info, const std::string& programName, HANDLE archive,
                                  const std::vector<std::string>& acceptedKeysPem) {
  TVerification result = VerifyReleaseSection(info, programName, acceptedKeysPem);
  // Hashed only after the signature holds: the archive can be large.
  if (result.Ok && Sha256Hex(archive) != LowerCase(info.Read(programName, "SHA256", ""))) {
    result.Ok = false;
    result.Error = UnverifiedUpdateMessage;
  }
  return result;
}

TVerification VerifyUpdateArchive(IUpdateInfo& info, const std::string& programName, const std::string& archivePath,
                                  const std::vector<std::string>& acceptedKeysPem) {
  TReadFile file(archivePath);
  if (file.Get() == INVALID_HANDLE_VALUE) {
    TVerification result;
    result.Error = UnverifiedUpdateMessage;
    return result;
  }
  return VerifyUpdateArchive(info, programName, file.Get(), acceptedKeysPem);
}
