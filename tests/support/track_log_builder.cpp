#include "tests/support/track_log_builder.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pathmend::testing {

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
  bytes.at(at) = static_cast<std::uint8_t>(value & 0xFF);
  bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i)
    bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutU64(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value) {
  for (std::size_t i = 0; i < 8; ++i)
    bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(bytes.at(at + i)) << (8 * i);
  return value;
}

std::uint64_t GetU64(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < 8; ++i)
    value |= static_cast<std::uint64_t>(bytes.at(at + i)) << (8 * i);
  return value;
}

double GetDouble(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  const std::uint64_t bits = GetU64(bytes, at);
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

TrackLogBuilder::TrackLogBuilder() : header_(96, 0) {
  Name("Test");
  TrackType(5);
  Id("ID");
  StartTime(2006, 1, 15, 8, 30, 0, 0, 0);
  Visible(1);
}

TrackLogBuilder& TrackLogBuilder::PointCount(std::uint32_t count) {
  PutU32(header_, 0, count);
  countSet_ = true;
  return *this;
}

TrackLogBuilder& TrackLogBuilder::Name(std::string_view bytes) {
  if (bytes.size() > 32) throw std::invalid_argument("name longer than 32 bytes");
  std::fill(header_.begin() + 4, header_.begin() + 36, 0);
  std::copy(bytes.begin(), bytes.end(), header_.begin() + 4);
  return *this;
}

TrackLogBuilder& TrackLogBuilder::NameRaw(const std::vector<std::uint8_t>& bytes32) {
  if (bytes32.size() != 32) throw std::invalid_argument("name field is 32 bytes");
  std::copy(bytes32.begin(), bytes32.end(), header_.begin() + 4);
  return *this;
}

TrackLogBuilder& TrackLogBuilder::TrackType(std::int32_t type) {
  PutU32(header_, 36, static_cast<std::uint32_t>(type));
  return *this;
}

TrackLogBuilder& TrackLogBuilder::PP(std::int32_t pp) {
  PutU32(header_, 40, static_cast<std::uint32_t>(pp));
  return *this;
}

TrackLogBuilder& TrackLogBuilder::Id(std::string_view bytes) {
  if (bytes.size() > 16) throw std::invalid_argument("id longer than 16 bytes");
  std::fill(header_.begin() + 44, header_.begin() + 60, 0);
  std::copy(bytes.begin(), bytes.end(), header_.begin() + 44);
  return *this;
}

TrackLogBuilder& TrackLogBuilder::StartTime(std::uint16_t year, std::uint16_t month,
                                            std::uint16_t day, std::uint16_t hour,
                                            std::uint16_t minute, std::uint16_t second,
                                            std::uint16_t milliseconds, std::uint16_t dayOfWeek) {
  const std::uint16_t fields[8] = {year, month, dayOfWeek, day, hour, minute, second, milliseconds};
  for (std::size_t i = 0; i < 8; ++i) PutU16(header_, 60 + 2 * i, fields[i]);
  return *this;
}

TrackLogBuilder& TrackLogBuilder::StartTimeRaw(const std::vector<std::uint8_t>& bytes16) {
  if (bytes16.size() != 16) throw std::invalid_argument("start time is 16 bytes");
  std::copy(bytes16.begin(), bytes16.end(), header_.begin() + 60);
  return *this;
}

TrackLogBuilder& TrackLogBuilder::Length(double km) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &km, sizeof bits);
  return LengthBits(bits);
}

TrackLogBuilder& TrackLogBuilder::LengthBits(std::uint64_t bits) {
  PutU64(header_, 80, bits);
  return *this;
}

TrackLogBuilder& TrackLogBuilder::Visible(std::uint32_t visible) {
  PutU32(header_, 88, visible);
  return *this;
}

TrackLogBuilder& TrackLogBuilder::Reserved(std::uint32_t first, std::uint32_t second) {
  PutU32(header_, 76, first);
  PutU32(header_, 92, second);
  return *this;
}

TrackLogBuilder& TrackLogBuilder::Point(const PointSpec& point) {
  points_.push_back(point);
  return *this;
}

TrackLogBuilder& TrackLogBuilder::Line(std::uint32_t lat, std::uint32_t lon, std::uint32_t step,
                                       int count, std::uint64_t firstTime) {
  for (int i = 0; i < count; ++i) {
    const auto k = static_cast<std::uint32_t>(i);
    points_.push_back({lat + k * step, lon + k * step, static_cast<std::uint16_t>(1000 + 3 * i),
                       static_cast<std::uint16_t>(500 + i), firstTime + 10000000ULL * k});
  }
  return *this;
}

TrackLogBuilder& TrackLogBuilder::Trailing(std::size_t count) {
  trailing_ = count;
  return *this;
}

std::vector<std::uint8_t> TrackLogBuilder::Bytes() const {
  std::vector<std::uint8_t> bytes = header_;
  if (!countSet_) PutU32(bytes, 0, static_cast<std::uint32_t>(points_.size()));
  for (const PointSpec& p : points_) {
    const std::size_t at = bytes.size();
    bytes.resize(at + 20);
    PutU32(bytes, at, p.lat);
    PutU32(bytes, at + 4, p.lon);
    PutU16(bytes, at + 8, p.alt);
    PutU16(bytes, at + 10, p.speed);
    PutU64(bytes, at + 12, p.time);
  }
  for (std::size_t i = 0; i < trailing_; ++i) bytes.push_back(static_cast<std::uint8_t>(0xA0 + i));
  return bytes;
}

void TrackLogBuilder::WriteTo(const std::string& path) const { WriteFileBytes(path, Bytes()); }

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileText(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

}  // namespace pathmend::testing
