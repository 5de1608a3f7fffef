#pragma once
// Detached Ed25519 signatures: the proof of who made a downloaded file.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace typeloom::platform {

inline constexpr int kEd25519PublicKeyBytes = 32;
inline constexpr int kEd25519SignatureBytes = 64;

// The raw 32-byte public key written as base64 text; empty when the text is not that.
QByteArray DecodeEd25519PublicKey(const QString& base64);

// True when `signature` (64 raw bytes) is a valid signature of `message` by `publicKey` (32 raw bytes).
bool VerifyEd25519(QByteArrayView publicKey, QByteArrayView message, QByteArrayView signature);

}  // namespace typeloom::platform
