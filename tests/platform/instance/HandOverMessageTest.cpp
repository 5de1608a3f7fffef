#include "platform/instance/HandOverMessage.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace typeloom::platform
