// Watches the X screen for the side-by-side start-up benchmark (bench/run_bench.py
// --peers): grabs the root window every few milliseconds and prints one line
// "<CLOCK_MONOTONIC seconds> <changed pixels>" each time its contents change, the first
// grab included (as "ready"). The harness reads a window's first paint and its settling
// from these lines, the same way for every program it compares.
#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int main() {
  int screen_number = 0;
  xcb_connection_t* connection = xcb_connect(nullptr, &screen_number);
  if (xcb_connection_has_error(connection) != 0) {
    std::fprintf(stderr, "screen_watch: cannot connect to the X display\n");
    return 1;
  }
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screen_number && it.rem > 0; ++i) xcb_screen_next(&it);
  if (it.rem == 0) return 1;
  const xcb_screen_t* screen = it.data;

  std::vector<std::uint32_t> previous;
  std::vector<std::uint32_t> current;
  bool first = true;
  for (;;) {
    xcb_get_image_cookie_t cookie = xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0,
                                                  screen->width_in_pixels, screen->height_in_pixels, ~0U);
    xcb_generic_error_t* error = nullptr;
    xcb_get_image_reply_t* reply = xcb_get_image_reply(connection, cookie, &error);
    if (reply == nullptr) {
      std::fprintf(stderr, "screen_watch: the screen could not be read (X error %d)\n",
                   error != nullptr ? error->error_code : -1);
      std::free(error);
      return 1;
    }
    const double when = Now();
    const int length = xcb_get_image_data_length(reply);
    current.resize(length > 0 ? static_cast<std::size_t>(length) / 4 : 0);
    if (!current.empty()) std::memcpy(current.data(), xcb_get_image_data(reply), current.size() * 4);
    std::free(reply);

    long changed = 0;
    if (current.size() != previous.size()) {
      changed = static_cast<long>(current.size());
    } else {
      for (std::size_t i = 0; i < current.size(); ++i) changed += current[i] != previous[i] ? 1 : 0;
    }
    if (first) {
      std::printf("%.6f ready\n", when);
      first = false;
    } else if (changed > 0) {
      std::printf("%.6f %ld\n", when, changed);
    }
    if (std::fflush(stdout) != 0) return 0;  // the harness has gone
    current.swap(previous);
    std::this_thread::sleep_for(std::chrono::milliseconds(8));
  }
}
