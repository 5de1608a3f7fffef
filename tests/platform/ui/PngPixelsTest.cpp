// Plain RGBA PNGs read as Qt's reader reads them; every other kind, and damaged
// files, refused so that Qt's reader takes them.
#include "platform/ui/PngPixels.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using namespace typeloom::platform;

std::uint32_t Crc(const QByteArray& bytes) {
  std::uint32_t crc = 0xffffffffu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

QByteArray Be32(std::uint32_t v) {
  QByteArray b(4, '\0');
  for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xff);
  return b;
}

QByteArray Chunk(const char* type, const QByteArray& body) {
  const QByteArray typed = QByteArray(type, 4) + body;
  return Be32(static_cast<std::uint32_t>(body.size())) + typed + Be32(Crc(typed));
}

QByteArray Written(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QImage QtRead(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  QImageReader reader(&buffer, "png");
  return reader.read();
}

bool Read(const QByteArray& bytes, PngPixels* out) {
  return ReadRgbaPng(reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<std::size_t>(bytes.size()),
                     out);
}

// Every pixel of a small image with varied colour and alpha (0, partial, full).
QImage Varied(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int a = (x * 37 + y * 11) % 256;
      image.setPixel(x, y, qRgba((x * 53) % 256, (y * 29) % 256, (x * y) % 256, (x + y) % 5 == 0 ? 0 : a));
    }
  }
  return image;
}

// The IHDR of `png` (right after the signature) with `byte` of its body set to `value`.
QByteArray WithHeaderByte(QByteArray png, int byte, char value) {
  QByteArray body = png.mid(16, 13);
  body[byte] = value;
  return png.left(8) + Chunk("IHDR", body) + png.mid(33);
}

TEST(PngPixels, PlainRgbaGivesQtsPixels) {
  QFile frame(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"));
  ASSERT_TRUE(frame.open(QIODevice::ReadOnly));
  const QByteArray varied = Written(Varied(61, 7));
  // The same image with chunks that change nothing: text, time.
  const QByteArray withText = varied.left(33) + Chunk("tEXt", QByteArray("Title\0x", 7)) +
                              Chunk("tIME", QByteArray("\x07\xea\x0c\x09\x11\x05\x00", 7)) + varied.mid(33);
  const struct {
    const char* name;
    QByteArray png;
  } cases[] = {{"the style's frame", frame.readAll()},
               {"written by Qt", varied},
               {"one pixel", Written(Varied(1, 1))},
               {"with text and time chunks", withText}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QImage expected = QtRead(c.png);
    ASSERT_EQ(expected.format(), QImage::Format_ARGB32);
    PngPixels pixels;
    ASSERT_TRUE(Read(c.png, &pixels));
    ASSERT_EQ(pixels.width, expected.width());
    ASSERT_EQ(pixels.height, expected.height());
    ASSERT_EQ(pixels.argb.size(), static_cast<std::size_t>(pixels.width) * pixels.height);
    for (int y = 0; y < pixels.height; ++y) {
      for (int x = 0; x < pixels.width; ++x) {
        ASSERT_EQ(pixels.argb[static_cast<std::size_t>(y) * pixels.width + x], expected.pixel(x, y))
            << "at " << x << "," << y;
      }
    }
  }
}

TEST(PngPixels, OtherKindsAndDamagedFilesAreLeftToQt) {
  const QByteArray good = Written(Varied(9, 5));
  PngPixels check;
  ASSERT_TRUE(Read(good, &check));
  const QByteArray gamma = good.left(33) + Chunk("gAMA", Be32(45455)) + good.mid(33);
  const QByteArray srgb = good.left(33) + Chunk("sRGB", QByteArray(1, '\0')) + good.mid(33);
  const QByteArray chrm = good.left(33) + Chunk("cHRM", QByteArray(32, '\x01')) + good.mid(33);
  const QByteArray sbit = good.left(33) + Chunk("sBIT", QByteArray(4, '\x08')) + good.mid(33);
  const QByteArray iccp = good.left(33) + Chunk("iCCP", QByteArray("x\0\0", 3)) + good.mid(33);
  QByteArray badData = good;
  badData[good.indexOf("IDAT") + 6] = static_cast<char>(badData[good.indexOf("IDAT") + 6] ^ 0x55);
  QByteArray longChunk = good;
  longChunk.replace(33, 4, Be32(0x7fffffff));
  QImage rgb64 = Varied(4, 4).convertToFormat(QImage::Format_RGBA64);
  const struct {
    const char* name;
    QByteArray png;
  } cases[] = {
      {"empty", QByteArray()},
      {"signature only", good.left(8)},
      {"signature changed", QByteArray("\x89PNG\r\n\x1a\x0b") + good.mid(8)},
      {"cut in the header", good.left(20)},
      {"cut in the data", good.left(good.size() / 2)},
      {"no end chunk", good.left(good.size() - 12)},
      {"chunk longer than the file", longChunk},
      {"damaged data", badData},
      {"16-bit", Written(rgb64)},
      {"RGB", Written(Varied(4, 4).convertToFormat(QImage::Format_RGB32))},
      {"grey", Written(Varied(4, 4).convertToFormat(QImage::Format_Grayscale8))},
      {"palette", Written(Varied(4, 4).convertToFormat(QImage::Format_Indexed8))},
      {"interlaced", WithHeaderByte(good, 12, 1)},
      {"zero width", WithHeaderByte(good, 3, 0)},
      {"too many pixels", WithHeaderByte(WithHeaderByte(good, 1, 0x10), 5, 0x10)},
      {"gamma", gamma},
      {"sRGB", srgb},
      {"chromaticities", chrm},
      {"significant bits", sbit},
      {"colour profile", iccp},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PngPixels pixels;
    pixels.width = -1;
    EXPECT_FALSE(Read(c.png, &pixels));
    EXPECT_EQ(pixels.width, -1);
  }
  PngPixels pixels;
  EXPECT_FALSE(ReadRgbaPng(nullptr, 0, &pixels));
}

}  // namespace
