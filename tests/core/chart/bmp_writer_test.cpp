#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/results/bmp_writer.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;

namespace {
std::uint32_t u32(const std::vector<std::uint8_t>& f, std::size_t at) {
    return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | static_cast<std::uint32_t>(f[at + 3]) << 24;
}

// Pixel (x, y) is red x, green y, blue 200; rows `stride` bytes apart, filler 0xEE.
std::vector<std::uint8_t> gradient(int width, int height, std::size_t stride) {
    std::vector<std::uint8_t> px(stride * static_cast<std::size_t>(height), 0xEE);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = px.data() + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3;
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = 200;
        }
    return px;
}
}  // namespace

TEST(Bmp24, HeaderOfA101PixelWideImage) {
    EXPECT_EQ(bmpStride24(101), 304u);
    const std::vector<std::uint8_t> px = gradient(101, 7, 303);
    const std::vector<std::uint8_t> f = encodeBmp24(101, 7, px.data(), 303);
    ASSERT_EQ(f.size(), 54u + 304u * 7u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    //             size      reserved  offset  header  width  height  planes | 24 bits
    const std::uint32_t fields[] = {54 + 304 * 7, 0, 54, 40, 101, 7, 1 | 24 << 16};
    for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(u32(f, 2 + 4 * i), fields[i]) << "offset " << 2 + 4 * i;
    // Compression, image size, resolutions and both colour counts are 0.
    for (std::size_t at = 30; at < 54; at += 4) EXPECT_EQ(u32(f, at), 0u) << "offset " << at;
    EXPECT_EQ(f[54 + 303], 0);  // the pad byte of a row
}

TEST(Bmp24, RowsAreStoredBottomFirstInBlueGreenRed) {
    const std::vector<std::uint8_t> px = gradient(3, 4, 16);  // source rows padded past 3 x width
    const std::vector<std::uint8_t> f = encodeBmp24(3, 4, px.data(), 16);
    ASSERT_EQ(f.size(), 54u + 12u * 4u);
    for (int stored = 0; stored < 4; ++stored)
        for (int x = 0; x < 3; ++x) {
            const std::size_t at = 54 + static_cast<std::size_t>(stored * 12 + x * 3);
            EXPECT_EQ((std::array{f[at], f[at + 1], f[at + 2]}),
                      (std::array<std::uint8_t, 3>{200, static_cast<std::uint8_t>(3 - stored),
                                                   static_cast<std::uint8_t>(x)}));
        }
    EXPECT_TRUE(encodeBmp24(0, 4, px.data(), 16).empty());
}

TEST(Bmp24, WritesTheEncodedBytesAndNothingWhereNoFileCanBeMade) {
    verdanel::testing::TempFolder folder;
    const std::vector<std::uint8_t> px = gradient(5, 3, 15);
    const std::string path = folder.write("window.bmp", std::string(5000, 'x'));  // replaced
    ASSERT_TRUE(writeBmp24(path, 5, 3, px.data(), 15));
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), encodeBmp24(5, 3, px.data(), 15));

    const std::string nowhere = folder.file("missing/window.bmp");
    EXPECT_FALSE(writeBmp24(nowhere, 5, 3, px.data(), 15));
    EXPECT_FALSE(std::filesystem::exists(nowhere));
}
