// The cryptographic service: RSA signature keys, MD5 hashes and PKCS #1 v1.5
// signatures, with key blobs (PUBLICKEYBLOB, PRIVATEKEYBLOB) and signatures laid out
// byte for byte as the Windows providers of type PROV_RSA_FULL make them: numbers
// least-significant byte first, signatures byte-reversed against PKCS #1's order. Keys
// and signatures made on Windows verify here, and the reverse.
#pragma once
#include "errhandlingapi.h"
#include "windef.h"

typedef std::uintptr_t HCRYPTPROV;
typedef std::uintptr_t HCRYPTKEY;
typedef std::uintptr_t HCRYPTHASH;
typedef unsigned int ALG_ID;

#define PROV_RSA_FULL 1
#define CRYPT_VERIFYCONTEXT 0xF0000000U
#define CRYPT_EXPORTABLE 0x00000001
#define AT_KEYEXCHANGE 1
#define AT_SIGNATURE 2
#define CALG_MD5 0x00008003
#define CALG_RSA_SIGN 0x00002400
#define CALG_RSA_KEYX 0x0000a400
#define PUBLICKEYBLOB 0x6
#define PRIVATEKEYBLOB 0x7
#define CUR_BLOB_VERSION 2
#define HP_HASHVAL 0x0002
#define HP_HASHSIZE 0x0004

#define NTE_BAD_HASH ((HRESULT)0x80090002L)
#define NTE_BAD_KEY ((HRESULT)0x80090003L)
#define NTE_BAD_SIGNATURE ((HRESULT)0x80090006L)
#define NTE_BAD_ALGID ((HRESULT)0x80090008L)
#define NTE_BAD_FLAGS ((HRESULT)0x80090009L)
#define NTE_BAD_TYPE ((HRESULT)0x8009000AL)
#define NTE_BAD_KEY_STATE ((HRESULT)0x8009000BL)
#define NTE_NO_KEY ((HRESULT)0x8009000DL)
#define NTE_BAD_DATA ((HRESULT)0x80090005L)

// Each call returns TRUE, or FALSE with the reason as the last error.
// Only PROV_RSA_FULL contexts; the container and provider names are ignored.
BOOL CryptAcquireContextW(HCRYPTPROV* phProv, LPCWSTR szContainer, LPCWSTR szProvider,
                          DWORD dwProvType, DWORD dwFlags);
#define CryptAcquireContext CryptAcquireContextW
BOOL CryptReleaseContext(HCRYPTPROV hProv, DWORD dwFlags);
// AT_SIGNATURE (or CALG_RSA_SIGN) key pairs; the length in bits is the upper 16 bits of
// dwFlags, 1024 when they are 0 (384 to 16384, a multiple of 8). The pair becomes the
// context's signature key.
BOOL CryptGenKey(HCRYPTPROV hProv, ALG_ID Algid, DWORD dwFlags, HCRYPTKEY* phKey);
// Imports a PUBLICKEYBLOB or PRIVATEKEYBLOB; an imported private key becomes the
// context's signature key.
BOOL CryptImportKey(HCRYPTPROV hProv, const BYTE* pbData, DWORD dwDataLen, HCRYPTKEY hPubKey,
                    DWORD dwFlags, HCRYPTKEY* phKey);
// A null pbData asks for the size. A private key exports only when it was made or
// imported with CRYPT_EXPORTABLE (NTE_BAD_KEY_STATE otherwise).
BOOL CryptExportKey(HCRYPTKEY hKey, HCRYPTKEY hExpKey, DWORD dwBlobType, DWORD dwFlags,
                    BYTE* pbData, DWORD* pdwDataLen);
BOOL CryptDestroyKey(HCRYPTKEY hKey);
// CALG_MD5 only.
BOOL CryptCreateHash(HCRYPTPROV hProv, ALG_ID Algid, HCRYPTKEY hKey, DWORD dwFlags,
                     HCRYPTHASH* phHash);
BOOL CryptHashData(HCRYPTHASH hHash, const BYTE* pbData, DWORD dwDataLen, DWORD dwFlags);
BOOL CryptDestroyHash(HCRYPTHASH hHash);
// Signs the hash with the context's signature key (dwKeySpec AT_SIGNATURE); a null
// pbSignature asks for the size.
BOOL CryptSignHashW(HCRYPTHASH hHash, DWORD dwKeySpec, LPCWSTR szDescription, DWORD dwFlags,
                    BYTE* pbSignature, DWORD* pdwSigLen);
#define CryptSignHash CryptSignHashW
// FALSE with NTE_BAD_SIGNATURE when the signature does not match the hash.
BOOL CryptVerifySignatureW(HCRYPTHASH hHash, const BYTE* pbSignature, DWORD dwSigLen,
                           HCRYPTKEY hPubKey, LPCWSTR szDescription, DWORD dwFlags);
#define CryptVerifySignature CryptVerifySignatureW
