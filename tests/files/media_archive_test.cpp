// Media archive lookup: archives built by hand here (independently of kvn-pack), plain-file
// precedence, in-memory and temporary-file extraction, and hostile archives.
#include "files/media_archive.h"

#include <gtest/gtest.h>
#include <lzo/lzo1x.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "files/files_state.h"
#include "files/media_reader.h"
#include "kvn/files.h"
#include "kvn/runtime.h"
#include "support/address_space.h"
#include "support/scratch_directory.h"

namespace kvn {
namespace {

using Bytes = std::vector<uint8_t>;

void put_u32(Bytes* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The stored form of an entry, compressed with the fast LZO1X compressor (not the packer's).
Bytes stored_form(const Bytes& data) {
    Bytes stored;
    put_u32(&stored, static_cast<uint32_t>(data.size()));
    Bytes packed(data.size() + data.size() / 16 + 67);
    std::vector<uint8_t> work(LZO1X_1_MEM_COMPRESS);
    lzo_uint packed_size = 0;
    EXPECT_EQ(lzo_init(), LZO_E_OK);
    EXPECT_EQ(lzo1x_1_compress(data.data(), data.size(), packed.data(), &packed_size, work.data()),
              LZO_E_OK);
    stored.insert(stored.end(), packed.begin(), packed.begin() + packed_size);
    return stored;
}

void put_record(Bytes* bytes, const std::string& name, int32_t offset, uint32_t stored_size) {
    bytes->push_back(static_cast<uint8_t>(name.size()));
    bytes->insert(bytes->end(), name.begin(), name.end());
    put_u32(bytes, static_cast<uint32_t>(offset));
    put_u32(bytes, stored_size);
}

void put_trailer(Bytes* bytes, int32_t directory) {
    bytes->insert(bytes->end(), {0x73, 0x62, 0x58});
    put_u32(bytes, static_cast<uint32_t>(directory));
}

struct Entry {
    std::string name;
    Bytes data;
};

// An archive after prefix; with from_end the offsets count back from the end of the file and
// padding bytes sit between the directory's end and the trailer.
Bytes build_archive(const std::vector<Entry>& entries, bool from_end, Bytes prefix = {},
                    size_t padding = 0) {
    Bytes file = prefix;
    std::vector<std::pair<int64_t, uint32_t>> places;
    for (const Entry& entry : entries) {
        const Bytes stored = stored_form(entry.data);
        places.emplace_back(static_cast<int64_t>(file.size()),
                            static_cast<uint32_t>(stored.size()));
        file.insert(file.end(), stored.begin(), stored.end());
    }
    const int64_t directory = static_cast<int64_t>(file.size());
    int64_t directory_size = 1 + static_cast<int64_t>(padding) + 7;
    for (const Entry& entry : entries) directory_size += 1 + entry.name.size() + 8;
    const int64_t end = directory + directory_size;
    for (size_t i = 0; i < entries.size(); ++i) {
        const int64_t offset = from_end ? places[i].first - end : places[i].first;
        put_record(&file, entries[i].name, static_cast<int32_t>(offset), places[i].second);
    }
    file.push_back(0);
    file.insert(file.end(), padding, 0xEE);
    put_trailer(&file, static_cast<int32_t>(from_end ? directory - end : directory));
    return file;
}

Bytes text_bytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes picture_like(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>((i / 7) ^ (i % 13));
    return bytes;
}

Bytes file_bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void write_bytes(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

Bytes media_bytes(const StringValue& name) {
    Bytes bytes;
    EXPECT_TRUE(read_whole_media(name.c_str(), &bytes)) << name.c_str();
    return bytes;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Every test gets its own TMPDIR (where temporary extractions go) holding its files.
class MediaArchiveTest : public testing_support::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        scratch_ = directory_.string();
    }
    void TearDown() override {
        archive_.release_extraction();
        ScratchDirectoryTest::TearDown();
    }

    // Writes the archive into the scratch folder and points the test's archive at it.
    void use_archive(const Bytes& bytes) {
        archive_path_ = scratch_ + "/media.arc";
        write_bytes(archive_path_, bytes);
        archive_.path = archive_path_.c_str();
        archive_.enabled = true;
    }

    int32_t lookup(const char* name, bool memory_allowed) {
        return resolve_media_file(archive_, name, output_, memory_allowed);
    }

    std::string scratch_;
    std::string archive_path_;
    MediaArchive archive_;
    StringValue output_;
};

TEST_F(MediaArchiveTest, PlainFilesAndLiveImagesWinOverEntries) {
    const Bytes ship = picture_like(5000);
    use_archive(build_archive({{"ship.png", ship}}, false));
    const std::string plain = scratch_ + "/ship.png";
    write_bytes(plain, text_bytes("plain file"));
    EXPECT_EQ(lookup(plain.c_str(), true), 1);
    EXPECT_STREQ(output_.c_str(), plain.c_str());
    EXPECT_EQ(archive_.extracted_image, 0u);

    const uint32_t image = memory_image_add(text_bytes("image"));
    const StringValue image_name = memory_image_name(image);
    EXPECT_EQ(lookup(image_name.c_str(), true), 1);
    EXPECT_STREQ(output_.c_str(), image_name.c_str());
    memory_image_remove(image);

    EXPECT_EQ(lookup("", true), 0);
    EXPECT_STREQ(output_.c_str(), "");

    archive_.enabled = false;
    EXPECT_EQ(lookup("gfx/ship.png", true), 0);
    EXPECT_STREQ(output_.c_str(), "gfx/ship.png");
    archive_.enabled = true;
    archive_.path = "";
    EXPECT_EQ(lookup("gfx/ship.png", true), 0);
    EXPECT_FALSE(archive_.enabled);
}

TEST_F(MediaArchiveTest, FindsEntriesByBaseNameIgnoringCase) {
    const Bytes ship = picture_like(70000);
    const Bytes text = text_bytes("line one\r\nline two\r\n");
    use_archive(build_archive({{"ship.png", ship}, {"Readme.TXT", text}, {"empty", {}}}, false));

    for (const char* name : {"gfx/SHIP.PNG", "gfx\\Ship.png", "no-folder/a/ship.PNG"}) {
        ASSERT_EQ(lookup(name, true), 1) << name;
        EXPECT_EQ(std::strncmp(output_.c_str(), "mem://", 6), 0);
        EXPECT_EQ(media_bytes(output_), ship) << name;
    }
    ASSERT_EQ(lookup("missing-folder/readme.txt", true), 1);
    EXPECT_EQ(media_bytes(output_), text);
    ASSERT_EQ(lookup("missing-folder/EMPTY", true), 1);
    EXPECT_TRUE(media_bytes(output_).empty());

    EXPECT_EQ(lookup("gfx/ship.pn", true), 0);
    EXPECT_STREQ(output_.c_str(), "");
    EXPECT_TRUE(archive_.enabled);

    // The archive itself may be an in-memory image.
    const uint32_t image = memory_image_add(file_bytes(archive_path_));
    archive_.path = memory_image_name(image);
    ASSERT_EQ(lookup("x/readme.txt", true), 1);
    EXPECT_EQ(media_bytes(output_), text);
    archive_.release_extraction();
    memory_image_remove(image);
}

TEST_F(MediaArchiveTest, AnExtractionLivesUntilTheNextLookup) {
    use_archive(
        build_archive({{"a.txt", text_bytes("first")}, {"b.txt", text_bytes("second")}}, false));
    ASSERT_EQ(lookup("d/a.txt", true), 1);
    const StringValue first = output_;
    ASSERT_EQ(lookup("d/b.txt", true), 1);
    MediaReader reader;
    EXPECT_FALSE(reader.open(first.c_str()));
    EXPECT_EQ(media_bytes(output_), text_bytes("second"));
    // A failed lookup releases the previous extraction too.
    const StringValue second = output_;
    EXPECT_EQ(lookup("d/none.txt", true), 0);
    EXPECT_FALSE(reader.open(second.c_str()));

    ASSERT_EQ(lookup("d/a.txt", true), 1);
    archive_.release_extraction();
    EXPECT_FALSE(reader.open(output_.c_str()));
    EXPECT_EQ(archive_.extracted_image, 0u);
}

TEST_F(MediaArchiveTest, NegativeOffsetsCountFromTheEndOfTheFile) {
    const Bytes program = text_bytes(std::string(3000, 'P'));
    const Bytes ship = picture_like(20000);
    // 17 bytes of record, the end byte and the trailer leave 975 bytes of padding for D = -1000.
    const Bytes file = build_archive({{"ship.png", ship}}, true, program, 1000 - 17 - 1 - 7);
    int32_t directory = 0;
    std::memcpy(&directory, file.data() + file.size() - 4, 4);
    ASSERT_EQ(directory, -1000);
    use_archive(file);
    ASSERT_EQ(lookup("gfx/SHIP.png", true), 1);
    EXPECT_EQ(media_bytes(output_), ship);

    // The same absolute layout behind a prefix reads through absolute offsets.
    use_archive(build_archive({{"ship.png", ship}}, false, program));
    ASSERT_EQ(lookup("gfx/ship.png", true), 1);
    EXPECT_EQ(media_bytes(output_), ship);
}

TEST_F(MediaArchiveTest, AFileWithoutTheTrailerDisablesTheArchive) {
    use_archive(text_bytes("just some text, no archive at all"));
    EXPECT_EQ(lookup("x/a.txt", true), 0);
    EXPECT_STREQ(output_.c_str(), "x/a.txt");
    EXPECT_FALSE(archive_.enabled);
    // Mending the file does not help until a path is set again.
    write_bytes(archive_path_, build_archive({{"a.txt", text_bytes("a")}}, false));
    EXPECT_EQ(lookup("x/a.txt", true), 0);
    archive_.path = "";
    archive_.enabled = true;
    EXPECT_EQ(lookup("x/a.txt", true), 0);

    archive_.path = (scratch_ + "/does-not-exist").c_str();
    archive_.enabled = true;
    EXPECT_EQ(lookup("x/a.txt", true), 0);
    EXPECT_FALSE(archive_.enabled);
}

TEST_F(MediaArchiveTest, TemporaryFilesCarryTheEntryNameAndAreDeletedLater) {
    const Bytes ship = picture_like(30000);
    const Bytes file = build_archive({{"pad", text_bytes("x")}, {"Ship.png", ship}}, false);
    use_archive(file);
    // The second record follows the first (1 + 3 + 8 bytes) at the directory offset.
    int32_t directory = 0;
    std::memcpy(&directory, file.data() + file.size() - 4, 4);
    const size_t record = static_cast<size_t>(directory) + 12 + 1 + 8;
    const uint8_t offset_low = file[record];
    const uint8_t stored_low = file[record + 4];
    const std::string expected = scratch_ + "/sbx" + static_cast<char>('A' + offset_low % 26) +
                                 static_cast<char>('A' + stored_low % 26) + "Ship.png";

    ASSERT_EQ(lookup("gfx/SHIP.PNG", false), 1);
    EXPECT_STREQ(output_.c_str(), expected.c_str());
    EXPECT_EQ(file_bytes(expected), ship);
    EXPECT_EQ(archive_.extracted_image, 0u);

    // The next lookup deletes it, even one that finds a plain file.
    EXPECT_EQ(lookup(archive_path_.c_str(), false), 1);
    EXPECT_FALSE(exists(expected));
    ASSERT_EQ(lookup("gfx/ship.png", false), 1);
    archive_.release_extraction();
    EXPECT_FALSE(exists(expected));
    {
        MediaArchive scoped;
        scoped.path = archive_path_.c_str();
        scoped.enabled = true;
        StringValue output;
        ASSERT_EQ(resolve_media_file(scoped, "gfx/ship.png", output, false), 1);
        EXPECT_TRUE(exists(expected));
    }
    EXPECT_FALSE(exists(expected));
}

TEST_F(MediaArchiveTest, TemporaryExtractionRefusesUnsafeNamesAndNeverFollowsLinks) {
    const Bytes data = text_bytes("payload");
    const std::string outside = scratch_ + "/outside";
    ASSERT_EQ(::mkdir(outside.c_str(), 0700), 0);
    // A request's base name never holds a separator, so such entries are never matched.
    for (const char* name : {"../outside/x", "..\\outside\\x"}) {
        use_archive(build_archive({{name, data}}, false));
        EXPECT_EQ(lookup((std::string("d/") + name).c_str(), false), 0) << name;
        EXPECT_EQ(lookup("d/x", false), 0) << name;
    }
    // Names with ".." are extracted into memory but never become temporary files.
    for (const char* name : {"..", "a..b"}) {
        use_archive(build_archive({{name, data}}, false));
        EXPECT_EQ(lookup((std::string("d/") + name).c_str(), false), 0) << name;
        EXPECT_TRUE(archive_.temp_file.empty()) << name;
        EXPECT_EQ(lookup((std::string("d/") + name).c_str(), true), 1) << name;
    }
    EXPECT_EQ(::rmdir(outside.c_str()), 0) << "nothing was written outside";
    for (const auto& item : std::filesystem::directory_iterator(scratch_)) {
        EXPECT_NE(item.path().filename().string().rfind("sbx", 0), 0u) << item.path();
    }

    // An existing link where the temporary file goes is replaced, its target untouched.
    const Bytes file = build_archive({{"linked.txt", data}}, false);
    use_archive(file);
    ASSERT_EQ(lookup("d/linked.txt", false), 1);
    const std::string temporary = output_.c_str();
    archive_.release_extraction();
    const std::string victim = scratch_ + "/victim";
    write_bytes(victim, text_bytes("keep me"));
    ASSERT_EQ(::symlink(victim.c_str(), temporary.c_str()), 0);
    ASSERT_EQ(lookup("d/linked.txt", false), 1);
    EXPECT_EQ(file_bytes(victim), text_bytes("keep me"));
    struct stat info {};
    ASSERT_EQ(::lstat(temporary.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(file_bytes(temporary), data);
}

TEST_F(MediaArchiveTest, HostileArchivesFailCleanly) {
    const Bytes good = stored_form(text_bytes(std::string(500, 'z') + "end"));
    const uint32_t good_size = static_cast<uint32_t>(good.size());
    auto with_record = [&](const Bytes& data, const std::string& name, int32_t offset,
                           uint32_t stored_size) {
        Bytes file = data;
        const int32_t directory = static_cast<int32_t>(file.size());
        put_record(&file, name, offset, stored_size);
        file.push_back(0);
        put_trailer(&file, directory);
        return file;
    };
    auto trailer_only = [](int32_t directory) {
        Bytes file(16, 0);
        put_trailer(&file, directory);
        return file;
    };
    Bytes past_end = good;
    past_end.insert(past_end.end(), {200, 'a', 'b'});
    put_trailer(&past_end, static_cast<int32_t>(good.size()));
    Bytes huge = good;
    huge[0] = 0x01, huge[1] = 0x00, huge[2] = 0x00, huge[3] = 0x10;  // 256 MiB + 1
    Bytes overgrown = good;
    overgrown[0] = 0x00, overgrown[1] = 0x00, overgrown[2] = 0x10, overgrown[3] = 0x00;  // 1 MiB
    Bytes corrupt = good;
    for (size_t i = 4; i < corrupt.size(); i += 3) corrupt[i] ^= 0x5A;
    Bytes short_declared = good;
    short_declared[0] = static_cast<uint8_t>(short_declared[0] - 10);
    Bytes long_declared = good;
    long_declared[0] = static_cast<uint8_t>(long_declared[0] + 10);
    Bytes truncated = good;
    truncated.resize(truncated.size() - 5);

    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"trailer past the end", trailer_only(1000)},
        {"trailer at the end", trailer_only(23)},
        {"trailer before the start", trailer_only(-1000)},
        {"most negative directory", trailer_only(INT32_MIN)},
        {"directory past the end", past_end},
        {"offset past the end", with_record(good, "a", 1 << 20, good_size)},
        {"negative absolute offset", with_record(good, "a", -4, good_size)},
        {"stored size past the end", with_record(good, "a", 0, good_size + 100)},
        {"offset and size overflow", with_record(good, "a", INT32_MAX, UINT32_MAX)},
        {"stored size too small", with_record(good, "a", 0, 3)},
        {"over 256 MiB", with_record(huge, "a", 0, good_size)},
        {"more than the data can produce", with_record(overgrown, "a", 0, good_size)},
        {"corrupt data", with_record(corrupt, "a", 0, good_size)},
        {"declared size too small", with_record(short_declared, "a", 0, good_size)},
        {"declared size too large", with_record(long_declared, "a", 0, good_size)},
        {"data cut short", with_record(truncated, "a", 0, good_size - 5)},
    };
    for (const auto& c : cases) {
        for (const bool memory_allowed : {true, false}) {
            use_archive(c.file);
            EXPECT_EQ(lookup("d/a", memory_allowed), 0) << c.what;
            EXPECT_STREQ(output_.c_str(), "") << c.what;
            EXPECT_TRUE(archive_.enabled) << c.what;
            EXPECT_EQ(archive_.extracted_image, 0u) << c.what;
            EXPECT_TRUE(archive_.temp_file.empty()) << c.what;
        }
    }
    // The same record over sound data works.
    use_archive(with_record(good, "a", 0, good_size));
    ASSERT_EQ(lookup("d/a", true), 1);
    EXPECT_EQ(media_bytes(output_), text_bytes(std::string(500, 'z') + "end"));
}

TEST_F(MediaArchiveTest, SetMediaArchivesSetsBothPathsAndReleasesExtractions) {
    // The archives of the files state the runtime attached for the whole process.
    const MediaArchive& first = files_state().media_archives[0];
    MediaArchive& second = files_state().media_archives[1];
    use_archive(build_archive({{"a.txt", text_bytes("from archive")}}, false));

    set_media_archives(archive_path_.c_str(), archive_path_.c_str());
    EXPECT_TRUE(first.enabled && second.enabled);
    StringValue output;
    ASSERT_EQ(resolve_in_first_archive("d/A.TXT", output), 1);
    EXPECT_EQ(media_bytes(output), text_bytes("from archive"));
    StringValue temporary;
    ASSERT_EQ(resolve_media_file(second, "d/a.txt", temporary, false), 1);
    EXPECT_TRUE(exists(temporary.c_str()));

    set_media_archives(std::string(1500, 'n').c_str(), "");
    MediaReader reader;
    EXPECT_FALSE(reader.open(output.c_str()));
    EXPECT_FALSE(exists(temporary.c_str()));
    EXPECT_EQ(first.path.length(), 1024u);
    EXPECT_EQ(resolve_media_file(second, "d/a.txt", temporary, false), 0);
    EXPECT_FALSE(second.enabled);

    clear_media_archives();
    EXPECT_TRUE(first.path.empty() && second.path.empty());
    EXPECT_FALSE(first.enabled || second.enabled);
}

TEST_F(MediaArchiveTest, AnEntryTooLargeForTheAddressSpaceEndsWithOutOfMemory) {
    if (testing_support::kAddressSanitizer) GTEST_SKIP() << "no address-space limit under ASan";
    {
        // 64 MiB that pack well, behind enough scrambled bytes to pass the growth check.
        Bytes big(64u << 20, 0);
        uint32_t noise = 1;
        for (size_t i = 0; i < (512u << 10); ++i) {
            noise = noise * 1103515245u + 12345u;
            big[i] = static_cast<uint8_t>(noise >> 24);
        }
        use_archive(build_archive({{"big.bin", big}}, false));
    }
    for (const bool memory_allowed : {true, false}) {
        expect_end_record();
        EXPECT_EXIT(
            {
                testing_support::AddressSpaceLimit limit;
                if (!limit.active()) std::_Exit(99);
                lookup("big.bin", memory_allowed);
                std::_Exit(98);
            },
            testing::ExitedWithCode(0), "")
            << memory_allowed;
        EXPECT_EQ(ended_with_code(), 7) << memory_allowed;
    }
}

}  // namespace
}  // namespace kvn
