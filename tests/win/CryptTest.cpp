// The cryptographic service: key blobs in the Windows layout round-trip byte for byte,
// malformed blobs are refused, private keys export only when exportable, and
// signatures verify only for their own hash and key.
#include <gtest/gtest.h>
#include <wincrypt.h>

#include <vector>

namespace {

struct Session {
  HCRYPTPROV provider = 0;
  Session() {
    EXPECT_TRUE(
        CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
  }
  ~Session() { CryptReleaseContext(provider, 0); }
};

std::vector<BYTE> exportBlob(HCRYPTKEY key, DWORD type) {
  DWORD size = 0;
  if (!CryptExportKey(key, 0, type, 0, nullptr, &size)) return {};
  std::vector<BYTE> blob(size);
  if (!CryptExportKey(key, 0, type, 0, blob.data(), &size)) return {};
  return blob;
}

std::vector<BYTE> sign(HCRYPTPROV provider, const std::vector<BYTE>& data) {
  HCRYPTHASH hash = 0;
  EXPECT_TRUE(CryptCreateHash(provider, CALG_MD5, 0, 0, &hash));
  CryptHashData(hash, data.data(), static_cast<DWORD>(data.size()), 0);
  DWORD size = 0;
  EXPECT_TRUE(CryptSignHashW(hash, AT_SIGNATURE, nullptr, 0, nullptr, &size));
  std::vector<BYTE> signature(size);
  EXPECT_TRUE(CryptSignHashW(hash, AT_SIGNATURE, nullptr, 0, signature.data(), &size));
  CryptDestroyHash(hash);
  return signature;
}

bool verify(HCRYPTPROV provider, const std::vector<BYTE>& data, const std::vector<BYTE>& signature,
            HCRYPTKEY key) {
  HCRYPTHASH hash = 0;
  CryptCreateHash(provider, CALG_MD5, 0, 0, &hash);
  CryptHashData(hash, data.data(), static_cast<DWORD>(data.size()), 0);
  const BOOL ok = CryptVerifySignatureW(hash, signature.data(),
                                        static_cast<DWORD>(signature.size()), key, nullptr, 0);
  CryptDestroyHash(hash);
  return ok != FALSE;
}

}  // namespace

TEST(Crypt, GeneratedKeysHaveTheWindowsBlobLayoutAndRoundTrip) {
  Session s;
  HCRYPTKEY key = 0;
  ASSERT_TRUE(CryptGenKey(s.provider, AT_SIGNATURE, (512U << 16) | CRYPT_EXPORTABLE, &key));
  const std::vector<BYTE> publicBlob = exportBlob(key, PUBLICKEYBLOB);
  const std::vector<BYTE> privateBlob = exportBlob(key, PRIVATEKEYBLOB);
  ASSERT_EQ(publicBlob.size(), 84u);
  ASSERT_EQ(privateBlob.size(), 308u);
  const std::vector<BYTE> header = {6,   2,   0, 0, 0, 0x24, 0, 0, 'R', 'S',
                                    'A', '1', 0, 2, 0, 0,    1, 0, 1,   0};
  EXPECT_EQ(std::vector<BYTE>(publicBlob.begin(), publicBlob.begin() + 20), header);
  EXPECT_EQ(privateBlob[0], 7);
  EXPECT_EQ(privateBlob[11], '2');
  // The modulus is the same in both blobs.
  EXPECT_TRUE(std::equal(publicBlob.begin() + 20, publicBlob.end(), privateBlob.begin() + 20));

  // Importing a blob and exporting it again gives the same bytes.
  Session other;
  HCRYPTKEY imported = 0;
  ASSERT_TRUE(CryptImportKey(other.provider, privateBlob.data(),
                             static_cast<DWORD>(privateBlob.size()), 0, CRYPT_EXPORTABLE,
                             &imported));
  EXPECT_EQ(exportBlob(imported, PRIVATEKEYBLOB), privateBlob);
  EXPECT_EQ(exportBlob(imported, PUBLICKEYBLOB), publicBlob);

  // Both contexts sign alike (PKCS #1 v1.5 is deterministic), and the public key verifies.
  const std::vector<BYTE> data = {'a', 'b', 'c'};
  const std::vector<BYTE> signature = sign(s.provider, data);
  EXPECT_EQ(signature.size(), 64u);
  EXPECT_EQ(sign(other.provider, data), signature);
  HCRYPTKEY verifier = 0;
  ASSERT_TRUE(CryptImportKey(other.provider, publicBlob.data(),
                             static_cast<DWORD>(publicBlob.size()), 0, 0, &verifier));
  EXPECT_TRUE(verify(other.provider, data, signature, verifier));
  EXPECT_FALSE(verify(other.provider, {'a', 'b', 'd'}, signature, verifier));
  std::vector<BYTE> reversed(signature.rbegin(), signature.rend());
  EXPECT_FALSE(verify(other.provider, data, reversed, verifier));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_SIGNATURE));
  // A public key exports no private blob.
  DWORD size = 0;
  EXPECT_FALSE(CryptExportKey(verifier, 0, PRIVATEKEYBLOB, 0, nullptr, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_KEY_STATE));
  CryptDestroyKey(verifier);
  CryptDestroyKey(imported);
  CryptDestroyKey(key);
  EXPECT_FALSE(CryptDestroyKey(key));
}

