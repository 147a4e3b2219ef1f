// The value model: the counted text type and the number/text conversions.
#pragma once

#include <cstdint>

namespace kvn {

// Counted, heap-backed, NUL-terminated text of 8-bit characters.
// Exactly three fields: buffer, capacity (bytes owned, terminator included; 0 = owns nothing)
// and length. A value that owns nothing points at the one shared empty text.
class StringValue {
  public:
    // Empty value: the shared empty text, capacity 0, length 0; allocates nothing.
    StringValue() noexcept;
    // Copy of a NUL-terminated text; null or "" gives the empty value.
    StringValue(const char* text);  // NOLINT(google-explicit-constructor): text converts freely
    // Copy of the other value's counted bytes (embedded NULs included).
    StringValue(const StringValue& other);
    // Takes over the other value's buffer; the other becomes the empty value.
    StringValue(StringValue&& other) noexcept;
    // Decimal text of an integer; reserves room for 15 characters first (capacity 32).
    explicit StringValue(int32_t number);
    // Number-to-text rule; reserves room for 63 characters first (capacity 80).
    explicit StringValue(double number);
    // Widened to double, then as for a number (0.1f prints as 0.1000000015).
    explicit StringValue(float number);
    // Frees the buffer unless shared and leaves buffer null, capacity 0, length 0.
    ~StringValue();

    // Copy-and-swap assignment from another value.
    StringValue& operator=(const StringValue& other);
    // Takes over the other value's buffer.
    StringValue& operator=(StringValue&& other) noexcept;
    // Releases the old buffer and allocates exactly length + 1 bytes (not rounded).
    StringValue& operator=(const char* text);

    // Appends in place; an empty right side allocates nothing.
    StringValue& operator+=(const char* text);
    StringValue& operator+=(const StringValue& other);
    StringValue& operator+=(int32_t number);
    StringValue& operator+=(double number);
    StringValue& operator+=(float number);

    // Makes room for n characters plus terminator, growing in 16-byte steps; keep copies the
    // old text, otherwise the new buffer starts with NUL. Does not change the length.
    void reserve(uint32_t n, bool keep);
    // Reserves n characters (keeping the text) and returns the buffer for a system call to fill.
    char* writable_buffer(uint32_t n);
    // Sets the length from the first NUL, never counting past the capacity.
    void recount();
    // Cuts the text at n when 0 <= n < capacity; any other n is ignored.
    void set_length(int64_t n);
    // Frees the buffer (unless shared) and becomes the empty value.
    void clear();
    // Removes trailing bytes that are at most 31 as signed chars (controls and bytes >= 0x80).
    void trim_trailing_controls();
    // ASCII-only case folding in place.
    void to_upper();
    void to_lower();
    // strcmp of the buffer against the text.
    int compare(const char* text) const;

    const char* c_str() const { return buffer_; }
    uint32_t length() const { return length_; }
    uint32_t capacity() const { return capacity_; }
    // strlen of the buffer, ignoring the counted length.
    uint32_t system_length() const;
    bool empty() const { return length_ == 0; }
    // True when the value points at the process-wide shared empty text.
    bool is_shared_empty() const;
    char operator[](uint32_t index) const { return buffer_[index]; }

    // Exchanges all three fields.
    void swap(StringValue& other) noexcept;

  private:
    void append_bytes(const char* bytes, uint32_t count);

    char* buffer_;
    uint32_t capacity_;
    uint32_t length_;
};

// Number to integer by truncation toward zero; NaN and values outside 32 bits give INT32_MIN,
// the processor's "integer indefinite" result.
int32_t to_integer(double number);

// Integer to text: optional minus sign and decimal digits.
StringValue int_to_text(int32_t number);
// Number to text: 10 significant digits in the C library's shortest form, exponent form for
// large and small magnitudes, ".0" -> "0", a trailing "." removed.
StringValue number_to_text(double number);
// Two upper-case hexadecimal digits per byte, high nibble first; count <= 0 gives empty.
StringValue bytes_to_hex(const void* bytes, int32_t count);

// Concatenation for every pairing that has a value on one side.
StringValue operator+(const StringValue& left, const StringValue& right);
StringValue operator+(const StringValue& left, const char* right);
StringValue operator+(const StringValue& left, int32_t right);
StringValue operator+(const StringValue& left, double right);
StringValue operator+(const StringValue& left, float right);
StringValue operator+(const char* left, const StringValue& right);
StringValue operator+(int32_t left, const StringValue& right);
StringValue operator+(double left, const StringValue& right);
StringValue operator+(float left, const StringValue& right);
// Concatenation with plain text on the left (C++ has no operator for two built-in operands).
StringValue concat(const char* left, const char* right);
StringValue concat(const char* left, int32_t right);
StringValue concat(const char* left, double right);
StringValue concat(const char* left, float right);
StringValue concat(int32_t left, const char* right);
StringValue concat(double left, const char* right);
StringValue concat(float left, const char* right);

}  // namespace kvn
