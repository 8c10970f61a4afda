#include "tracklog/track_log.h"

#include <cstring>

#include "runtime/code_pages.h"
#include "runtime/failure.h"

namespace pathmend {

namespace {

template <typename T, std::size_t N>
T Get(const std::array<std::uint8_t, N>& bytes, std::size_t at) {
  T value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    value = static_cast<T>(value | static_cast<T>(static_cast<T>(bytes[at + i]) << (8 * i)));
  }
  return value;
}

template <typename T, std::size_t N>
void Put(std::array<std::uint8_t, N>& bytes, std::size_t at, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    bytes[at + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
  }
}

template <std::size_t Width, std::size_t N>
void CopyOut(const std::array<std::uint8_t, N>& bytes, std::size_t at,
             std::array<std::uint8_t, Width>& field) {
  std::memcpy(field.data(), bytes.data() + at, Width);
}

template <std::size_t Width, std::size_t N>
void CopyIn(std::array<std::uint8_t, N>& bytes, std::size_t at,
            const std::array<std::uint8_t, Width>& field) {
  std::memcpy(bytes.data() + at, field.data(), Width);
}

// Reads one whole record with one system call; a short read is code 100.
template <std::size_t N>
void ReadRecord(TrackFile& file, std::array<std::uint8_t, N>& bytes) {
  std::size_t done = 0;
  const std::int32_t error = platform::Read(file.handle, bytes.data(), N, done);
  file.position += done;
  if (error != 0) {
    SetPendingIoCode(error, file.name);
  } else if (done < N) {
    SetPendingIoCode(kIoReadBeyondEnd, file.name);
  }
}

// Writes one whole record with one system call; a short write is code 101.
template <std::size_t N>
void WriteRecord(TrackFile& file, const std::array<std::uint8_t, N>& bytes) {
  std::size_t done = 0;
  const std::int32_t error = platform::Write(file.handle, bytes.data(), N, done);
  file.position += done;
  if (error != 0) {
    SetPendingIoCode(error, file.name);
  } else if (done < N) {
    SetPendingIoCode(kIoDiskFull, file.name);
  }
}

}  // namespace

TrackHeader DecodeHeader(const HeaderBytes& bytes) {
  TrackHeader header;
  header.PointCount = Get<std::uint32_t>(bytes, 0);
  CopyOut(bytes, 4, header.Name);
  header.TrackType = static_cast<std::int32_t>(Get<std::uint32_t>(bytes, 36));
  header.PP = static_cast<std::int32_t>(Get<std::uint32_t>(bytes, 40));
  CopyOut(bytes, 44, header.Id);
  SystemTime& t = header.StartTime;
  t.year = Get<std::uint16_t>(bytes, 60);
  t.month = Get<std::uint16_t>(bytes, 62);
  t.dayOfWeek = Get<std::uint16_t>(bytes, 64);
  t.day = Get<std::uint16_t>(bytes, 66);
  t.hour = Get<std::uint16_t>(bytes, 68);
  t.minute = Get<std::uint16_t>(bytes, 70);
  t.second = Get<std::uint16_t>(bytes, 72);
  t.milliseconds = Get<std::uint16_t>(bytes, 74);
  CopyOut(bytes, 76, header.Reserved1);
  const std::uint64_t lengthBits = Get<std::uint64_t>(bytes, 80);
  std::memcpy(&header.Length, &lengthBits, sizeof header.Length);
  header.Visible = Get<std::uint32_t>(bytes, 88);
  CopyOut(bytes, 92, header.Reserved2);
  return header;
}

HeaderBytes EncodeHeader(const TrackHeader& header) {
  HeaderBytes bytes{};
  Put(bytes, 0, header.PointCount);
  CopyIn(bytes, 4, header.Name);
  Put(bytes, 36, static_cast<std::uint32_t>(header.TrackType));
  Put(bytes, 40, static_cast<std::uint32_t>(header.PP));
  CopyIn(bytes, 44, header.Id);
  const SystemTime& t = header.StartTime;
  Put(bytes, 60, t.year);
  Put(bytes, 62, t.month);
  Put(bytes, 64, t.dayOfWeek);
  Put(bytes, 66, t.day);
  Put(bytes, 68, t.hour);
  Put(bytes, 70, t.minute);
  Put(bytes, 72, t.second);
  Put(bytes, 74, t.milliseconds);
  CopyIn(bytes, 76, header.Reserved1);
  std::uint64_t lengthBits = 0;
  std::memcpy(&lengthBits, &header.Length, sizeof lengthBits);
  Put(bytes, 80, lengthBits);
  Put(bytes, 88, header.Visible);
  CopyIn(bytes, 92, header.Reserved2);
  return bytes;
}

