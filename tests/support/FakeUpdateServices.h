#pragma once
// The update control's services offline: a network that answers nothing and a
// process starter that starts nothing, each recording what was asked.
#include "platform/net/HttpClient.h"
#include "platform/process/ProcessStarter.h"

#include <QStringList>

namespace typeloom::test {

class NoNetwork final : public platform::HttpClient {
 public:
  platform::FetchReply Fetch(const QString& url, const platform::FetchLimits&, QIODevice*) override {
    fetched << url;
    return {};
  }
  QStringList fetched;
};

class NoProcesses final : public platform::ProcessStarter {
 public:
  bool StartDetached(const QString&, const QStringList&, QString*) override { return false; }
  bool StartKept(const platform::KeptFile&, const QStringList&, QString*) override { return false; }
};

}  // namespace typeloom::test
