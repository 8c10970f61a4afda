// Builds track log bytes in tests: a header with chosen fields followed by
// points, written as the recorder writes them, so that every test shows the
// input it is about.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pathmend::testing {

struct PointSpec {
  std::uint32_t lat = 0;
  std::uint32_t lon = 0;
  std::uint16_t alt = 0;
  std::uint16_t speed = 0;
  std::uint64_t time = 0;
};

class TrackLogBuilder {
 public:
  // A header with a sensible valid start time (2006-01-15 08:30:00), the
  // name "Test", type 5, PP 0, id "ID", length 0 and visible 1.
  TrackLogBuilder();

  TrackLogBuilder& PointCount(std::uint32_t count);  // default: the number of points added
  TrackLogBuilder& Name(std::string_view bytes);     // up to 32 bytes, zero-filled
  TrackLogBuilder& NameRaw(const std::vector<std::uint8_t>& bytes32);
  TrackLogBuilder& TrackType(std::int32_t type);
  TrackLogBuilder& PP(std::int32_t pp);
  TrackLogBuilder& Id(std::string_view bytes);
  TrackLogBuilder& StartTime(std::uint16_t year, std::uint16_t month, std::uint16_t day,
                             std::uint16_t hour, std::uint16_t minute, std::uint16_t second,
                             std::uint16_t milliseconds = 0, std::uint16_t dayOfWeek = 0);
  TrackLogBuilder& StartTimeRaw(const std::vector<std::uint8_t>& bytes16);
  TrackLogBuilder& Length(double km);
  TrackLogBuilder& LengthBits(std::uint64_t bits);
  TrackLogBuilder& Visible(std::uint32_t visible);
  TrackLogBuilder& Reserved(std::uint32_t first, std::uint32_t second);
  TrackLogBuilder& Point(const PointSpec& point);
  // `count` points on a line heading north-east from (lat, lon) in counts.
  TrackLogBuilder& Line(std::uint32_t lat, std::uint32_t lon, std::uint32_t step, int count,
                        std::uint64_t firstTime = 127820000000000000ULL);
  // Extra bytes after the last point (a partial record).
  TrackLogBuilder& Trailing(std::size_t count);

  std::vector<std::uint8_t> Bytes() const;
  void WriteTo(const std::string& path) const;

 private:
  std::vector<std::uint8_t> header_;
  bool countSet_ = false;
  std::vector<PointSpec> points_;
  std::size_t trailing_ = 0;
};

// Little-endian helpers for building and inspecting bytes in tests.
void PutU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value);
void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value);
void PutU64(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value);
std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t at);
std::uint64_t GetU64(const std::vector<std::uint8_t>& bytes, std::size_t at);
double GetDouble(const std::vector<std::uint8_t>& bytes, std::size_t at);

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::string ReadFileText(const std::string& path);

}  // namespace pathmend::testing
