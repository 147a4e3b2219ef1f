// The PNG, JPEG and BMP encoders: files read back by the project's decoders and by ImageMagick,
// the BMP layout byte by byte, and refused pictures.
#include "image/image_writers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "image/image_decoders.h"
#include "support/working_directory.h"

namespace kvn {
namespace {

// A w x h picture with a different colour and alpha at every pixel.
SavedPicture pattern(int32_t w, int32_t h) {
    SavedPicture picture;
    picture.width = w;
    picture.height = h;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            // Smooth ramps, so JPEG keeps them close.
            picture.bgra.insert(picture.bgra.end(),
                                {uint8_t(x * 255 / w), uint8_t(y * 255 / h), uint8_t(128 + x / 2),
                                 uint8_t(x == 0 ? 0 : 200 + y % 50)});
        }
    }
    return picture;
}

std::string command_output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
        pclose(pipe);
    }
    return output;
}

uint32_t le32(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24;
}

class ImageWritersTest : public testing_support::WorkingDirectoryTest {};

TEST(ImageWriters, FileKindFollowsTheEndOfThePath) {
    const struct {
        const char* path;
        ImageFileKind kind;
    } cases[] = {{"a.png", ImageFileKind::kPng},   {"A.PnG", ImageFileKind::kPng},
                 {"b.jpg", ImageFileKind::kJpeg},  {"b.JPG", ImageFileKind::kJpeg},
                 {"notjpg", ImageFileKind::kJpeg}, {"c.jpeg", ImageFileKind::kBmp},
                 {"png", ImageFileKind::kBmp},     {"d.bmp", ImageFileKind::kBmp},
                 {"", ImageFileKind::kBmp}};
    for (const auto& c : cases) EXPECT_EQ(image_kind_for_path(c.path), c.kind) << c.path;
}

TEST_F(ImageWritersTest, FilesReadBackAsWrittenByBothReaders) {
    const SavedPicture picture = pattern(37, 21);  // width not a multiple of four
    const bool have_imagemagick =
        command_output("convert -version").find("ImageMagick") != std::string::npos;
    const struct {
        ImageFileKind kind;
        const char* name;
        int tolerance;
        bool keeps_alpha;
    } cases[] = {{ImageFileKind::kPng, "w.png", 0, true},
                 {ImageFileKind::kJpeg, "w.jpg", 16, false},
                 {ImageFileKind::kBmp, "w.bmp", 0, false}};
    for (const auto& c : cases) {
        std::vector<uint8_t> file;
        ASSERT_TRUE(encode_image(picture, c.kind, &file)) << c.name;
        DecodedImage decoded;
        const bool ok = c.kind == ImageFileKind::kPng ? decode_png(file.data(), file.size(), c.name,
                                                                   kNoColourKey, 4096, &decoded)
                        : c.kind == ImageFileKind::kJpeg
                            ? decode_jpeg(file.data(), file.size(), 4096, &decoded)
                            : decode_bmp(file.data(), file.size(), kNoColourKey, 4096, &decoded);
        ASSERT_TRUE(ok) << c.name;
        ASSERT_EQ(decoded.width, picture.width) << c.name;
        ASSERT_EQ(decoded.height, picture.height) << c.name;

        testing_support::write_file(directory_ / c.name, std::string(file.begin(), file.end()));
        std::string independent;
        if (have_imagemagick) {
            EXPECT_EQ(command_output(std::string("identify -format '%w %h' ") + c.name), "37 21");
            independent = command_output(std::string("convert ") + c.name + " -depth 8 rgba:-");
            ASSERT_EQ(independent.size(), picture.bgra.size()) << c.name;
        }
        for (size_t i = 0; i < picture.bgra.size(); i += 4) {
            const uint8_t* source = &picture.bgra[i];
            const int expected[4] = {source[2], source[1], source[0],
                                     c.keeps_alpha ? source[3] : 255};
            for (int channel = 0; channel < 4; ++channel) {
                ASSERT_NEAR(decoded.pixels[i + channel], expected[channel], c.tolerance)
                    << c.name << " byte " << i + channel;
                if (!independent.empty()) {
                    ASSERT_NEAR(uint8_t(independent[i + channel]), expected[channel], c.tolerance)
                        << c.name << " (ImageMagick) byte " << i + channel;
                }
            }
        }
    }
}

TEST(ImageWriters, BmpHeaderAndPaddedBottomUpRows) {
    const SavedPicture picture = pattern(5, 3);
    std::vector<uint8_t> file;
    ASSERT_TRUE(encode_bmp(picture, &file));
    const uint32_t stride = 16;  // 5 x 3 bytes raised to a multiple of 4
    ASSERT_EQ(file.size(), 54u + stride * 3);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    const struct {
        size_t at;
        uint32_t value;
    } fields[] = {
        {2, 54 + stride * 3}, {6, 0},      {10, 54}, {14, 40}, {18, 5}, {22, 3}, {30, 0}, {34, 0},
        {38, 10000},          {42, 10000}, {46, 0},  {50, 0}};
    for (const auto& f : fields) EXPECT_EQ(le32(file, f.at), f.value) << "offset " << f.at;
    EXPECT_EQ(file[26] | file[27] << 8, 1);
    EXPECT_EQ(file[28] | file[29] << 8, 24);
    // The file's first row is the picture's last; the padding bytes are zero.
    for (int32_t row = 0; row < 3; ++row) {
        const uint8_t* line = &file[54 + row * stride];
        for (int32_t x = 0; x < 5; ++x) {
            const uint8_t* source = &picture.bgra[((2 - row) * 5 + x) * 4];
            EXPECT_EQ(line[x * 3], source[0]);
            EXPECT_EQ(line[x * 3 + 1], source[1]);
            EXPECT_EQ(line[x * 3 + 2], source[2]);
        }
        EXPECT_EQ(line[15], 0);
    }
}

TEST(ImageWriters, EmptyOrInconsistentPicturesAreRefused) {
    SavedPicture short_buffer = pattern(4, 4);
    short_buffer.bgra.pop_back();
    const SavedPicture pictures[] = {SavedPicture(), pattern(4, 4), short_buffer};
    SavedPicture no_rows = pattern(4, 4);
    no_rows.height = 0;
    for (ImageFileKind kind : {ImageFileKind::kPng, ImageFileKind::kJpeg, ImageFileKind::kBmp}) {
        std::vector<uint8_t> file = {1, 2, 3};
        EXPECT_FALSE(encode_image(pictures[0], kind, &file));
        EXPECT_TRUE(file.empty());
        EXPECT_TRUE(encode_image(pictures[1], kind, &file));
        EXPECT_FALSE(encode_image(pictures[2], kind, &file));
        EXPECT_FALSE(encode_image(no_rows, kind, &file));
    }
}

}  // namespace
}  // namespace kvn
