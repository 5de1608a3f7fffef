#include "platform/instance/LocalSingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace typeloom::platform {
namespace {

// Generous bound for anything that waits on another process or thread; only a
// hang ever reaches it.
constexpr int kPatienceMs = 240000;

HandOverRequest Request() { return HandOverRequest{{"/fonts/a.ttf"}, "", "", 0}; }
QByteArray Message() { return QByteArray::fromStdString(EncodeHandOver(Request())); }

void Pump() { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); }

// Lets events run until `done` holds or the bound passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, int boundMs = kPatienceMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < boundMs) {
    Pump();
    QThread::msleep(1);
  }
  return done();
}

// Runs a later start's SignalAndWait on its own thread while this thread, the
// first instance's UI thread, keeps handling events.
HandOver SignalFromThread(LocalSingleInstance& later) {
  std::atomic<bool> finished{false};
  HandOver result = HandOver::NoAnswer;
  std::thread thread([&] {
    result = later.SignalAndWait(Request());
    finished = true;
  });
  PumpUntil([&] { return finished.load(); });
  thread.join();
  return result;
}

class LocalSingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  std::unique_ptr<LocalSingleInstance> Make() { return std::make_unique<LocalSingleInstance>(QStringLiteral("Typeloom"), dir_.path()); }
  QTemporaryDir dir_;
};

TEST_F(LocalSingleInstanceTest, FirstInstanceKeepsItsRoleUntilItEnds) {
  auto first = Make();
  EXPECT_FALSE(first->PreviousInstance());
  EXPECT_FALSE(first->PreviousInstance());  // asking again does not change the role
  auto later = Make();
  EXPECT_TRUE(later->PreviousInstance());
  later.reset();  // a later start ending leaves the first instance reachable
  auto another = Make();
  EXPECT_TRUE(another->PreviousInstance());
  int handled = 0;
  first->Listen([&](const HandOverRequest&) {
    ++handled;
    return true;
  });
  EXPECT_EQ(SignalFromThread(*another), HandOver::Handled);
  EXPECT_EQ(handled, 1);
  first.reset();
  auto next = Make();
  EXPECT_FALSE(next->PreviousInstance());
}

// The sender here is a plain client on this thread, so what has reached it is known
// from its socket at once, without waiting for another thread to notice.
TEST_F(LocalSingleInstanceTest, SenderIsReleasedOnlyAfterTheHandlerReturned) {
  auto first = Make();
  ASSERT_FALSE(first->PreviousInstance());
  QLocalSocket sender;
  int handled = 0;
  bool answeredDuringHandler = true;
  first->Listen([&](const HandOverRequest&) {
    ++handled;
    // Events keep running inside the handler (as under a message box): a marker
    // queued now has run once the loop has gone round.
    bool markerRan = false;
    QTimer::singleShot(0, [&] { markerRan = true; });
    PumpUntil([&] { return markerRan; });
    Pump();
    answeredDuringHandler = sender.bytesAvailable() > 0 || sender.waitForReadyRead(0);
    return true;
  });
  sender.connectToServer(first->SocketPath());
  ASSERT_TRUE(sender.waitForConnected(kPatienceMs));
  sender.write(Message());
  ASSERT_TRUE(sender.waitForBytesWritten(kPatienceMs));
  ASSERT_TRUE(PumpUntil([&] { return sender.canReadLine(); }));
  EXPECT_EQ(sender.readLine(), QByteArray(LocalSingleInstance::kReplyLine));
  EXPECT_EQ(handled, 1);
  EXPECT_FALSE(answeredDuringHandler);
}

TEST_F(LocalSingleInstanceTest, SenderLearnsWhetherTheRequestReachedTheWindow) {
  for (const bool delivered : {true, false, true}) {
    SCOPED_TRACE(delivered);
    auto first = Make();
    ASSERT_FALSE(first->PreviousInstance());
    first->Listen([&](const HandOverRequest&) { return delivered; });
    auto later = Make();
    ASSERT_TRUE(later->PreviousInstance());
    EXPECT_EQ(SignalFromThread(*later), delivered ? HandOver::Handled : HandOver::NotDelivered);
  }
}

