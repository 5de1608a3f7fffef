#include "platform/instance/HandOverMessage.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace typeloom::platform {
namespace {

constexpr char kMagic[4] = {'T', 'L', 'H', 'O'};

void PutU16(std::string& out, std::size_t value) {
  out.push_back(static_cast<char>((value >> 8) & 0xff));
  out.push_back(static_cast<char>(value & 0xff));
}

void PutU32(std::string& out, std::size_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xff));
}

// Reads fields from a bounded range; every read checks what is left first.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}

  bool U16(std::size_t& value) {
    if (left_ < 2) return false;
    value = (std::size_t{data_[0]} << 8) | data_[1];
    Skip(2);
    return true;
  }
  bool U32(std::uint32_t& value) {
    if (left_ < 4) return false;
    value = (std::uint32_t{data_[0]} << 24) | (std::uint32_t{data_[1]} << 16) | (std::uint32_t{data_[2]} << 8) |
            std::uint32_t{data_[3]};
    Skip(4);
    return true;
  }
  bool Bytes(std::size_t count, std::string& value) {
    if (left_ < count) return false;
    value.assign(reinterpret_cast<const char*>(data_), count);
    Skip(count);
    return true;
  }
  std::size_t Left() const { return left_; }

 private:
  void Skip(std::size_t count) {
    data_ += count;
    left_ -= count;
  }
  const std::uint8_t* data_;
  std::size_t left_;
};

}  // namespace

const char* HandOverErrorText(HandOverError error) {
  switch (error) {
    case HandOverError::None: return "no error";
    case HandOverError::Incomplete: return "the message is incomplete";
    case HandOverError::BadMagic: return "not a hand-over message";
    case HandOverError::UnsupportedVersion: return "unsupported hand-over version";
    case HandOverError::TooLong: return "the message is too long";
    case HandOverError::Truncated: return "the message is truncated";
    case HandOverError::TrailingBytes: return "the message has bytes after its end";
    case HandOverError::TooManyArguments: return "too many arguments";
    case HandOverError::BadArgument: return "an argument holds a NUL byte";
    case HandOverError::CommandLineTooLong: return "the command line is too long";
    case HandOverError::BadIdentifier: return "the activation token is not printable ASCII of at most 1024 bytes";
  }
  return "unknown error";
}

bool IsValidActivationId(std::string_view id) {
  return id.size() <= kMaxActivationId &&
         std::all_of(id.begin(), id.end(), [](char c) { return c >= 0x20 && c <= 0x7e; });
}

HandOverError CheckHandOver(const HandOverRequest& request) {
  if (request.arguments.size() > kMaxHandOverArguments) return HandOverError::TooManyArguments;
  std::size_t total = 0;
  for (const std::string& argument : request.arguments) {
    if (argument.find('\0') != std::string::npos) return HandOverError::BadArgument;
    total += argument.size();
    if (total > kMaxCommandLineBytes) return HandOverError::CommandLineTooLong;
  }
  if (!IsValidActivationId(request.startupId) || !IsValidActivationId(request.activationToken)) {
    return HandOverError::BadIdentifier;
  }
  return HandOverError::None;
}

std::string EncodeHandOver(const HandOverRequest& request) {
  std::string body;
  PutU16(body, request.arguments.size());
  for (const std::string& argument : request.arguments) {
    PutU32(body, argument.size());
    body += argument;
  }
  PutU16(body, request.startupId.size());
  body += request.startupId;
  PutU16(body, request.activationToken.size());
  body += request.activationToken;
  PutU32(body, request.x11Time);

  std::string message(kMagic, sizeof kMagic);
  PutU16(message, kHandOverVersion);
  PutU32(message, body.size());
  return message + body;
}

