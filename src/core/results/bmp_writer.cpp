#include "core/results/bmp_writer.hpp"

#include <cstdint>
#include <fstream>
#include <system_error>

namespace verdanel {

namespace {

void put16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> encodeBmp24(int width, int height, const std::uint8_t* rgbTopDownRows, std::size_t stride) {
    if (width <= 0 || height <= 0 || rgbTopDownRows == nullptr) return {};
    const std::size_t rowBytes = bmpStride24(width);
    if (stride < static_cast<std::size_t>(width) * 3) return {};
    const std::uint64_t total =
        kBmpHeaderBytes + static_cast<std::uint64_t>(rowBytes) * static_cast<std::uint64_t>(height);
    if (total > UINT32_MAX) return {};

    std::vector<std::uint8_t> file(static_cast<std::size_t>(total), 0);
    std::uint8_t* h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, static_cast<std::uint32_t>(total));
    put32(h + 10, static_cast<std::uint32_t>(kBmpHeaderBytes));
    put32(h + 14, 40);
    put32(h + 18, static_cast<std::uint32_t>(width));
    put32(h + 22, static_cast<std::uint32_t>(height));
    put16(h + 26, 1);
    put16(h + 28, 24);
    // Compression, image size, both resolutions, colours used and important
    // colours (offsets 30 to 53) stay 0.

    for (int row = 0; row < height; ++row) {
        const std::uint8_t* src = rgbTopDownRows + static_cast<std::size_t>(height - 1 - row) * stride;
        std::uint8_t* dst = file.data() + kBmpHeaderBytes + static_cast<std::size_t>(row) * rowBytes;
        for (int x = 0; x < width; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return file;
}

bool writeBmp24(const std::filesystem::path& path, int width, int height, const std::uint8_t* rgbTopDownRows,
                std::size_t stride) {
    const std::vector<std::uint8_t> bytes = encodeBmp24(width, height, rgbTopDownRows, stride);
    if (bytes.empty()) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return false;
    }
    return true;
}

}  // namespace verdanel
