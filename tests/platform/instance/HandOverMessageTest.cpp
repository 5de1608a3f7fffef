#include "platform/instance/HandOverMessage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace typeloom::platform {
namespace {

HandOverParse Parse(const std::string& bytes) {
  return ParseHandOver(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

HandOverFrame Frame(const std::string& bytes) {
  return FrameHandOver(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::string U16(std::size_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xff)}; }
std::string U32(std::size_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>((v >> 16) & 0xff), static_cast<char>((v >> 8) & 0xff),
          static_cast<char>(v & 0xff)};
}
std::string Header(std::size_t bodyLength, std::size_t version = kHandOverVersion) {
  return std::string("TLHO") + U16(version) + U32(bodyLength);
}
std::string WithHeader(const std::string& body) { return Header(body.size()) + body; }

TEST(HandOverMessage, RequestsSurviveTheRoundTrip) {
  const HandOverRequest requests[] = {
      {},
      {{"/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"}, "", "", 0},
      {{"/p", "/fonts/A Font.ttf"}, "gnome-shell/typeloom/1234-0-host_TIME98765", "", 0},
      {{""}, "", "wayland-token:0123abc", 0},
      {{"\xff\xfe not UTF-8", "\n"}, "id with \"quotes\" and \\", "~", 0xffffffffu},
      {std::vector<std::string>(kMaxHandOverArguments, "x"), std::string(kMaxActivationId, 'a'),
       std::string(kMaxActivationId, '~'), 1},
      {{std::string(kMaxCommandLineBytes, 'y')}, "", "", 7},
  };
  for (const HandOverRequest& request : requests) {
    SCOPED_TRACE(request.arguments.size());
    ASSERT_EQ(CheckHandOver(request), HandOverError::None);
    const std::string message = EncodeHandOver(request);
    const HandOverFrame frame = Frame(message);
    EXPECT_EQ(frame.error, HandOverError::None);
    EXPECT_EQ(frame.size, message.size());
    const HandOverParse parsed = Parse(message);
    EXPECT_EQ(parsed.error, HandOverError::None);
    EXPECT_EQ(parsed.request, request);
  }
}

TEST(HandOverMessage, RequestsOutsideTheBoundsAreNotSent) {
  const struct {
    const char* name;
    HandOverRequest request;
    HandOverError error;
  } cases[] = {
      {"too many arguments", {std::vector<std::string>(kMaxHandOverArguments + 1), "", "", 0},
       HandOverError::TooManyArguments},
      {"command line too long", {{std::string(kMaxCommandLineBytes, 'a'), "b"}, "", "", 0},
       HandOverError::CommandLineTooLong},
      {"NUL in an argument", {{std::string("a\0b", 3)}, "", "", 0}, HandOverError::BadArgument},
      {"id too long", {{}, std::string(kMaxActivationId + 1, 'a'), "", 0}, HandOverError::BadIdentifier},
      {"control character in a token", {{}, "", "tok\nen", 0}, HandOverError::BadIdentifier},
      {"8-bit byte in an id", {{}, "id\xe9", "", 0}, HandOverError::BadIdentifier},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CheckHandOver(c.request), c.error);
  }
}

// Every malformed message is refused as a whole: no request comes out of it.
TEST(HandOverMessage, MalformedMessagesAreRefusedWhole) {
  const std::string valid = EncodeHandOver({{"/a.ttf", "b"}, "id_TIME5", "token", 9});
  const std::string emptyIds = U16(0) + U16(0) + U32(0);
  const struct {
    const char* name;
    std::string bytes;
    HandOverError error;
  } cases[] = {
      {"empty", "", HandOverError::Truncated},
      {"half a header", valid.substr(0, 7), HandOverError::Truncated},
      {"a stranger's line", "typeloom-handover 1\n", HandOverError::BadMagic},
      {"wrong magic", "TLHX" + valid.substr(4), HandOverError::BadMagic},
      {"newer version", Header(valid.size() - 10, kHandOverVersion + 1) + valid.substr(10),
       HandOverError::UnsupportedVersion},
      {"body over the bound", Header(kMaxHandOverBody + 1), HandOverError::TooLong},
      {"body length 4 GiB", Header(0xffffffffu), HandOverError::TooLong},
      {"last byte missing", valid.substr(0, valid.size() - 1), HandOverError::Truncated},
      {"a byte after the message", valid + "x", HandOverError::TrailingBytes},
      {"body longer than its fields", WithHeader(U16(0) + emptyIds + "extra"), HandOverError::TrailingBytes},
      {"empty body", WithHeader(""), HandOverError::Truncated},
      {"argument count over the bound", WithHeader(U16(kMaxHandOverArguments + 1) + emptyIds),
       HandOverError::TooManyArguments},
      {"argument past the body", WithHeader(U16(1) + U32(100) + "abc" + emptyIds), HandOverError::Truncated},
      {"argument length 4 GiB", WithHeader(U16(1) + U32(0xffffffffu) + emptyIds), HandOverError::CommandLineTooLong},
      {"arguments together too long",
       WithHeader(U16(2) + U32(kMaxCommandLineBytes) + std::string(kMaxCommandLineBytes, 'a') + U32(1) + "b" + emptyIds),
       HandOverError::CommandLineTooLong},
      {"NUL in an argument", WithHeader(U16(1) + U32(3) + std::string("a\0b", 3) + emptyIds), HandOverError::BadArgument},
      {"id length over the bound", WithHeader(U16(0) + U16(kMaxActivationId + 1) + std::string(kMaxActivationId + 1, 'a') + U16(0) + U32(0)),
       HandOverError::BadIdentifier},
      {"escape in a token", WithHeader(U16(0) + U16(0) + U16(3) + "a\x1b]" + U32(0)), HandOverError::BadIdentifier},
      {"token past the body", WithHeader(U16(0) + U16(0) + U16(50) + "abc"), HandOverError::Truncated},
      {"time cut short", WithHeader(U16(0) + U16(0) + U16(0) + U16(0)), HandOverError::Truncated},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HandOverParse parsed = Parse(c.bytes);
    EXPECT_EQ(parsed.error, c.error) << HandOverErrorText(parsed.error);
    EXPECT_EQ(parsed.request, HandOverRequest{});
  }
}

// A stream is framed from its first bytes: a stranger is refused before a whole
// header arrived, an announced length over the bound before its body.
TEST(HandOverMessage, FramingDecidesFromTheHeader) {
  const std::string valid = EncodeHandOver({{"/a.ttf"}, "", "", 0});
  const struct {
    const char* name;
    std::string bytes;
    HandOverError error;
    std::size_t size;
  } cases[] = {
      {"nothing yet", "", HandOverError::Incomplete, 0},
      {"first magic bytes", "TL", HandOverError::Incomplete, 0},
      {"header but one byte", valid.substr(0, kHandOverHeaderBytes - 1), HandOverError::Incomplete, 0},
      {"header only", valid.substr(0, kHandOverHeaderBytes), HandOverError::None, valid.size()},
      {"whole message", valid, HandOverError::None, valid.size()},
      {"stranger's first byte", "G", HandOverError::BadMagic, 0},
      {"length over the bound", Header(kMaxHandOverBody + 1), HandOverError::TooLong, 0},
      {"greatest length", Header(kMaxHandOverBody), HandOverError::None, kHandOverHeaderBytes + kMaxHandOverBody},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HandOverFrame frame = Frame(c.bytes);
    EXPECT_EQ(frame.error, c.error);
    EXPECT_EQ(frame.size, c.size);
  }
}

// A stream's bytes in pieces: the collector decides as soon as the bytes allow,
// keeps the message's own bytes only, and gives what the whole message parses to.
TEST(HandOverMessage, CollectorTakesAStreamInPieces) {
  using State = HandOverCollector::State;
  const HandOverRequest request{{"/fonts/a.ttf", std::string(5000, 'f')}, "launcher_TIME7", "tok", 9};
  const std::string valid = EncodeHandOver(request);
  const struct {
    const char* name;
    std::string bytes;
    std::size_t piece;
    State state;
    HandOverError error;
    std::size_t decidedAfter;  // bytes fed when the state was reached (0: only at the end)
  } cases[] = {
      {"whole", valid, valid.size(), State::Complete, HandOverError::None, valid.size()},
      {"byte by byte", valid, 1, State::Complete, HandOverError::None, valid.size()},
      {"pieces across the header", valid, 7, State::Complete, HandOverError::None, 0},
      {"trailing bytes ignored", valid + valid, 4096, State::Complete, HandOverError::None, 0},
      {"one byte short", valid.substr(0, valid.size() - 1), 3, State::Collecting, HandOverError::None, 0},
      {"header only", valid.substr(0, kHandOverHeaderBytes), 1, State::Collecting, HandOverError::None, 0},
      {"stranger's first byte", "hello\n", 1, State::Refused, HandOverError::BadMagic, 1},
      {"too long a body, refused at the header", Header(kMaxHandOverBody + 1) + std::string(100, 'x'), 1,
       State::Refused, HandOverError::TooLong, kHandOverHeaderBytes},
      {"wrong version", Header(4, 9) + U32(0), 1, State::Refused, HandOverError::UnsupportedVersion,
       kHandOverHeaderBytes},
      {"empty body", Header(0) + "more", 2, State::Refused, HandOverError::Truncated, kHandOverHeaderBytes},
      {"bad field in the body", WithHeader(U16(1) + U32(1) + std::string(1, '\0') + U16(0) + U16(0) + U32(0)), 5,
       State::Refused, HandOverError::BadArgument, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HandOverCollector collector;
    std::size_t fed = 0;
    std::size_t decidedAt = 0;
    while (fed < c.bytes.size()) {
      const std::size_t n = std::min(c.piece, c.bytes.size() - fed);
      const State state = collector.Feed(reinterpret_cast<const std::uint8_t*>(c.bytes.data()) + fed, n);
      fed += n;
      if (state != State::Collecting && decidedAt == 0) decidedAt = fed;
    }
    EXPECT_EQ(collector.Current(), c.state);
    EXPECT_EQ(collector.Error(), c.error);
    if (c.decidedAfter != 0) {
      EXPECT_EQ(decidedAt, c.decidedAfter);
    }
    if (c.state == State::Complete) {
      EXPECT_EQ(collector.Request(), request);
    } else {
      EXPECT_EQ(collector.Request(), HandOverRequest{});
    }
  }
}

}  // namespace
}  // namespace typeloom::platform
