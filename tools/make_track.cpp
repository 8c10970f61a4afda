// Writes a synthetic track log: a header and N points along a gentle curve
// north of Budapest, one fix a second, turning south and north again every
// 40,000 points. Used to make the sample track log in
// samples/ and the large inputs of the benchmarks.
//
//   make_track OUT POINTS [ANNOUNCED]
//
// ANNOUNCED is the point count written into the header (default: POINTS); a
// larger value makes a recording that was cut short.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tracklog/track_log.h"

using namespace pathmend;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_track OUT POINTS [ANNOUNCED]\n");
    return 2;
  }
  const std::string out = argv[1];
  const auto points = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
  const auto announced =
      argc > 3 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)) : points;

  TrackHeader header;
  header.PointCount = announced;
  SetName(header, "Szentendre loop");
  header.TrackType = 5;
  header.PP = 1;
  const std::string id = "VT-SAMPLE-0001";
  for (std::size_t i = 0; i < id.size() && i < kIdWidth; ++i) {
    header.Id[i] = static_cast<std::uint8_t>(id[i]);
  }
  header.StartTime = SystemTime{2006, 1, 0, 15, 8, 30, 0, 0};
  header.Length = 0.0;
  header.Visible = 1;

  std::FILE* file = std::fopen(out.c_str(), "wb");
  if (file == nullptr) {
    std::perror(out.c_str());
    return 1;
  }
  const HeaderBytes headerBytes = EncodeHeader(header);
  std::fwrite(headerBytes.data(), 1, headerBytes.size(), file);
  // 47.5 N, 19.0 E, then about 14 m a second, turning slowly.
  std::uint32_t lat = 49807360;
  std::uint32_t lon = 19922944;
  const std::uint64_t start = 127817838000000000ULL;  // 2006-01-15 07:30:00 UTC
  for (std::uint32_t i = 0; i < points; ++i) {
    TrackPoint point;
    const std::uint32_t phase = i % 400;
    // North for 40,000 points, then south for as many, and so on: a long
    // track stays within about 3 degrees of latitude (and below 90).
    const std::uint32_t step = phase < 200 ? 120 : 40;
    lat = (i / 40000) % 2 == 0 ? lat + step : lat - step;
    lon += phase < 200 ? 60 : 180;
    point.Lat = lat;
    point.Lon = lon;
    point.Alt = static_cast<std::uint16_t>(1053 + (i % 97));
    point.Speed = static_cast<std::uint16_t>(500 + (i % 31));
    point.Time = start + 10000000ULL * i;
    const PointBytes bytes = EncodePoint(point);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
  }
  return std::fclose(file) == 0 ? 0 : 1;
}
