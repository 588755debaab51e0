// The cryptographic service on OpenSSL: RSA keys as EVP_PKEYs, converted to and from
// the Windows key blobs by hand (the layout is fixed: header, RSAPUBKEY, then the
// numbers least-significant byte first at fixed widths), MD5 hashing, and PKCS #1
// v1.5 signatures reversed into the providers' byte order.
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>
#include <openssl/rsa.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "wincrypt.h"

namespace {

constexpr DWORD kMagicPublic = 0x31415352;   // "RSA1"
constexpr DWORD kMagicPrivate = 0x32415352;  // "RSA2"

struct Provider;

struct Key {
  Provider* provider = nullptr;
  EVP_PKEY* pkey = nullptr;
  bool isPrivate = false;
  bool exportable = false;
  ALG_ID algorithm = CALG_RSA_SIGN;
  ~Key() { EVP_PKEY_free(pkey); }
};

struct Provider {
  // The signature key pair the context signs with; owned by the key objects' handles
  // as well, so it is reference-counted.
  EVP_PKEY* signatureKey = nullptr;
  ~Provider() { EVP_PKEY_free(signatureKey); }
  void setSignatureKey(EVP_PKEY* pkey) {
    EVP_PKEY_up_ref(pkey);
    EVP_PKEY_free(signatureKey);
    signatureKey = pkey;
  }
};

struct Hash {
  Provider* provider = nullptr;
  EVP_MD_CTX* context = nullptr;
  std::vector<unsigned char> digest;  // set once the hash is finished
  ~Hash() { EVP_MD_CTX_free(context); }
};

// The live objects of each kind, so that a stale or foreign handle is refused.
template <typename T>
struct Registry {
  std::mutex lock;
  std::set<T*> live;
  std::uintptr_t add(T* object) {
    std::lock_guard<std::mutex> guard(lock);
    live.insert(object);
    return reinterpret_cast<std::uintptr_t>(object);
  }
  T* find(std::uintptr_t handle) {
    std::lock_guard<std::mutex> guard(lock);
    auto found = live.find(reinterpret_cast<T*>(handle));
    return found == live.end() ? nullptr : *found;
  }
  bool remove(std::uintptr_t handle) {
    std::lock_guard<std::mutex> guard(lock);
    auto found = live.find(reinterpret_cast<T*>(handle));
    if (found == live.end()) return false;
    delete *found;
    live.erase(found);
    return true;
  }
};

Registry<Provider>& providers() {
  static Registry<Provider> instance;
  return instance;
}
Registry<Key>& keys() {
  static Registry<Key> instance;
  return instance;
}
Registry<Hash>& hashes() {
  static Registry<Hash> instance;
  return instance;
}

BOOL fail(HRESULT code) {
  SetLastError(static_cast<DWORD>(code));
  return FALSE;
}

// A null buffer asks for the size; a small one fails with ERROR_MORE_DATA.
BOOL give(const std::vector<BYTE>& bytes, BYTE* out, DWORD* size) {
  if (size == nullptr) return fail(ERROR_INVALID_PARAMETER);
  const auto needed = static_cast<DWORD>(bytes.size());
  if (out != nullptr && *size < needed) {
    *size = needed;
    return fail(ERROR_MORE_DATA);
  }
  if (out != nullptr) std::copy(bytes.begin(), bytes.end(), out);
  *size = needed;
  return TRUE;
}

void putDword(std::vector<BYTE>& out, DWORD value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(value >> (8 * i)));
}

DWORD getDword(const BYTE* at) {
  return DWORD(at[0]) | (DWORD(at[1]) << 8) | (DWORD(at[2]) << 16) | (DWORD(at[3]) << 24);
}

using BigNumber = std::unique_ptr<BIGNUM, decltype(&BN_free)>;

BigNumber parameter(EVP_PKEY* pkey, const char* name) {
  BIGNUM* value = nullptr;
  EVP_PKEY_get_bn_param(pkey, name, &value);
  return BigNumber(value, BN_free);
}

bool putNumber(std::vector<BYTE>& out, EVP_PKEY* pkey, const char* name, int width) {
  BigNumber value = parameter(pkey, name);
  if (!value) return false;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(width));
  return BN_bn2lebinpad(value.get(), out.data() + at, width) == width;
}

