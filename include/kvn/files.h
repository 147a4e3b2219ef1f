// Files: media archives, eight file channels, file-system commands, line files and the
// configuration store. Names may use '/' or '\'; "mem://" names read in-memory images.
#pragma once

#include <cstdint>

#include "kvn/value.h"

namespace kvn {

// Names the first and second media archive searched for asset files.
void set_media_archives(const StringValue& first, const StringValue& second);

// ---- File channels 0..7 (another number ends the program with error 7) ----

// Mode >= 1 read (through the first media archive), 0 write anew, < 0 append. Non-zero on
// success; 0 and error 3 when the file cannot be opened.
int32_t open_file(int32_t channel, const StringValue& name, int32_t mode);
// Closes the channel.
void close_file(int32_t channel);
// The lowest channel with no open file, or -1.
int32_t free_file_channel();
// 1 when the position is at or after the end.
int32_t end_of_file(int32_t channel);
// The read/write position.
double file_position(int32_t channel);
// Mode 0 from the start, > 0 from the current position, < 0 from the end.
void seek_file(int32_t channel, double distance, int32_t mode);

// Typed little-endian reads; a read that cannot deliver all its bytes ends with error 3.
void read_int8(int32_t channel, double& target);
void read_uint8(int32_t channel, double& target);
void read_int16(int32_t channel, double& target);
void read_uint16(int32_t channel, double& target);
void read_int32(int32_t channel, double& target);
void read_uint32(int32_t channel, double& target);
void read_float(int32_t channel, double& target);
void read_double(int32_t channel, double& target);
// Exactly count bytes as text; count <= 0 gives the empty text.
void read_text_bytes(int32_t channel, StringValue& target, int32_t count);
// One line without its line end (at most 1024 characters); at the end of the data error 3.
void read_line(int32_t channel, StringValue& target);
// A line read as a number (atof).
void read_line(int32_t channel, double& target);
// A line read as an integer (atoi).
void read_line(int32_t channel, int32_t& target);

// Typed little-endian writes (two's complement for the integer forms).
void write_int8(int32_t channel, double value);
void write_uint8(int32_t channel, double value);
void write_int16(int32_t channel, double value);
void write_uint16(int32_t channel, double value);
void write_int32(int32_t channel, double value);
void write_uint32(int32_t channel, double value);
void write_float(int32_t channel, double value);
void write_double(int32_t channel, double value);
// The text's bytes, no line end.
void write_text(int32_t channel, const StringValue& text);
// The text's bytes and "\r\n".
void write_line(int32_t channel, const StringValue& text);
// The number's text form and "\r\n".
void write_line(int32_t channel, double number);
// The integer's text form and "\r\n".
void write_line(int32_t channel, int32_t number);

// ---- File system ----

// Deletes the file; 1 on success.
int32_t delete_file(const StringValue& name);
// Copies the whole file; 1 on success (source and destination must differ).
int32_t copy_file(const StringValue& source, const StringValue& destination);
// 1 when the file (or "mem://" image) can be opened for reading.
int32_t file_exists(const StringValue& name);
// 1 when the path is an existing directory.
int32_t directory_exists(const StringValue& path);
// 1 when the directory was created.
int32_t create_directory(const StringValue& path);
// The working directory with '/' separators, ending in '/'.
StringValue get_current_directory();
// 1 on success; 0 and error 3 on failure.
int32_t set_current_directory(const StringValue& path);
// Replaces every '\' by '/' in place.
void path_to_slashes(StringValue& path);
// '*' any run, '?' one character but '.', letters ignoring case; "*.*" matches everything.
int32_t wildcard_match(const StringValue& pattern, const StringValue& name);
// Directories then matching files of the working directory, each sorted ignoring case;
// returns files + 65536 * directories.
int32_t list_files(const StringValue& pattern, ValueArray<StringValue>& names);

// ---- Line files: one cached text file addressed by line number 0..255 ----

// The line's text ("NO_DATA" when empty or beyond; "NO_FILE" when the file is missing);
// returns 0, 3 (no file) or 7 (line number too large).
int32_t line_file_get(const StringValue& file, int32_t line, StringValue& target);
int32_t line_file_get(const StringValue& file, int32_t line, double& target);
int32_t line_file_get(const StringValue& file, int32_t line, int32_t& target);
// Stores the text (a number in its text form) in the line; written back later.
int32_t line_file_put(const StringValue& file, int32_t line, const StringValue& text);
int32_t line_file_put(const StringValue& file, int32_t line, double number);
int32_t line_file_put(const StringValue& file, int32_t line, int32_t number);

// ---- Configuration store: sections of key=value lines ----

// Writes the current store back when modified, then loads the file ("" closes the store).
void config_open(const StringValue& name);
// The value of the first matching key of the first matching section (ignoring case), or
// the default.
StringValue config_get(const StringValue& section, const StringValue& key,
                       const StringValue& default_value);
// Creates, replaces or (with an empty value) deletes an entry; an empty key deletes the
// section.
void config_put(const StringValue& section, const StringValue& key, const StringValue& value);

}  // namespace kvn