TEST_F(LocalSingleInstanceTest, SignalsBeforeListenAreKeptAndDeliveredOnce) {
  auto first = Make();
  ASSERT_FALSE(first->PreviousInstance());
  std::vector<std::unique_ptr<QLocalSocket>> clients;
  for (int i = 0; i < 3; ++i) {
    auto client = std::make_unique<QLocalSocket>();
    client->connectToServer(first->SocketPath());
    ASSERT_TRUE(client->waitForConnected(kPatienceMs));
    client->write(Message());
    ASSERT_TRUE(client->waitForBytesWritten(kPatienceMs));
    clients.push_back(std::move(client));
  }
  // A client with a wrong line, connected after the three, is dropped once the
  // server has read it: by then the three lines before it have been read as well.
  QLocalSocket marker;
  marker.connectToServer(first->SocketPath());
  ASSERT_TRUE(marker.waitForConnected(kPatienceMs));
  marker.write("not a signal\n");
  ASSERT_TRUE(marker.waitForBytesWritten(kPatienceMs));
  ASSERT_TRUE(PumpUntil([&] { return marker.state() == QLocalSocket::UnconnectedState; }));
  for (auto& client : clients) EXPECT_FALSE(client->bytesAvailable() > 0 || client->waitForReadyRead(0)) << "answered before Listen";
  int handled = 0;
  first->Listen([&](const HandOverRequest&) {
    ++handled;
    return true;
  });
  EXPECT_EQ(handled, 0);  // delivered from the event loop, not from inside Listen
  for (auto& client : clients) {
    ASSERT_TRUE(PumpUntil([&] { return client->canReadLine(); }));
    EXPECT_EQ(client->readLine(), QByteArray(LocalSingleInstance::kReplyLine));
  }
  EXPECT_EQ(handled, 3);
}

TEST_F(LocalSingleInstanceTest, MisbehavingClientsDoNotStopLaterHandOvers) {
  const QByteArray signal = Message();
  struct Case {
    const char* name;
    QByteArray sent;
    bool leave;       // disconnects right after sending
    int signalsSent;  // full signals among `sent`
    bool dropped;     // the server hangs up on it once it has read what was sent
  };
  const Case cases[] = {
      {"connects and leaves", {}, true, 0, false},
      {"connects and stays silent", {}, false, 0, false},
      {"wrong line", "hello\n", false, 0, true},
      {"endless line", QByteArray(100000, 'x'), false, 0, true},
      {"binary zeros", QByteArray(32, '\0'), false, 0, false},
      {"half a signal then leaves", signal.left(5), true, 0, false},
      {"half a signal then never finishes", signal.left(signal.size() - 1), false, 0, false},
      {"signal then leaves before the reply", signal, true, 1, false},
      {"signal twice on one connection", signal + signal, false, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto first = Make();
    ASSERT_FALSE(first->PreviousInstance());
    int handled = 0;
    first->Listen([&](const HandOverRequest&) {
      ++handled;
      return true;
    });
    QLocalSocket rogue;
    rogue.connectToServer(first->SocketPath());
    ASSERT_TRUE(rogue.waitForConnected(kPatienceMs));
    if (!c.sent.isEmpty()) {
      rogue.write(c.sent);
      rogue.flush();
    }
    // Read by the server before the client leaves, where reading shows.
    ASSERT_TRUE(PumpUntil([&] {
      return handled >= c.signalsSent && (!c.dropped || rogue.state() == QLocalSocket::UnconnectedState);
    }));
    if (c.leave) rogue.abort();

    auto later = Make();
    ASSERT_TRUE(later->PreviousInstance());
    EXPECT_EQ(SignalFromThread(*later), HandOver::Handled);
    // A second hand-over, answered only after everything sent before it was read,
    // bounds the wait: a signal counted twice would have been counted by then.
    auto again = Make();
    ASSERT_TRUE(again->PreviousInstance());
    EXPECT_EQ(SignalFromThread(*again), HandOver::Handled);
    EXPECT_EQ(handled, c.signalsSent + 2);
  }
}

// The handler gets the request exactly as sent, also one of the largest size that
// arrives in many pieces; malformed messages are answered "refused" and never
// reach it, and neither stops the next hand-over.
TEST_F(LocalSingleInstanceTest, RequestsArriveWholeAndMalformedOnesAreRefused) {
  auto first = Make();
  ASSERT_FALSE(first->PreviousInstance());
  std::vector<HandOverRequest> received;
  first->Listen([&](const HandOverRequest& request) {
    received.push_back(request);
    return true;
  });
  const HandOverRequest large{{"/p", std::string(kMaxCommandLineBytes - 2, 'f')}, "launcher-1_TIME42",
                              std::string(kMaxActivationId, 't'), 42};
  auto later = Make();
  ASSERT_TRUE(later->PreviousInstance());
  {
    std::atomic<bool> finished{false};
    HandOver result = HandOver::NoAnswer;
    std::thread thread([&] {
      result = later->SignalAndWait(large);
      finished = true;
    });
    PumpUntil([&] { return finished.load(); });
    thread.join();
    EXPECT_EQ(result, HandOver::Handled);
  }
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received.front(), large);

  const QByteArray valid = Message();
  const struct {
    const char* name;
    QByteArray sent;
  } malformed[] = {
      {"the old signal line", "typeloom-handover 1\n"},
      {"wrong version", valid.left(4) + QByteArray("\x00\x09", 2) + valid.mid(6)},
      {"announces too long a body", valid.left(6) + QByteArray("\x7f\xff\xff\xff", 4)},
      {"token with a newline", QByteArray::fromStdString(EncodeHandOver({{}, "", "a", 0})).replace("a", "\n")},
      {"more arguments announced than sent", QByteArray(valid).replace(11, 1, "\x02")},
  };
  for (const auto& c : malformed) {
    SCOPED_TRACE(c.name);
    QLocalSocket client;
    client.connectToServer(first->SocketPath());
    ASSERT_TRUE(client.waitForConnected(kPatienceMs));
    client.write(c.sent);
    client.flush();
    ASSERT_TRUE(PumpUntil([&] { return client.canReadLine(); }));
    EXPECT_EQ(client.readLine(), QByteArray(LocalSingleInstance::kRefusedLine));
  }
  // A request the sender itself finds out of bounds is never sent.
  EXPECT_EQ(later->SignalAndWait({{std::string("nul\0", 4)}, "", "", 0}), HandOver::Refused);
  EXPECT_EQ(received.size(), 1u);
  EXPECT_EQ(SignalFromThread(*later), HandOver::Handled);
  EXPECT_EQ(received.size(), 2u);
}