TrackPoint DecodePoint(const PointBytes& bytes) {
  TrackPoint point;
  point.Lat = Get<std::uint32_t>(bytes, 0);
  point.Lon = Get<std::uint32_t>(bytes, 4);
  point.Alt = Get<std::uint16_t>(bytes, 8);
  point.Speed = Get<std::uint16_t>(bytes, 10);
  point.Time = Get<std::uint64_t>(bytes, 12);
  return point;
}

PointBytes EncodePoint(const TrackPoint& point) {
  PointBytes bytes{};
  Put(bytes, 0, point.Lat);
  Put(bytes, 4, point.Lon);
  Put(bytes, 8, point.Alt);
  Put(bytes, 10, point.Speed);
  Put(bytes, 12, point.Time);
  return bytes;
}

TrackFile OpenTrackInput(const std::string& name) {
  std::int32_t error = 0;
  TrackFile file{platform::OpenExisting(name, error), name};
  SetPendingIoCode(error, name);
  CheckIo();
  return file;
}

TrackFile CreateTrackOutput(const std::string& name) {
  std::int32_t error = 0;
  TrackFile file{platform::CreateAlways(name, true, error), name};
  SetPendingIoCode(error, name);
  CheckIo();
  return file;
}

void CloseTrackFile(TrackFile& file) {
  const std::int32_t error = platform::Close(file.handle);
  file.handle = platform::kInvalidHandle;
  SetPendingIoCode(error, file.name);
  CheckIo();
}

TrackHeader ReadHeader(TrackFile& file) {
  HeaderBytes bytes{};
  ReadRecord(file, bytes);
  CheckIo();
  return DecodeHeader(bytes);
}

TrackPoint ReadPoint(TrackFile& file) {
  PointBytes bytes{};
  ReadRecord(file, bytes);
  CheckIo();
  return DecodePoint(bytes);
}

bool AtEnd(TrackFile& file) {
  if (file.position < file.knownSize) return false;
  // At the size last seen: ask again, as the file may have grown.
  SetPendingIoCode(platform::FileSize(file.handle, file.knownSize), file.name);
  CheckIo();
  return file.position >= file.knownSize;
}

bool AtLastWholeRecord(TrackFile& file) {
  if (file.position + kPointSize <= file.knownSize) return false;
  SetPendingIoCode(platform::FileSize(file.handle, file.knownSize));
  CheckIo();
  return file.position + kPointSize > file.knownSize;
}

std::uint64_t PartialRecordBytes(TrackFile& file) {
  SetPendingIoCode(platform::FileSize(file.handle, file.knownSize));
  CheckIo();
  if (file.knownSize <= kHeaderSize) return 0;
  return (file.knownSize - kHeaderSize) % kPointSize;
}

void WriteHeader(TrackFile& file, const TrackHeader& header) {
  WriteRecord(file, EncodeHeader(header));
  CheckIo();
}

void WritePoint(TrackFile& file, const TrackPoint& point) {
  WriteRecord(file, EncodePoint(point));
  CheckIo();
}

TrackHeader ReadHeaderAtStart(TrackFile& file) {
  SetPendingIoCode(platform::Seek(file.handle, 0), file.name);
  CheckIo();
  file.position = 0;
  return ReadHeader(file);
}

void RewriteHeader(TrackFile& file, const TrackHeader& header) {
  SetPendingIoCode(platform::Seek(file.handle, 0), file.name);
  CheckIo();
  file.position = 0;
  WriteHeader(file, header);
}

std::string FieldText(const std::uint8_t* field, std::size_t width) {
  std::size_t length = 0;
  while (length < width && field[length] != 0) ++length;
  return {reinterpret_cast<const char*>(field), length};
}

void SetName(TrackHeader& header, std::string_view text) {
  header.Name.fill(0);
  const std::size_t length = text.size() < kNameWidth ? text.size() : kNameWidth;
  std::memcpy(header.Name.data(), text.data(), length);
}

std::string TypeName(std::int32_t index) {
  // Code page 852 bytes, written to the console unconverted.
  static constexpr const char* kNames[kTrackTypeCount] = {
      "H\x82tk\x94znapi", "\x9Azleti", "Szem\x82lyes", "Kedvenc",    "Rep\x81l\x8B",   "Aut\xA2",
      "Haj\xA2",          "T\xA3ra",   "Kaland",       "\x90rdekes", "Felm\x82r\x82s", "Arch\xA1v"};
  if (index < 0 || index >= kTrackTypeCount) return "?";
  return kNames[index];
}

std::string TypeNameUtf8(std::int32_t index) {
  if (index < 0 || index >= kTrackTypeCount) return "";
  return CodePage852ToUtf8(TypeName(index));
}

}  // namespace pathmend
