// Fuzz target of the hand-over message parser: arbitrary bytes as a whole message
// and as a stream's first bytes. A message that parses must be the one canonical
// encoding of its request.
#include "platform/instance/HandOverMessage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace typeloom::platform;
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