// Messages arrive in pieces of any size, each piece on a wake-up of its own, and
// from two senders taking turns; each sender's pieces make its own request.
TEST_F(LocalSingleInstanceTest, MessagesSentInPiecesFromTwoSendersArriveWhole) {
  auto first = Make();
  ASSERT_FALSE(first->PreviousInstance());
  std::vector<HandOverRequest> received;
  first->Listen([&](const HandOverRequest& request) {
    received.push_back(request);
    return true;
  });
  const HandOverRequest a{{"/fonts/a.ttf", "/p"}, "launcher-1_TIME42", "", 42};
  const HandOverRequest b{{std::string(9000, 'b')}, "", "token-b", 0};
  for (const int piece : {1, 3, 10, 11, 4099}) {
    SCOPED_TRACE(piece);
    received.clear();
    const QByteArray messages[] = {QByteArray::fromStdString(EncodeHandOver(a)),
                                   QByteArray::fromStdString(EncodeHandOver(b))};
    QLocalSocket senders[2];
    for (QLocalSocket& sender : senders) {
      sender.connectToServer(first->SocketPath());
      ASSERT_TRUE(sender.waitForConnected(kPatienceMs));
    }
    qsizetype sent[2] = {0, 0};
    while (sent[0] < messages[0].size() || sent[1] < messages[1].size()) {
      for (int i = 0; i < 2; ++i) {
        if (sent[i] >= messages[i].size()) continue;
        senders[i].write(messages[i].mid(sent[i], piece));
        ASSERT_TRUE(senders[i].waitForBytesWritten(kPatienceMs));
        sent[i] += piece;
        Pump();
      }
    }
    for (QLocalSocket& sender : senders) {
      ASSERT_TRUE(PumpUntil([&] { return sender.canReadLine(); }));
      EXPECT_EQ(sender.readLine(), QByteArray(LocalSingleInstance::kReplyLine));
    }
    ASSERT_EQ(received.size(), 2u);
    // Whichever completed first was handled first.
    if (received[0] != a) std::swap(received[0], received[1]);
    EXPECT_EQ(received[0], a);
    EXPECT_EQ(received[1], b);
  }
}

