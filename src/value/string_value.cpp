// The counted text type: storage, growth, in-place edits and concatenation.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

#include "kvn/base.h"
#include "kvn/value.h"

namespace kvn {

namespace {

// The one text every value that owns nothing points at; only its NUL is ever read.
char shared_empty_text = '\0';

// Longest text whose rounded capacity still fits in 32 bits: (n + 1 rounded down to 16) + 16.
constexpr uint32_t kMaxTextLength = UINT32_MAX - 17;

// A size that cannot be represented, or a heap that is exhausted, ends the program with error 7:
// no text operation reports errors, and a wrapped size would corrupt memory instead.
char* allocate(uint32_t bytes) {
    char* buffer = static_cast<char*>(std::malloc(bytes));
    if (buffer == nullptr) fatal_out_of_memory();
    return buffer;
}

void free_unless_shared(char* buffer) {
    if (buffer != &shared_empty_text) std::free(buffer);
}

// Length of a plain text up to its first NUL; null counts as empty.
uint32_t plain_text_length(const char* text) {
    if (text == nullptr) return 0;
    const size_t length = std::strlen(text);
    if (length > kMaxTextLength) fatal_out_of_memory();
    return static_cast<uint32_t>(length);
}

template <typename Left, typename Right>
StringValue joined(const Left& left, const Right& right) {
    StringValue result(left);
    result += right;
    return result;
}

}  // namespace

StringValue::StringValue() noexcept : buffer_(&shared_empty_text), capacity_(0), length_(0) {}

StringValue::StringValue(const char* text) : StringValue() {
    *this += text;
}

StringValue::StringValue(const StringValue& other) : StringValue() {
    append_bytes(other.buffer_, other.length_);
}

StringValue::StringValue(StringValue&& other) noexcept
    : buffer_(other.buffer_), capacity_(other.capacity_), length_(other.length_) {
    other.buffer_ = &shared_empty_text;
    other.capacity_ = 0;
    other.length_ = 0;
}

StringValue::StringValue(int32_t number) : StringValue(int_to_text(number)) {}

StringValue::StringValue(double number) : StringValue(number_to_text(number)) {}

StringValue::StringValue(float number) : StringValue(static_cast<double>(number)) {}

StringValue::~StringValue() {
    free_unless_shared(buffer_);
    buffer_ = nullptr;
    capacity_ = 0;
    length_ = 0;
}

StringValue& StringValue::operator=(const StringValue& other) {
    StringValue(other).swap(*this);
    return *this;
}

StringValue& StringValue::operator=(StringValue&& other) noexcept {
    StringValue(std::move(other)).swap(*this);
    return *this;
}

// The copy is made before the old buffer is freed, so assigning a value its own text is safe.
StringValue& StringValue::operator=(const char* text) {
    const uint32_t count = plain_text_length(text);
    if (count == 0) {
        clear();
        return *this;
    }
    char* copy = allocate(count + 1);
    std::memcpy(copy, text, count);
    copy[count] = '\0';
    free_unless_shared(buffer_);
    buffer_ = copy;
    capacity_ = count + 1;
    length_ = count;
    return *this;
}

StringValue& StringValue::operator+=(const char* text) {
    append_bytes(text, plain_text_length(text));
    return *this;
}

StringValue& StringValue::operator+=(const StringValue& other) {
    append_bytes(other.buffer_, other.length_);
    return *this;
}

StringValue& StringValue::operator+=(int32_t number) {
    return *this += StringValue(number);
}

StringValue& StringValue::operator+=(double number) {
    return *this += StringValue(number);
}

StringValue& StringValue::operator+=(float number) {
    return *this += StringValue(number);
}

void StringValue::reserve(uint32_t n, bool keep) {
    if (n == 0) return;
    if (n > kMaxTextLength) fatal_out_of_memory();
    const uint32_t need = n + 1;
    if (capacity_ >= need) return;
    const uint32_t new_capacity = (need & ~15u) + 16;
    if (keep && length_ != 0) {
        // The allocator can often grow a block where it stands (large blocks are remapped,
        // not copied), which keeps a text built character by character from costing the
        // square of its length; the kept bytes and their terminator come along.
        char* grown = static_cast<char*>(std::realloc(buffer_, new_capacity));
        if (grown == nullptr) fatal_out_of_memory();
        buffer_ = grown;
    } else {
        char* fresh = allocate(new_capacity);
        fresh[0] = '\0';
        free_unless_shared(buffer_);
        buffer_ = fresh;
    }
    capacity_ = new_capacity;
}

char* StringValue::writable_buffer(uint32_t n) {
    reserve(n, true);
    return buffer_;
}

void StringValue::recount() {
    if (capacity_ == 0) {
        length_ = 0;
        return;
    }
    const void* terminator = std::memchr(buffer_, '\0', capacity_);
    if (terminator != nullptr) {
        length_ = static_cast<uint32_t>(static_cast<const char*>(terminator) - buffer_);
        return;
    }
    // The text filled every byte: give up its last character to make room for the terminator.
    length_ = capacity_ - 1;
    buffer_[length_] = '\0';
}

void StringValue::set_length(int64_t n) {
    if (n < 0 || n >= static_cast<int64_t>(capacity_)) return;
    length_ = static_cast<uint32_t>(n);
    buffer_[length_] = '\0';
}

void StringValue::clear() {
    free_unless_shared(buffer_);
    buffer_ = &shared_empty_text;
    capacity_ = 0;
    length_ = 0;
}

void StringValue::trim_trailing_controls() {
    while (length_ != 0 && static_cast<signed char>(buffer_[length_ - 1]) <= 31) {
        --length_;
        buffer_[length_] = '\0';
    }
}

void StringValue::to_upper() {
    for (uint32_t i = 0; i < length_; ++i) {
        if (buffer_[i] >= 'a' && buffer_[i] <= 'z') buffer_[i] = static_cast<char>(buffer_[i] - 32);
    }
}

void StringValue::to_lower() {
    for (uint32_t i = 0; i < length_; ++i) {
        if (buffer_[i] >= 'A' && buffer_[i] <= 'Z') buffer_[i] = static_cast<char>(buffer_[i] + 32);
    }
}

int StringValue::compare(const char* text) const {
    return std::strcmp(buffer_, text != nullptr ? text : "");
}

uint32_t StringValue::system_length() const {
    return static_cast<uint32_t>(std::strlen(buffer_));
}

bool StringValue::is_shared_empty() const {
    return buffer_ == &shared_empty_text;
}

void StringValue::swap(StringValue& other) noexcept {
    std::swap(buffer_, other.buffer_);
    std::swap(capacity_, other.capacity_);
    std::swap(length_, other.length_);
}

void StringValue::append_bytes(const char* bytes, uint32_t count) {
    if (count == 0) return;
    // Growing frees the old buffer, so bytes taken from this value's own text are copied first.
    const std::less<const char*> before;
    if (!before(bytes, buffer_) && before(bytes, buffer_ + capacity_)) {
        StringValue own_bytes;
        own_bytes.append_bytes(bytes, count);
        append_bytes(own_bytes.buffer_, own_bytes.length_);
        return;
    }
    if (count > kMaxTextLength - length_) fatal_out_of_memory();
    reserve(length_ + count, true);
    std::memcpy(buffer_ + length_, bytes, count);
    length_ += count;
    buffer_[length_] = '\0';
}

StringValue operator+(const StringValue& left, const StringValue& right) {
    return joined(left, right);
}
StringValue operator+(const StringValue& left, const char* right) {
    return joined(left, right);
}
StringValue operator+(const StringValue& left, int32_t right) {
    return joined(left, right);
}
StringValue operator+(const StringValue& left, double right) {
    return joined(left, right);
}
StringValue operator+(const StringValue& left, float right) {
    return joined(left, right);
}
StringValue operator+(const char* left, const StringValue& right) {
    return joined(left, right);
}
StringValue operator+(int32_t left, const StringValue& right) {
    return joined(left, right);
}
StringValue operator+(double left, const StringValue& right) {
    return joined(left, right);
}
StringValue operator+(float left, const StringValue& right) {
    return joined(left, right);
}

StringValue concat(const char* left, const char* right) {
    return joined(left, right);
}
StringValue concat(const char* left, int32_t right) {
    return joined(left, right);
}
StringValue concat(const char* left, double right) {
    return joined(left, right);
}
StringValue concat(const char* left, float right) {
    return joined(left, right);
}
StringValue concat(int32_t left, const char* right) {
    return joined(left, right);
}
StringValue concat(double left, const char* right) {
    return joined(left, right);
}
StringValue concat(float left, const char* right) {
    return joined(left, right);
}

}  // namespace kvn