HandOverFrame FrameHandOver(const std::uint8_t* data, std::size_t size) {
  HandOverFrame frame;
  // The magic is checked as soon as its bytes are there, so a stranger's stream is
  // refused without waiting for a whole header.
  const std::size_t magicBytes = std::min(size, sizeof kMagic);
  if (magicBytes > 0 && std::memcmp(data, kMagic, magicBytes) != 0) {
    frame.error = HandOverError::BadMagic;
    return frame;
  }
  if (size < kHandOverHeaderBytes) return frame;
  Reader reader(data + sizeof kMagic, kHandOverHeaderBytes - sizeof kMagic);
  std::size_t version = 0;
  std::uint32_t length = 0;
  reader.U16(version);
  reader.U32(length);
  if (version != kHandOverVersion) {
    frame.error = HandOverError::UnsupportedVersion;
  } else if (length > kMaxHandOverBody) {
    frame.error = HandOverError::TooLong;
  } else {
    frame.error = HandOverError::None;
    frame.size = kHandOverHeaderBytes + length;
  }
  return frame;
}

HandOverParse ParseHandOver(const std::uint8_t* data, std::size_t size) {
  HandOverParse result;
  const HandOverFrame frame = FrameHandOver(data, size);
  if (frame.error == HandOverError::Incomplete) {
    result.error = HandOverError::Truncated;
    return result;
  }
  if (frame.error != HandOverError::None) {
    result.error = frame.error;
    return result;
  }
  if (size < frame.size) {
    result.error = HandOverError::Truncated;
    return result;
  }
  if (size > frame.size) {
    result.error = HandOverError::TrailingBytes;
    return result;
  }

  Reader reader(data + kHandOverHeaderBytes, frame.size - kHandOverHeaderBytes);
  HandOverRequest request;
  const auto fail = [&result](HandOverError error) {
    result.error = error;
    return result;
  };
  std::size_t count = 0;
  if (!reader.U16(count)) return fail(HandOverError::Truncated);
  if (count > kMaxHandOverArguments) return fail(HandOverError::TooManyArguments);
  std::size_t total = 0;
  request.arguments.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t length = 0;
    if (!reader.U32(length)) return fail(HandOverError::Truncated);
    if (length > kMaxCommandLineBytes - total) return fail(HandOverError::CommandLineTooLong);
    total += length;
    std::string argument;
    if (!reader.Bytes(length, argument)) return fail(HandOverError::Truncated);
    if (argument.find('\0') != std::string::npos) return fail(HandOverError::BadArgument);
    request.arguments.push_back(std::move(argument));
  }
  for (std::string* id : {&request.startupId, &request.activationToken}) {
    std::size_t length = 0;
    if (!reader.U16(length)) return fail(HandOverError::Truncated);
    if (length > kMaxActivationId) return fail(HandOverError::BadIdentifier);
    if (!reader.Bytes(length, *id)) return fail(HandOverError::Truncated);
    if (!IsValidActivationId(*id)) return fail(HandOverError::BadIdentifier);
  }
  if (!reader.U32(request.x11Time)) return fail(HandOverError::Truncated);
  if (reader.Left() != 0) return fail(HandOverError::TrailingBytes);
  result.request = std::move(request);
  return result;
}

HandOverCollector::State HandOverCollector::Feed(const std::uint8_t* data, std::size_t size) {
  while (state_ == State::Collecting && size > 0) {
    const std::size_t wanted = (whole_ != 0 ? whole_ : kHandOverHeaderBytes) - bytes_.size();
    const std::size_t taken = std::min(wanted, size);
    bytes_.append(reinterpret_cast<const char*>(data), taken);
    data += taken;
    size -= taken;
    const auto* collected = reinterpret_cast<const std::uint8_t*>(bytes_.data());
    if (whole_ == 0) {
      const HandOverFrame frame = FrameHandOver(collected, bytes_.size());
      if (frame.error == HandOverError::Incomplete) continue;
      if (frame.error != HandOverError::None) {
        Finish(frame.error);
        break;
      }
      whole_ = frame.size;
    }
    if (bytes_.size() == whole_) {
      HandOverParse parsed = ParseHandOver(collected, whole_);
      request_ = std::move(parsed.request);
      Finish(parsed.error);
    }
  }
  return state_;
}

void HandOverCollector::Finish(HandOverError error) {
  error_ = error;
  state_ = error == HandOverError::None ? State::Complete : State::Refused;
  std::string().swap(bytes_);
}

}  // namespace typeloom::platform
