// The binary track log: a 96-byte header followed by 20-byte point records,
// all integers little-endian, nothing between or after the records.
//
// Records are read and written whole, each with one system call, and every
// operation is followed at once by CheckIo, so a failure is raised at the
// record that caused it. There is no buffering in the program.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "geo/system_time.h"
#include "platform/platform.h"

namespace pathmend {

inline constexpr std::size_t kHeaderSize = 96;
inline constexpr std::size_t kPointSize = 20;
inline constexpr std::size_t kNameWidth = 32;
inline constexpr std::size_t kIdWidth = 16;

struct TrackHeader {
  std::uint32_t PointCount = 0;                 // offset 0: points announced
  std::array<std::uint8_t, kNameWidth> Name{};  // offset 4: fixed text
  std::int32_t TrackType = 0;                   // offset 36: index into the type table
  std::int32_t PP = 0;                          // offset 40: reported and copied only
  std::array<std::uint8_t, kIdWidth> Id{};      // offset 44: fixed text ("VT-ID")
  SystemTime StartTime;                         // offset 60: calendar fields, no time zone
  std::array<std::uint8_t, 4> Reserved1{};      // offset 76: alignment gap, copied unchanged
  double Length = 0.0;                          // offset 80: kilometres
  std::uint32_t Visible = 0;                    // offset 88: zero = false
  std::array<std::uint8_t, 4> Reserved2{};      // offset 92: alignment gap, copied unchanged
};

struct TrackPoint {
  std::uint32_t Lat = 0;    // 1/1048576 degree
  std::uint32_t Lon = 0;    // 1/1048576 degree
  std::uint16_t Alt = 0;    // tenths of a metre
  std::uint16_t Speed = 0;  // tenths of a km/h
  std::uint64_t Time = 0;   // FILETIME: 100 ns units since 1601-01-01 00:00 UTC
};

using HeaderBytes = std::array<std::uint8_t, kHeaderSize>;
using PointBytes = std::array<std::uint8_t, kPointSize>;

// Byte layout of the records. The double is copied bit for bit, so even a
// signalling NaN in Length passes through unchanged.
TrackHeader DecodeHeader(const HeaderBytes& bytes);
HeaderBytes EncodeHeader(const TrackHeader& header);
TrackPoint DecodePoint(const PointBytes& bytes);
PointBytes EncodePoint(const TrackPoint& point);

// An open track log file. The byte position is followed in the program, as
// every read and write moves it by the whole record; the file's size is asked
// of the system only when the position reaches the size last seen, so the end
// test costs no system call per point.
struct TrackFile {
  platform::Handle handle = platform::kInvalidHandle;
  std::string name;  // named in the line on standard error when an operation fails
  std::uint64_t position = 0;
  std::uint64_t knownSize = 0;
};

// Opens an existing input for reading only; it is never written.
TrackFile OpenTrackInput(const std::string& name);
// Creates (or empties) the output, open for writing and reading back.
TrackFile CreateTrackOutput(const std::string& name);
void CloseTrackFile(TrackFile& file);

TrackHeader ReadHeader(TrackFile& file);
TrackPoint ReadPoint(TrackFile& file);
// True when the position is at or beyond the file's size.
bool AtEnd(TrackFile& file);
// True when fewer bytes than one whole point record are left after the
// position: the end for a reader that leaves out a record cut in half.
bool AtLastWholeRecord(TrackFile& file);
// The bytes after the last whole point record: the file's size less the
// header, modulo the record size (0 for a file of whole records).
std::uint64_t PartialRecordBytes(TrackFile& file);
void WriteHeader(TrackFile& file, const TrackHeader& header);
void WritePoint(TrackFile& file, const TrackPoint& point);
// Reads the header at position 0 back from the output.
TrackHeader ReadHeaderAtStart(TrackFile& file);
// Moves to position 0 and writes the header there.
void RewriteHeader(TrackFile& file, const TrackHeader& header);

// The text of a fixed text field: its bytes up to the first zero byte or the
// end of the field.
std::string FieldText(const std::uint8_t* field, std::size_t width);

// Sets the name field from a text: all 32 bytes zeroed, then at most 32 bytes
// of the text copied from the start. A longer text is cut at 32 bytes.
void SetName(TrackHeader& header, std::string_view text);

// The number of track types that have a name.
inline constexpr int kTrackTypeCount = 12;

// The name of a track type, as code page 852 bytes; for an index outside
// 0 to 11 the text "?" (there is no such type).
std::string TypeName(std::int32_t index);

// The same name in UTF-8, for files that declare it (GPX); the empty text for
// an index outside 0 to 11.
std::string TypeNameUtf8(std::int32_t index);

}  // namespace pathmend