// The blob of a key; empty when a number is missing.
std::vector<BYTE> blobOf(const Key& key, bool privateBlob) {
  const int bits = EVP_PKEY_get_bits(key.pkey);
  const int whole = bits / 8;
  const int half = bits / 16;
  std::vector<BYTE> out = {static_cast<BYTE>(privateBlob ? PRIVATEKEYBLOB : PUBLICKEYBLOB),
                           CUR_BLOB_VERSION, 0, 0};
  putDword(out, key.algorithm);
  putDword(out, privateBlob ? kMagicPrivate : kMagicPublic);
  putDword(out, static_cast<DWORD>(bits));
  BigNumber exponent = parameter(key.pkey, OSSL_PKEY_PARAM_RSA_E);
  if (!exponent || BN_num_bytes(exponent.get()) > 4) return {};
  putDword(out, static_cast<DWORD>(BN_get_word(exponent.get())));
  bool ok = putNumber(out, key.pkey, OSSL_PKEY_PARAM_RSA_N, whole);
  if (privateBlob) {
    ok = ok && putNumber(out, key.pkey, OSSL_PKEY_PARAM_RSA_FACTOR1, half) &&
         putNumber(out, key.pkey, OSSL_PKEY_PARAM_RSA_FACTOR2, half) &&
         putNumber(out, key.pkey, OSSL_PKEY_PARAM_RSA_EXPONENT1, half) &&
         putNumber(out, key.pkey, OSSL_PKEY_PARAM_RSA_EXPONENT2, half) &&
         putNumber(out, key.pkey, OSSL_PKEY_PARAM_RSA_COEFFICIENT1, half) &&
         putNumber(out, key.pkey, OSSL_PKEY_PARAM_RSA_D, whole);
  }
  return ok ? out : std::vector<BYTE>();
}

// The key a blob holds; nullptr when the blob is not a well-formed RSA key blob.
EVP_PKEY* keyOfBlob(const BYTE* data, DWORD length, bool& isPrivate, ALG_ID& algorithm) {
  if (data == nullptr || length < 20) return nullptr;
  const BYTE type = data[0];
  if ((type != PUBLICKEYBLOB && type != PRIVATEKEYBLOB) || data[1] != CUR_BLOB_VERSION)
    return nullptr;
  isPrivate = type == PRIVATEKEYBLOB;
  algorithm = getDword(data + 4);
  if (algorithm != CALG_RSA_SIGN && algorithm != CALG_RSA_KEYX) return nullptr;
  if (getDword(data + 8) != (isPrivate ? kMagicPrivate : kMagicPublic)) return nullptr;
  const DWORD bits = getDword(data + 12);
  const DWORD exponent = getDword(data + 16);
  if (bits < 384 || bits > 16384 || bits % 16 != 0 || exponent == 0) return nullptr;
  const DWORD whole = bits / 8;
  const DWORD half = bits / 16;
  const DWORD needed = 20 + (isPrivate ? whole * 2 + half * 5 : whole);
  if (length < needed) return nullptr;

  const BYTE* at = data + 20;
  std::vector<BigNumber> numbers;
  auto take = [&](DWORD width) {
    numbers.emplace_back(BN_lebin2bn(at, static_cast<int>(width), nullptr), BN_free);
    at += width;
    return numbers.back().get();
  };
  BigNumber e(BN_new(), BN_free);
  BN_set_word(e.get(), exponent);
  OSSL_PARAM_BLD* build = OSSL_PARAM_BLD_new();
  OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_RSA_N, take(whole));
  OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_RSA_E, e.get());
  if (isPrivate) {
    OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_RSA_FACTOR1, take(half));
    OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_RSA_FACTOR2, take(half));
    OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_RSA_EXPONENT1, take(half));
    OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_RSA_EXPONENT2, take(half));
    OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_RSA_COEFFICIENT1, take(half));
    OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_RSA_D, take(whole));
  }
  OSSL_PARAM* params = OSSL_PARAM_BLD_to_param(build);
  OSSL_PARAM_BLD_free(build);
  EVP_PKEY* pkey = nullptr;
  EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr);
  if (context != nullptr && params != nullptr && EVP_PKEY_fromdata_init(context) > 0) {
    EVP_PKEY_fromdata(context, &pkey, isPrivate ? EVP_PKEY_KEYPAIR : EVP_PKEY_PUBLIC_KEY, params);
  }
  EVP_PKEY_CTX_free(context);
  OSSL_PARAM_free(params);
  return pkey;
}

