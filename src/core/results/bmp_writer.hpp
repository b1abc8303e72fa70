#pragma once
// Windows bitmap files (BMP) of 24 bits per pixel: a 14-byte file header,
// the 40-byte information header, then the pixel rows bottom row first, each
// pixel blue, green, red, each row padded with zeros to a multiple of 4 bytes.
//
//     offset  field                 value
//      0      type                  "BM"
//      2      file size             54 + stride x height
//      6, 8   reserved              0, 0
//     10      offset of the rows    54
//     14      header size           40
//     18, 22  width, height         height positive: rows stored bottom-up
//     26, 28  planes, bits          1, 24
//     30      compression           0
//     34      image size            0
//     38, 42  resolutions           0, 0
//     46, 50  colours, important    0, 0
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace verdanel {

inline constexpr std::size_t kBmpHeaderBytes = 14 + 40;

// Bytes of one stored row: 3 x width rounded up to a multiple of 4.
constexpr std::size_t bmpStride24(int width) {
    return width <= 0 ? 0 : (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
}

// The whole file from an image given top row first, `stride` bytes apart,
// 3 bytes per pixel in red, green, blue order. Empty when the size is not
// positive or the file would not fit the 32-bit size field.
std::vector<std::uint8_t> encodeBmp24(int width, int height, const std::uint8_t* rgbTopDownRows, std::size_t stride);

// Creates (or replaces) the file and writes encodeBmp24's bytes. False when
// there is nothing to encode or the file cannot be created or written; a
// file that could not be written completely is removed again.
bool writeBmp24(const std::filesystem::path& path, int width, int height, const std::uint8_t* rgbTopDownRows,
                std::size_t stride);

}  // namespace verdanel
