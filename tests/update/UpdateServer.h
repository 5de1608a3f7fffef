#pragma once
// A local HTTPS server for the update tests: a certificate made for 127.0.0.1 at
// start, trusted through SSL_CERT_FILE, and an Ed25519 key that signs installers.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <openssl/evp.h>

#include <memory>

namespace typeloom::test {

class Ed25519Signer {
 public:
  Ed25519Signer() : key_(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"), &EVP_PKEY_free) {}
  QByteArray PublicKey() const {
    QByteArray raw(32, '\0');
    size_t length = 32;
    EVP_PKEY_get_raw_public_key(key_.get(), reinterpret_cast<unsigned char*>(raw.data()), &length);
    return raw;
  }
  QByteArray Sign(const QByteArray& message) const {
    QByteArray signature(64, '\0');
    size_t length = 64;
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key_.get());
    EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &length,
                   reinterpret_cast<const unsigned char*>(message.constData()), static_cast<size_t>(message.size()));
    return signature;
  }

 private:
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key_;
};

class UpdateServer {
 public:
  UpdateServer() {
    const QString root = dir_.path();
    QDir(root).mkpath("www");
    QProcess openssl;
    openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                              "-days", "1", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                              "-keyout", root + "/key.pem", "-out", CertFile()});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) return;
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start("/usr/bin/python3", {qEnvironmentVariable("TYPELOOM_SOURCE_DIR") + "/tests/update/https_server.py",
                                       root + "/www", CertFile(), root + "/key.pem"});
    if (!server_.waitForReadyRead(60000)) return;
    port_ = server_.readLine().trimmed().toInt();
  }
  ~UpdateServer() {
    server_.kill();
    server_.waitForFinished();
  }
  bool Ready() const { return port_ > 0; }
  QString CertFile() const { return dir_.path() + "/cert.pem"; }
  QString Root() const { return dir_.path(); }
  // The address of a folder on the server (created).
  QString Folder(const QString& name) {
    QDir(dir_.path() + "/www").mkpath(name);
    return QStringLiteral("https://127.0.0.1:%1/%2").arg(port_).arg(name);
  }
  // Puts a file into a folder; `mode` changes how it is answered (see https_server.py).
  void Put(const QString& folder, const QString& file, const QByteArray& bytes, const QByteArray& mode = {}) {
    const QString path = dir_.path() + "/www/" + folder + "/" + file;
    QDir(dir_.path() + "/www").mkpath(folder);
    QFile out(path);
    if (out.open(QIODevice::WriteOnly)) out.write(bytes);
    if (!mode.isEmpty()) {
      QFile sidecar(path + ".mode");
      if (sidecar.open(QIODevice::WriteOnly)) sidecar.write(mode);
    }
  }

 private:
  QTemporaryDir dir_;
  QProcess server_;
  int port_ = 0;
};

}  // namespace typeloom::test
