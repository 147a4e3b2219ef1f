// WAV bytes in, as a memory image: the chunk walk, the size checks and the sample copy see
// hostile input here, and whatever loads is mixed once.
#include <cstdint>
#include <vector>

#include "files/media_reader.h"
#include "sound/mixer.h"
#include "sound/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint32_t image = kvn::memory_image_add(std::vector<uint8_t>(data, data + size));
    kvn::SoundData sound;
    if (kvn::read_wav(kvn::memory_image_name(image).c_str(), &sound)) {
        kvn::MixVoice voice;
        voice.data = &sound;
        int16_t out[2 * 256];
        kvn::mix_voices(&voice, 1, kvn::kDeviceRate, out, 256);
    }
    kvn::memory_image_remove(image);
    return 0;
}
