#include "platform/crypto/Ed25519.h"

#include <openssl/evp.h>

#include <memory>

namespace typeloom::platform {

QByteArray DecodeEd25519PublicKey(const QString& base64) {
  const auto decoded = QByteArray::fromBase64Encoding(base64.trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
  if (!decoded || decoded.decoded.size() != kEd25519PublicKeyBytes) return {};
  return decoded.decoded;
}

bool VerifyEd25519(QByteArrayView publicKey, QByteArrayView message, QByteArrayView signature) {
  if (publicKey.size() != kEd25519PublicKeyBytes || signature.size() != kEd25519SignatureBytes) return false;
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(
      EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(publicKey.data()),
                                  static_cast<size_t>(publicKey.size())),
      &EVP_PKEY_free);
  if (!key) return false;
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!context || EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1) return false;
  // Ed25519 signs the whole message at once: no streaming, no digest.
  return EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()),
                          static_cast<size_t>(signature.size()),
                          reinterpret_cast<const unsigned char*>(message.data()), static_cast<size_t>(message.size())) == 1;
}

}  // namespace typeloom::platform
