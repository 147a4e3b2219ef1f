// The WAV reader on files and memory images: chunk walking and every kind of lying header.
#include "sound/wav_reader.h"

#include <gtest/gtest.h>

#include "wav_bytes.h"

namespace kvn {
namespace {

using namespace testing_support;

const Bytes kSamples = samples16({100, -200, 300, -400, 500, -600});

TEST(WavReaderTest, ReadsTheFormatAndSamplesPastOtherChunks) {
    struct Case {
        const char* what;
        Bytes file;
        PcmFormat format;
        Bytes samples;
    };
    Bytes long_format = format_fields(2, 44100, 16);
    long_format.insert(long_format.end(), {0x16, 0, 1, 2, 3, 4, 5, 6});
    const Bytes eight_bit{0, 128, 255, 7, 9};
    const Case cases[] = {
        {"plain", wav(1, 22050, 16, kSamples), {1, 16, 22050}, kSamples},
        {"chunks before fmt and data, odd sizes without pad",
         riff({chunk("LIST", Bytes(5, 'x')), chunk("fmt ", format_fields(1, 11025, 8)),
               chunk("fact", Bytes(3, 0)), chunk("data", eight_bit)}),
         {1, 8, 11025},
         eight_bit},
        {"a larger fmt chunk",
         riff({chunk("fmt ", long_format), chunk("data", kSamples)}),
         {2, 16, 44100},
         Bytes(kSamples.begin(), kSamples.begin() + 12)},
        {"data longer than the file: the whole frames that are there",
         riff({chunk("fmt ", format_fields(2, 8000, 16)),
               chunk("data", Bytes(kSamples.begin(), kSamples.begin() + 11), 0xFFFFFFF0)}),
         {2, 16, 8000},
         Bytes(kSamples.begin(), kSamples.begin() + 8)},
        {"rates at the limits", wav(1, 100000, 16, kSamples), {1, 16, 100000}, kSamples},
        {"rates at the limits",
         wav(2, 100, 8, eight_bit),
         {2, 8, 100},
         Bytes(eight_bit.begin(), eight_bit.begin() + 4)},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.what);
        const MemoryImage image(each.file);
        SoundData sound;
        ASSERT_TRUE(read_wav(image.name().c_str(), &sound));
        EXPECT_EQ(sound.format.channels, each.format.channels);
        EXPECT_EQ(sound.format.bits_per_sample, each.format.bits_per_sample);
        EXPECT_EQ(sound.format.sample_rate, each.format.sample_rate);
        EXPECT_EQ(sound.bytes, each.samples);
    }
}

TEST(WavReaderTest, LyingOrUnplayableInputsFail) {
    const Bytes good = wav(1, 22050, 16, kSamples);
    Bytes not_wave = good;
    not_wave[8] = 'A';
    Bytes not_riff = good;
    not_riff[0] = 'X';
    const Bytes fmt = chunk("fmt ", format_fields(1, 22050, 16));
    const Bytes data = chunk("data", kSamples);
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"empty", {}},
        {"shorter than the header", Bytes(good.begin(), good.begin() + 10)},
        {"not RIFF", not_riff},
        {"not WAVE", not_wave},
        {"no fmt chunk", riff({data})},
        {"a short fmt chunk", riff({chunk("fmt ", Bytes(12, 1)), data})},
        {"fmt chunk cut off", Bytes(good.begin(), good.begin() + 28)},
        {"a chunk size near 4 GiB before fmt",
         riff({chunk("LIST", Bytes(8, 0), 0xFFFFFFF8), fmt, data})},
        {"a chunk size near 4 GiB before data",
         riff({fmt, chunk("LIST", Bytes(8, 0), 0xFFFFFFFF), data})},
        {"a fmt size near 4 GiB",
         riff({chunk("fmt ", format_fields(1, 22050, 16), 0xFFFFFFF0), data})},
        {"no data chunk", riff({fmt, chunk("LIST", Bytes(4, 0))})},
        {"a data chunk without one whole frame",
         riff({chunk("fmt ", format_fields(2, 22050, 16)), chunk("data", Bytes(3, 0))})},
        {"an empty data chunk", riff({fmt, chunk("data", {})})},
        {"compressed", riff({chunk("fmt ", format_fields(1, 22050, 16, 2)), data})},
        {"0 channels", riff({chunk("fmt ", format_fields(0, 22050, 16, 1, 2)), data})},
        {"200 channels", riff({chunk("fmt ", format_fields(200, 22050, 16)), data})},
        {"24 bits", riff({chunk("fmt ", format_fields(1, 22050, 24)), data})},
        {"0 bits", riff({chunk("fmt ", format_fields(1, 22050, 0, 1, 2)), data})},
        {"a wrong block alignment", riff({chunk("fmt ", format_fields(1, 22050, 16, 1, 4)), data})},
        {"rate 0", riff({chunk("fmt ", format_fields(1, 0, 16)), data})},
        {"rate 99", riff({chunk("fmt ", format_fields(1, 99, 16)), data})},
        {"rate 100001", riff({chunk("fmt ", format_fields(1, 100001, 16)), data})},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.what);
        const MemoryImage image(each.file);
        SoundData sound;
        EXPECT_FALSE(read_wav(image.name().c_str(), &sound));
    }
}

}  // namespace
}  // namespace kvn