TEST(Crypt, KeysNotMadeExportableKeepTheirPrivatePart) {
  Session s;
  HCRYPTKEY key = 0;
  ASSERT_TRUE(CryptGenKey(s.provider, AT_SIGNATURE, 512U << 16, &key));
  DWORD size = 0;
  EXPECT_FALSE(CryptExportKey(key, 0, PRIVATEKEYBLOB, 0, nullptr, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_KEY_STATE));
  EXPECT_EQ(exportBlob(key, PUBLICKEYBLOB).size(), 84u);
  CryptDestroyKey(key);
}

TEST(Crypt, MalformedBlobsAreRefused) {
  Session s;
  HCRYPTKEY key = 0;
  ASSERT_TRUE(CryptGenKey(s.provider, AT_SIGNATURE, (512U << 16) | CRYPT_EXPORTABLE, &key));
  const std::vector<BYTE> good = exportBlob(key, PRIVATEKEYBLOB);
  CryptDestroyKey(key);
  struct Case {
    const char* what;
    size_t at;
    BYTE value;
    size_t length;
  };
  const Case cases[] = {
      {"blob type", 0, 5, 308},  {"version", 1, 3, 308},     {"algorithm", 5, 0x66, 308},
      {"magic", 11, '1', 308},   {"bit length", 13, 1, 308}, {"short", 0, 7, 307},
      {"header only", 0, 7, 20}, {"nothing", 0, 7, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<BYTE> blob = good;
    blob[c.at] = c.value;
    blob.resize(c.length);
    HCRYPTKEY imported = 0;
    EXPECT_FALSE(CryptImportKey(s.provider, blob.empty() ? nullptr : blob.data(),
                                static_cast<DWORD>(blob.size()), 0, 0, &imported));
  }
  // Signing needs a signature key in the context; hashes other than MD5 are refused.
  Session empty;
  HCRYPTHASH hash = 0;
  ASSERT_TRUE(CryptCreateHash(empty.provider, CALG_MD5, 0, 0, &hash));
  DWORD size = 0;
  EXPECT_FALSE(CryptSignHashW(hash, AT_SIGNATURE, nullptr, 0, nullptr, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_NO_KEY));
  CryptDestroyHash(hash);
  EXPECT_FALSE(CryptCreateHash(empty.provider, 0x8004, 0, 0, &hash));
  HCRYPTPROV wrong = 0;
  EXPECT_FALSE(CryptAcquireContextW(&wrong, nullptr, nullptr, 24, CRYPT_VERIFYCONTEXT));
}