// Finishes the hash once; later calls return the same digest.
const std::vector<unsigned char>& digestOf(Hash& hash) {
  if (hash.digest.empty()) {
    unsigned char value[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(hash.context, value, &length);
    hash.digest.assign(value, value + length);
  }
  return hash.digest;
}

EVP_PKEY_CTX* signatureContext(EVP_PKEY* pkey, bool signing) {
  EVP_PKEY_CTX* context = EVP_PKEY_CTX_new(pkey, nullptr);
  const bool ready = context != nullptr &&
                     (signing ? EVP_PKEY_sign_init(context) : EVP_PKEY_verify_init(context)) > 0 &&
                     EVP_PKEY_CTX_set_rsa_padding(context, RSA_PKCS1_PADDING) > 0 &&
                     EVP_PKEY_CTX_set_signature_md(context, EVP_md5()) > 0;
  if (!ready) {
    EVP_PKEY_CTX_free(context);
    return nullptr;
  }
  return context;
}

}  // namespace

BOOL CryptAcquireContextW(HCRYPTPROV* phProv, LPCWSTR, LPCWSTR, DWORD dwProvType, DWORD) {
  if (phProv == nullptr) return fail(ERROR_INVALID_PARAMETER);
  *phProv = 0;
  if (dwProvType != PROV_RSA_FULL) return fail(NTE_BAD_TYPE);
  *phProv = providers().add(new Provider);
  return TRUE;
}

BOOL CryptReleaseContext(HCRYPTPROV hProv, DWORD) {
  return providers().remove(hProv) ? TRUE : fail(ERROR_INVALID_HANDLE);
}

BOOL CryptGenKey(HCRYPTPROV hProv, ALG_ID Algid, DWORD dwFlags, HCRYPTKEY* phKey) {
  Provider* provider = providers().find(hProv);
  if (provider == nullptr || phKey == nullptr) return fail(ERROR_INVALID_PARAMETER);
  if (Algid != AT_SIGNATURE && Algid != CALG_RSA_SIGN) return fail(NTE_BAD_ALGID);
  const unsigned bits = (dwFlags >> 16) == 0 ? 1024 : dwFlags >> 16;
  if (bits < 384 || bits > 16384 || bits % 8 != 0) return fail(NTE_BAD_FLAGS);
  EVP_PKEY* pkey = nullptr;
  EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr);
  const bool made = context != nullptr && EVP_PKEY_keygen_init(context) > 0 &&
                    EVP_PKEY_CTX_set_rsa_keygen_bits(context, static_cast<int>(bits)) > 0 &&
                    EVP_PKEY_generate(context, &pkey) > 0;
  EVP_PKEY_CTX_free(context);
  if (!made) return fail(NTE_BAD_KEY);
  auto* key = new Key;
  key->provider = provider;
  key->pkey = pkey;
  key->isPrivate = true;
  key->exportable = (dwFlags & CRYPT_EXPORTABLE) != 0;
  provider->setSignatureKey(pkey);
  *phKey = keys().add(key);
  return TRUE;
}

BOOL CryptImportKey(HCRYPTPROV hProv, const BYTE* pbData, DWORD dwDataLen, HCRYPTKEY, DWORD dwFlags,
                    HCRYPTKEY* phKey) {
  Provider* provider = providers().find(hProv);
  if (provider == nullptr || phKey == nullptr) return fail(ERROR_INVALID_PARAMETER);
  bool isPrivate = false;
  ALG_ID algorithm = 0;
  EVP_PKEY* pkey = keyOfBlob(pbData, dwDataLen, isPrivate, algorithm);
  if (pkey == nullptr) return fail(NTE_BAD_DATA);
  auto* key = new Key;
  key->provider = provider;
  key->pkey = pkey;
  key->isPrivate = isPrivate;
  key->exportable = (dwFlags & CRYPT_EXPORTABLE) != 0;
  key->algorithm = algorithm;
  if (isPrivate) provider->setSignatureKey(pkey);
  *phKey = keys().add(key);
  return TRUE;
}

BOOL CryptExportKey(HCRYPTKEY hKey, HCRYPTKEY, DWORD dwBlobType, DWORD, BYTE* pbData,
                    DWORD* pdwDataLen) {
  Key* key = keys().find(hKey);
  if (key == nullptr) return fail(ERROR_INVALID_HANDLE);
  if (dwBlobType != PUBLICKEYBLOB && dwBlobType != PRIVATEKEYBLOB) return fail(NTE_BAD_TYPE);
  const bool privateBlob = dwBlobType == PRIVATEKEYBLOB;
  if (privateBlob && (!key->isPrivate || !key->exportable)) return fail(NTE_BAD_KEY_STATE);
  std::vector<BYTE> blob = blobOf(*key, privateBlob);
  if (blob.empty()) return fail(NTE_BAD_KEY);
  return give(blob, pbData, pdwDataLen);
}

