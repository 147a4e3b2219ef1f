// The value model: the counted text type and the number/text conversions.
#pragma once

#include <cstdint>

#include "kvn/base.h"

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

    // The bytes, ended by a zero byte.
    const char* c_str() const { return buffer_; }
    // The counted length in bytes.
    uint32_t length() const { return length_; }
    // Bytes the buffer holds without growing.
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

// ---- Text to number ----

// atof: leading white space skipped, the longest valid prefix read, 0 when none.
double text_to_number(const char* text);
// atoi: as text_to_number, as a 32-bit integer.
int32_t text_to_int(const char* text);

// ---- Comparisons: text/text by strcmp, text/number by atof, text/integer by atoi ----

bool operator==(const StringValue& left, const StringValue& right);
bool operator!=(const StringValue& left, const StringValue& right);
bool operator<(const StringValue& left, const StringValue& right);
bool operator>(const StringValue& left, const StringValue& right);
bool operator<=(const StringValue& left, const StringValue& right);
bool operator>=(const StringValue& left, const StringValue& right);
bool operator==(const StringValue& left, const char* right);
bool operator!=(const StringValue& left, const char* right);
bool operator<(const StringValue& left, const char* right);
bool operator>(const StringValue& left, const char* right);
bool operator<=(const StringValue& left, const char* right);
bool operator>=(const StringValue& left, const char* right);
bool operator==(const char* left, const StringValue& right);
bool operator!=(const char* left, const StringValue& right);
bool operator<(const char* left, const StringValue& right);
bool operator>(const char* left, const StringValue& right);
bool operator<=(const char* left, const StringValue& right);
bool operator>=(const char* left, const StringValue& right);
bool operator==(const StringValue& left, double right);
bool operator!=(const StringValue& left, double right);
bool operator<(const StringValue& left, double right);
bool operator>(const StringValue& left, double right);
bool operator<=(const StringValue& left, double right);
bool operator>=(const StringValue& left, double right);
bool operator==(double left, const StringValue& right);
bool operator!=(double left, const StringValue& right);
bool operator<(double left, const StringValue& right);
bool operator>(double left, const StringValue& right);
bool operator<=(double left, const StringValue& right);
bool operator>=(double left, const StringValue& right);
bool operator==(const StringValue& left, int32_t right);
bool operator!=(const StringValue& left, int32_t right);
bool operator<(const StringValue& left, int32_t right);
bool operator>(const StringValue& left, int32_t right);
bool operator<=(const StringValue& left, int32_t right);
bool operator>=(const StringValue& left, int32_t right);
bool operator==(int32_t left, const StringValue& right);
bool operator!=(int32_t left, const StringValue& right);
bool operator<(int32_t left, const StringValue& right);
bool operator>(int32_t left, const StringValue& right);
bool operator<=(int32_t left, const StringValue& right);
bool operator>=(int32_t left, const StringValue& right);
// Three-way forms: -1, 0 or 1 (an unordered comparison such as NaN gives 0).
int32_t compare_text_number(const char* text, double number);
int32_t compare_text_int(const char* text, int32_t number);

// ---- Text functions (positions are zero-based) ----

// At most count characters from start on; a negative count means the rest.
StringValue text_mid(const StringValue& source, int32_t start, int32_t count);
// Every occurrence of search replaced; inserted text is not searched again.
StringValue text_replace(const StringValue& source, const StringValue& search,
                         const StringValue& replacement);
// Position of the first occurrence of search at or after start, or -1.
int32_t text_find(const StringValue& text, const StringValue& search, int32_t start);
// Copy with ASCII letters upper-cased.
StringValue text_upper(const StringValue& source);
// Copy with ASCII letters lower-cased.
StringValue text_lower(const StringValue& source);
// A one-character text holding the code's low 8 bits (code 0 gives length 1).
StringValue text_char(int32_t code);
// printf("%W.Df") with the truncated width and decimals, produced in full at any width.
StringValue format_number(double width, double decimals, double number);
// Length of the number's text by the number-to-text rule.
int32_t number_text_length(double number);
// Length of the integer's text.
int32_t number_text_length(int32_t number);
// The environment variable's value, or "" when unset; for "" every entry, each + "\n".
StringValue env_get(const StringValue& name);
// Sets the environment variable (an empty value removes it).
void env_put(const StringValue& name, const StringValue& value);

// ---- Numeric functions (angles in degrees) ----

double sin_deg(double degrees);
double cos_deg(double degrees);
double tan_deg(double degrees);
double atan2_deg(double y, double x);
// 90 for x >= 1, -90 for x <= -1, else asin in degrees.
double asin_deg(double x);
// 0 for x >= 1, 180 for x <= -1, else acos in degrees.
double acos_deg(double x);
double power(double base, double exponent);
// sqrt; a negative argument gives NaN.
double square_root(double x);
// fmod with the sign of x; 0 when y is exactly 0.
double float_mod(double x, double y);
// Truncating remainder with the sign of a; 0 when b is 0.
int32_t int_mod(int32_t a, int32_t b);
double absolute(double x);
int32_t absolute(int32_t a);

// ---- Random generator (one process-wide ISAAC generator) ----

// 0..n inclusive from one full generation pass; 0 without advancing for n <= 0.
int32_t random_int(int32_t n);
// Re-initialises the generator from the seed.
void random_seed(int32_t seed);

}  // namespace kvn

#include "kvn/value_array.h"