// The socket is a socket of this user's that nobody else may use, and it goes with
// the first instance (a later first instance makes its own).
TEST_F(LocalSingleInstanceTest, SocketIsTheUsersOnlyAndGoesWithTheFirstInstance) {
  auto first = Make();
  ASSERT_FALSE(first->PreviousInstance());
  const QByteArray path = QFile::encodeName(first->SocketPath());
  struct stat st {};
  ASSERT_EQ(::lstat(path.constData(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));
  EXPECT_EQ(st.st_uid, ::getuid());
  EXPECT_EQ(st.st_mode & 0077, 0u);
  first.reset();
  EXPECT_NE(::lstat(path.constData(), &st), 0);
}

TEST_F(LocalSingleInstanceTest, SignalAndWaitFailsWhenNobodyAnswers) {
  // No first instance at all: fails without waiting out the bound.
  {
    auto lone = Make();
    lone->SetTimeouts(kPatienceMs, kPatienceMs);
    EXPECT_EQ(lone->SignalAndWait(Request()), HandOver::NoAnswer);
  }
  // The instance lock is held by a process that never listens.
  auto probe = Make();
  const int fd = ::open(QFile::encodeName(probe->LockFilePath()).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  auto later = Make();
  later->SetTimeouts(300, 300);
  EXPECT_TRUE(later->PreviousInstance());
  EXPECT_EQ(later->SignalAndWait(Request()), HandOver::NoAnswer);
  ::close(fd);
  // Once the holder is gone a later start may take the role after all.
  EXPECT_FALSE(later->PreviousInstance());
}

TEST_F(LocalSingleInstanceTest, StaleSocketFileDoesNotBlockTheNextFirstInstance) {
  auto first = Make();
  {
    // A socket file without a listener, as a crashed first instance leaves it.
    const QByteArray path = QFile::encodeName(first->SocketPath());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), static_cast<qsizetype>(sizeof(address.sun_path)));
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(first->SocketPath()));
  }
  ASSERT_FALSE(first->PreviousInstance());
  int handled = 0;
  first->Listen([&](const HandOverRequest&) {
    ++handled;
    return true;
  });
  auto later = Make();
  ASSERT_TRUE(later->PreviousInstance());
  EXPECT_EQ(SignalFromThread(*later), HandOver::Handled);
  EXPECT_EQ(handled, 1);
}

TEST_F(LocalSingleInstanceTest, FallbackFolderMustBePrivate) {
  struct Case {
    const char* name;
    bool precreate;
    mode_t mode;
    bool usable;
  };
  const Case cases[] = {
      {"created here", false, 0, true},
      {"already there and private", true, 0700, true},
      {"open to others", true, 0755, false},
  };
  const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
  const QByteArray oldTmp = qgetenv("TMPDIR");
  qunsetenv("XDG_RUNTIME_DIR");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir tmp;
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    const QString folder = tmp.path() + QStringLiteral("/Typeloom-") + QString::number(::getuid());
    if (c.precreate) {
      ASSERT_EQ(::mkdir(QFile::encodeName(folder).constData(), c.mode), 0);
      ::chmod(QFile::encodeName(folder).constData(), c.mode);
    }
    LocalSingleInstance first;
    LocalSingleInstance later;
    EXPECT_EQ(first.Usable(), c.usable);
    EXPECT_FALSE(first.PreviousInstance());
    EXPECT_EQ(later.PreviousInstance(), c.usable);
    if (c.usable) {
      EXPECT_TRUE(first.LockFilePath().startsWith(folder + QLatin1Char('/')));
      struct stat st {};
      ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &st), 0);
      EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
  }
  if (oldTmp.isNull()) {
    qunsetenv("TMPDIR");
  } else {
    qputenv("TMPDIR", oldTmp);
  }
  if (!oldRuntime.isNull()) qputenv("XDG_RUNTIME_DIR", oldRuntime);
}

}  // namespace
}  // namespace typeloom::platform