BOOL CryptDestroyKey(HCRYPTKEY hKey) {
  return keys().remove(hKey) ? TRUE : fail(ERROR_INVALID_HANDLE);
}

BOOL CryptCreateHash(HCRYPTPROV hProv, ALG_ID Algid, HCRYPTKEY, DWORD, HCRYPTHASH* phHash) {
  Provider* provider = providers().find(hProv);
  if (provider == nullptr || phHash == nullptr) return fail(ERROR_INVALID_PARAMETER);
  if (Algid != CALG_MD5) return fail(NTE_BAD_ALGID);
  auto* hash = new Hash;
  hash->provider = provider;
  hash->context = EVP_MD_CTX_new();
  if (hash->context == nullptr || EVP_DigestInit_ex(hash->context, EVP_md5(), nullptr) <= 0) {
    delete hash;
    return fail(NTE_BAD_ALGID);
  }
  *phHash = hashes().add(hash);
  return TRUE;
}

BOOL CryptHashData(HCRYPTHASH hHash, const BYTE* pbData, DWORD dwDataLen, DWORD) {
  Hash* hash = hashes().find(hHash);
  if (hash == nullptr) return fail(ERROR_INVALID_HANDLE);
  if (!hash->digest.empty()) return fail(NTE_BAD_HASH);  // finished by a signature
  if (dwDataLen > 0 && pbData == nullptr) return fail(ERROR_INVALID_PARAMETER);
  if (dwDataLen > 0) EVP_DigestUpdate(hash->context, pbData, dwDataLen);
  return TRUE;
}

BOOL CryptDestroyHash(HCRYPTHASH hHash) {
  return hashes().remove(hHash) ? TRUE : fail(ERROR_INVALID_HANDLE);
}

BOOL CryptSignHashW(HCRYPTHASH hHash, DWORD dwKeySpec, LPCWSTR, DWORD, BYTE* pbSignature,
                    DWORD* pdwSigLen) {
  Hash* hash = hashes().find(hHash);
  if (hash == nullptr || pdwSigLen == nullptr) return fail(ERROR_INVALID_PARAMETER);
  if (dwKeySpec != AT_SIGNATURE) return fail(NTE_NO_KEY);
  // The provider may have been released while the hash lived: it must still be live.
  Provider* provider = providers().find(reinterpret_cast<std::uintptr_t>(hash->provider));
  if (provider == nullptr || provider->signatureKey == nullptr) return fail(NTE_NO_KEY);
  const auto size = static_cast<DWORD>(EVP_PKEY_get_size(provider->signatureKey));
  if (pbSignature == nullptr) {
    *pdwSigLen = size;
    return TRUE;
  }
  if (*pdwSigLen < size) {
    *pdwSigLen = size;
    return fail(ERROR_MORE_DATA);
  }
  const std::vector<unsigned char>& digest = digestOf(*hash);
  EVP_PKEY_CTX* context = signatureContext(provider->signatureKey, true);
  size_t length = size;
  const bool signedOk = context != nullptr && EVP_PKEY_sign(context, pbSignature, &length,
                                                            digest.data(), digest.size()) > 0;
  EVP_PKEY_CTX_free(context);
  if (!signedOk) return fail(NTE_BAD_KEY);
  std::reverse(pbSignature, pbSignature + length);
  *pdwSigLen = static_cast<DWORD>(length);
  return TRUE;
}

BOOL CryptVerifySignatureW(HCRYPTHASH hHash, const BYTE* pbSignature, DWORD dwSigLen,
                           HCRYPTKEY hPubKey, LPCWSTR, DWORD) {
  Hash* hash = hashes().find(hHash);
  Key* key = keys().find(hPubKey);
  if (hash == nullptr || key == nullptr) return fail(ERROR_INVALID_HANDLE);
  if (pbSignature == nullptr) return fail(ERROR_INVALID_PARAMETER);
  std::vector<unsigned char> signature(pbSignature, pbSignature + dwSigLen);
  std::reverse(signature.begin(), signature.end());
  const std::vector<unsigned char>& digest = digestOf(*hash);
  EVP_PKEY_CTX* context = signatureContext(key->pkey, false);
  const bool verified =
      context != nullptr && EVP_PKEY_verify(context, signature.data(), signature.size(),
                                            digest.data(), digest.size()) == 1;
  EVP_PKEY_CTX_free(context);
  return verified ? TRUE : fail(NTE_BAD_SIGNATURE);
}
