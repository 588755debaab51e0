// signString and verifyString: MD5 signatures with an RSA signature key through the
// cryptographic service, keys and signatures as key text.
#include <optional>
#include <string>
#include <vector>

#include <acedads.h>
#include <wincrypt.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/KeyText.h"
#include "host/LispFunctions.h"
#include "host/ListBuilder.h"

namespace tabrik::arx {
namespace {

// One byte per character: its code up to 255, else 255.
std::vector<BYTE> dataBytes(const std::wstring& text) {
  std::vector<BYTE> bytes;
  bytes.reserve(text.size());
  for (wchar_t c : text) {
    const auto code = static_cast<unsigned long>(c);
    bytes.push_back(static_cast<BYTE>(code <= 255 ? code : 255));
  }
  return bytes;
}

// The context, key and hash handles of one call, released on every path.
class CryptoSession {
 public:
  CryptoSession() {
    if (!CryptAcquireContextW(&m_provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
      m_provider = 0;
    }
  }
  ~CryptoSession() {
    if (m_hash != 0) CryptDestroyHash(m_hash);
    if (m_key != 0) CryptDestroyKey(m_key);
    if (m_provider != 0) CryptReleaseContext(m_provider, 0);
  }
  CryptoSession(const CryptoSession&) = delete;
  CryptoSession& operator=(const CryptoSession&) = delete;

  bool ready() const { return m_provider != 0; }
  bool importKey(const std::vector<BYTE>& blob) {
    return CryptImportKey(m_provider, blob.data(), static_cast<DWORD>(blob.size()), 0,
                          CRYPT_EXPORTABLE, &m_key) != FALSE;
  }
  bool generateKey() {
    return CryptGenKey(m_provider, AT_SIGNATURE, CRYPT_EXPORTABLE, &m_key) != FALSE;
  }
  std::optional<std::vector<BYTE>> exportKey(DWORD blobType) const {
    DWORD size = 0;
    if (!CryptExportKey(m_key, 0, blobType, 0, nullptr, &size)) return std::nullopt;
    std::vector<BYTE> blob(size);
    if (!CryptExportKey(m_key, 0, blobType, 0, blob.data(), &size)) return std::nullopt;
    blob.resize(size);
    return blob;
  }
  bool hash(const std::vector<BYTE>& data) {
    return CryptCreateHash(m_provider, CALG_MD5, 0, 0, &m_hash) &&
           CryptHashData(m_hash, data.data(), static_cast<DWORD>(data.size()), 0);
  }
  std::optional<std::vector<BYTE>> sign() const {
    DWORD size = 0;
    if (!CryptSignHashW(m_hash, AT_SIGNATURE, nullptr, 0, nullptr, &size)) return std::nullopt;
    std::vector<BYTE> signature(size);
    if (!CryptSignHashW(m_hash, AT_SIGNATURE, nullptr, 0, signature.data(), &size))
      return std::nullopt;
    signature.resize(size);
    return signature;
  }
  bool verify(const std::vector<BYTE>& signature) const {
    return CryptVerifySignatureW(m_hash, signature.data(), static_cast<DWORD>(signature.size()),
                                 m_key, nullptr, 0) != FALSE;
  }

 private:
  HCRYPTPROV m_provider = 0;
  HCRYPTKEY m_key = 0;
  HCRYPTHASH m_hash = 0;
};

}  // namespace

namespace fn {

int signString() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring data;
  if (!readString(cursor, data)) {
    return kWrongType;
  }
  std::wstring privateKey;
  readString(cursor, privateKey);

  CryptoSession session;
  if (!session.ready()) {
    return kResultOk;
  }
  if (!privateKey.empty()) {
    std::optional<std::vector<unsigned char>> blob = parseKeyText(privateKey);
    if (!blob || !session.importKey(*blob)) {
      return kResultOk;
    }
  } else if (!session.generateKey()) {
    return kResultOk;
  }
  std::optional<std::vector<BYTE>> publicBlob = session.exportKey(PUBLICKEYBLOB);
  std::optional<std::vector<BYTE>> privateBlob = session.exportKey(PRIVATEKEYBLOB);
  if (!publicBlob || !session.hash(dataBytes(data))) {
    return kResultOk;
  }
  std::optional<std::vector<BYTE>> signature = session.sign();
  if (!signature) {
    return kResultOk;
  }
  ListBuilder result;
  result.start();
  result.addPair(L"sPublicKey", keyText(*publicBlob));
  result.addPair(L"sPrivateKey", privateBlob ? keyText(*privateBlob) : std::wstring());
  result.addPair(L"sSign", keyText(*signature));
  result.finish();
  return kResultOk;
}

int verifyString() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring data;
  std::wstring publicKey;
  std::wstring signatureText;
  if (!readString(cursor, data) || !readString(cursor, publicKey) ||
      !readString(cursor, signatureText)) {
    return kWrongType;
  }
  std::optional<std::vector<unsigned char>> blob = parseKeyText(publicKey);
  std::optional<std::vector<unsigned char>> signature = parseKeyText(signatureText);
  CryptoSession session;
  if (!blob || !signature || !session.ready() || !session.importKey(*blob) ||
      !session.hash(dataBytes(data))) {
    return kResultOk;
  }
  if (session.verify(*signature)) {
    acedRetT();
  }
  return kResultOk;
}

}  // namespace fn
}  // namespace tabrik::arx
