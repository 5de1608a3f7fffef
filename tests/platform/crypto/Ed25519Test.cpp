// Ed25519 verification against the test vectors of the algorithm's definition.
#include "platform/crypto/Ed25519.h"

#include <gtest/gtest.h>

namespace {

using namespace typeloom::platform;

const QByteArray kKey1 = QByteArray::fromHex("d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a");
const QByteArray kSig1 = QByteArray::fromHex(
    "e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e065224901555fb8821590a33bacc61e39701cf9b46bd25bf5f0595bbe24655141438e7a100b");
const QByteArray kKey2 = QByteArray::fromHex("3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c");
const QByteArray kSig2 = QByteArray::fromHex(
    "92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da085ac1e43e15996e458f3613d0f11d8c387b2eaeb4302aeeb00d291612bb0c00");

QByteArray Flipped(QByteArray bytes, int index) {
  bytes[index] = static_cast<char>(bytes[index] ^ 0x01);
  return bytes;
}

TEST(Ed25519, VerifiesOnlyTheExactMessageKeyAndSignature) {
  struct Case {
    const char* name;
    QByteArray key, message, signature;
    bool valid;
  };
  const Case cases[] = {
      {"vector 1, empty message", kKey1, {}, kSig1, true},
      {"vector 2, one byte", kKey2, QByteArray(1, '\x72'), kSig2, true},
      {"message changed", kKey2, QByteArray(1, '\x73'), kSig2, false},
      {"message extended", kKey2, QByteArray("\x72\x00", 2), kSig2, false},
      {"other key", kKey1, QByteArray(1, '\x72'), kSig2, false},
      {"signature bit flipped", kKey2, QByteArray(1, '\x72'), Flipped(kSig2, 10), false},
      {"signature short", kKey2, QByteArray(1, '\x72'), kSig2.left(63), false},
      {"signature long", kKey2, QByteArray(1, '\x72'), kSig2 + '\0', false},
      {"key short", kKey2.left(31), QByteArray(1, '\x72'), kSig2, false},
      {"no key", {}, QByteArray(1, '\x72'), kSig2, false},
  };
  for (const Case& c : cases) EXPECT_EQ(VerifyEd25519(c.key, c.message, c.signature), c.valid) << c.name;
}

TEST(Ed25519, PublicKeyIsTheBase64OfExactly32Bytes) {
  EXPECT_EQ(DecodeEd25519PublicKey(QString::fromLatin1(kKey1.toBase64())), kKey1);
  EXPECT_EQ(DecodeEd25519PublicKey(" " + QString::fromLatin1(kKey1.toBase64()) + "\n"), kKey1);
  EXPECT_TRUE(DecodeEd25519PublicKey(QString::fromLatin1(kKey1.left(31).toBase64())).isEmpty());
  EXPECT_TRUE(DecodeEd25519PublicKey(QString::fromLatin1((kKey1 + 'x').toBase64())).isEmpty());
  EXPECT_TRUE(DecodeEd25519PublicKey("not base64 at all!").isEmpty());
  EXPECT_TRUE(DecodeEd25519PublicKey("").isEmpty());
}

}  // namespace
