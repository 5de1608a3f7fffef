// Fuzz target of the hand-over message parser: arbitrary bytes as a whole message
// and as a stream's first bytes. A message that parses must be the one canonical
// encoding of its request. The same bytes fed to a collector in pieces (their sizes
// taken from the bytes) must give what the whole bytes give.
#include "platform/instance/HandOverMessage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace typeloom::platform;

void CheckCollector(const std::uint8_t* data, std::size_t size) {
  HandOverCollector collector;
  for (std::size_t fed = 0, i = 0; fed < size; ++i) {
    const std::size_t piece = std::min<std::size_t>(size - fed, 1 + data[i % size] % 13);
    collector.Feed(data + fed, piece);
    fed += piece;
  }
  const HandOverFrame frame = FrameHandOver(data, size);
  using State = HandOverCollector::State;
  if (frame.error == HandOverError::Incomplete || (frame.error == HandOverError::None && size < frame.size)) {
    if (collector.Current() != State::Collecting) std::abort();
    return;
  }
  if (frame.error != HandOverError::None) {
    if (collector.Current() != State::Refused || collector.Error() != frame.error) std::abort();
    return;
  }
  const HandOverParse whole = ParseHandOver(data, frame.size);
  const State expected = whole.error == HandOverError::None ? State::Complete : State::Refused;
  if (collector.Current() != expected || collector.Error() != whole.error) std::abort();
  if (!(collector.Request() == whole.request)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckCollector(data, size);
  const HandOverFrame frame = FrameHandOver(data, size);
  if (frame.error == HandOverError::None && frame.size < kHandOverHeaderBytes) std::abort();
  const HandOverParse parsed = ParseHandOver(data, size);
  if (parsed.error != HandOverError::None) {
    if (!(parsed.request == HandOverRequest{})) std::abort();  // nothing of a refused message comes out
    return 0;
  }
  if (frame.error != HandOverError::None || frame.size != size) std::abort();
  if (CheckHandOver(parsed.request) != HandOverError::None) std::abort();
  const std::string again = EncodeHandOver(parsed.request);
  if (again.size() != size || again.compare(0, size, reinterpret_cast<const char*>(data), size) != 0) std::abort();
  return 0;
}
