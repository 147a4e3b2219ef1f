// BMP files: 12-byte (core) and 40-byte information headers, 1, 4, 8, 24 and 32 bits per
// pixel, uncompressed only.
#include <cstring>

#include "image/decoded_pixels.h"
#include "image/image_decoders.h"

namespace kvn {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPlainPixels = 0;
// Channel masks; with 32 bits the usual masks are assumed and the pixels read as plain.
constexpr uint32_t kBitFields = 3;
constexpr size_t kBitFieldMasksSize = 12;

uint16_t read_u16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t read_u32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Where the pixels of a file lie and how they are read.
struct BmpLayout {
    int64_t width = 0;
    int64_t height = 0;
    bool top_down = false;
    uint32_t bits = 0;
    size_t palette_start = 0;
    size_t palette_entry_size = 0;
    size_t palette_entries = 0;
    size_t pixels_start = 0;
    size_t row_stride = 0;
};

bool supported_bits(uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

bool read_layout(const uint8_t* data, size_t size, BmpLayout* layout) {
    if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t pixels_offset = read_u32(data + 10);
    const uint32_t header_size = read_u32(data + kFileHeaderSize);
    if (header_size != kCoreHeaderSize && header_size != kInfoHeaderSize) return false;
    if (size < kFileHeaderSize + header_size) return false;
    const uint8_t* header = data + kFileHeaderSize;

    uint32_t compression = kPlainPixels;
    uint32_t colours_used = 0;
    if (header_size == kCoreHeaderSize) {
        layout->width = read_u16(header + 4);
        layout->height = read_u16(header + 6);
        layout->bits = read_u16(header + 10);
        layout->palette_entry_size = 3;
    } else {
        layout->width = static_cast<int32_t>(read_u32(header + 4));
        const int64_t height = static_cast<int32_t>(read_u32(header + 8));
        if (height == INT32_MIN) return false;
        // A negative height marks rows stored top to bottom.
        layout->top_down = height < 0;
        layout->height = height < 0 ? -height : height;
        layout->bits = read_u16(header + 14);
        compression = read_u32(header + 16);
        colours_used = read_u32(header + 32);
        layout->palette_entry_size = 4;
    }
    if (!supported_bits(layout->bits)) return false;
    // Run-length and embedded encodings are refused rather than read as raw rows.
    if (compression != kPlainPixels && !(compression == kBitFields && layout->bits == 32)) {
        return false;
    }
    if (layout->width < 1 || layout->height < 1) return false;

    const size_t possible_entries = layout->bits <= 8 ? size_t{1} << layout->bits : 0;
    size_t entries = colours_used == 0 ? possible_entries : colours_used;
    if (entries > possible_entries) entries = possible_entries;
    layout->palette_start =
        kFileHeaderSize + header_size + (compression == kBitFields ? kBitFieldMasksSize : 0);
    const size_t palette_size = entries * layout->palette_entry_size;
    if (pixels_offset >= layout->palette_start && pixels_offset < size) {
        layout->pixels_start = pixels_offset;
        const size_t room = pixels_offset - layout->palette_start;
        if (room < palette_size) entries = room / layout->palette_entry_size;
    } else {
        // No usable data offset: the pixels follow the palette directly.
        layout->pixels_start = layout->palette_start + palette_size;
    }
    layout->palette_entries = entries;

    // Rows are a multiple of 4 bytes long. Widths and heights are below 2^31, so these
    // products fit in 64 bits.
    const uint64_t row_bits = static_cast<uint64_t>(layout->width) * layout->bits;
    layout->row_stride = static_cast<size_t>((row_bits + 31) / 32 * 4);
    const uint64_t pixels_size = static_cast<uint64_t>(layout->row_stride) * layout->height;
    return layout->pixels_start <= size && pixels_size <= size - layout->pixels_start;
}

// The RGBA colour of every possible index: palette entries as given, indexes beyond the
// palette opaque black, each keyed like a direct colour.
void build_colour_table(const uint8_t* data, const BmpLayout& layout, int32_t key,
                        uint8_t table[256][4]) {
    const size_t possible_entries = size_t{1} << layout.bits;
    for (size_t index = 0; index < possible_entries; ++index) {
        uint8_t blue = 0, green = 0, red = 0;
        if (index < layout.palette_entries) {
            const uint8_t* entry = data + layout.palette_start + index * layout.palette_entry_size;
            blue = entry[0];
            green = entry[1];
            red = entry[2];
        }
        const bool keyed = matches_key(red, green, blue, key);
        table[index][0] = keyed ? 0 : red;
        table[index][1] = keyed ? 0 : green;
        table[index][2] = keyed ? 0 : blue;
        table[index][3] = keyed ? 0 : 255;
    }
}

void convert_indexed_row(const uint8_t* row, int64_t width, uint32_t bits,
                         const uint8_t table[256][4], uint8_t* out) {
    for (int64_t x = 0; x < width; ++x, out += 4) {
        uint32_t index;
        if (bits == 8) {
            index = row[x];
        } else if (bits == 4) {
            index = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;  // high nibble first
        } else {
            index = (row[x >> 3] >> (7 - (x & 7))) & 0x01;  // most significant bit first
        }
        std::memcpy(out, table[index], 4);
    }
}

void convert_direct_row(const uint8_t* row, int64_t width, size_t pixel_size, int32_t key,
                        uint8_t* out) {
    for (int64_t x = 0; x < width; ++x, row += pixel_size, out += 4) {
        const uint8_t blue = row[0], green = row[1], red = row[2];
        const bool keyed = matches_key(red, green, blue, key);
        out[0] = keyed ? 0 : red;
        out[1] = keyed ? 0 : green;
        out[2] = keyed ? 0 : blue;
        out[3] = keyed ? 0 : 255;
    }
}

}  // namespace

bool decode_bmp(const uint8_t* data, size_t size, int32_t key, int32_t max_side,
                DecodedImage* image) {
    BmpLayout layout;
    if (data == nullptr || !read_layout(data, size, &layout) ||
        !size_decoded_image(image, layout.width, layout.height, max_side)) {
        return fail_decode(image);
    }
    uint8_t table[256][4];
    if (layout.bits <= 8) build_colour_table(data, layout, key, table);
    const size_t out_stride = static_cast<size_t>(layout.width) * 4;
    for (int64_t y = 0; y < layout.height; ++y) {
        // Stored rows run bottom-up unless the height was negative.
        const int64_t stored_row = layout.top_down ? y : layout.height - 1 - y;
        const uint8_t* row =
            data + layout.pixels_start + static_cast<size_t>(stored_row) * layout.row_stride;
        uint8_t* out = image->pixels.data() + static_cast<size_t>(y) * out_stride;
        if (layout.bits <= 8) {
            convert_indexed_row(row, layout.width, layout.bits, table, out);
        } else {
            convert_direct_row(row, layout.width, layout.bits / 8, key, out);
        }
    }
    return true;
}

}  // namespace kvn
