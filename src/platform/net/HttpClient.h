#pragma once
// Whole-body HTTPS fetches that block the caller while windows keep painting.
#include <QByteArray>
#include <QString>

class QIODevice;

namespace typeloom::platform {

struct FetchLimits {
  int inactivityMs = 30000;   // no byte for this long: the fetch fails
  int deadlineMs = 120000;    // the whole fetch, redirects included
  qint64 maxBytes = 65536;    // a longer body (announced or received) fails
};

struct FetchReply {
  bool ok = false;            // status 200 and the whole body arrived
  int status = 0;             // HTTP status of the last response; 0 without one
  QByteArray body;            // the body when no sink was given
  QString error;              // why the fetch failed, for the user
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // Fetches `url` (https:// only; redirects must stay on https://). With a sink the
  // body is written there as it arrives instead of being kept in the reply.
  virtual FetchReply Fetch(const QString& url, const FetchLimits& limits, QIODevice* sink = nullptr) = 0;
};

}  // namespace typeloom::platform
