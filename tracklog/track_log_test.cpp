#include "tracklog/track_log.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "runtime/failure.h"
#include "tests/support/iconv_reference.h"
#include "tests/support/temp_dir.h"
#include "tests/support/track_log_builder.h"

namespace pathmend {
namespace {

using testing::TempDir;
using testing::TrackLogBuilder;

HeaderBytes ToHeaderBytes(const std::vector<std::uint8_t>& bytes) {
  HeaderBytes header{};
  std::memcpy(header.data(), bytes.data(), kHeaderSize);
  return header;
}

TEST(TrackHeaderLayout, DecodesEveryFieldAtItsOffset) {
  const auto bytes = TrackLogBuilder()
                         .PointCount(4294967295U)
                         .Name("Road Split")
                         .TrackType(-3)
                         .PP(77)
                         .Id("VT12345")
                         .StartTime(2006, 1, 15, 13, 45, 30, 250, 9)
                         .Reserved(0x11223344, 0x55667788)
                         .Length(123.5)
                         .Visible(2)
                         .Bytes();
  const TrackHeader header = DecodeHeader(ToHeaderBytes(bytes));
  EXPECT_EQ(header.PointCount, 4294967295U);
  EXPECT_EQ(FieldText(header.Name.data(), kNameWidth), "Road Split");
  EXPECT_EQ(header.TrackType, -3);
  EXPECT_EQ(header.PP, 77);
  EXPECT_EQ(FieldText(header.Id.data(), kIdWidth), "VT12345");
  EXPECT_EQ(header.StartTime.year, 2006);
  EXPECT_EQ(header.StartTime.month, 1);
  EXPECT_EQ(header.StartTime.dayOfWeek, 9);
  EXPECT_EQ(header.StartTime.day, 15);
  EXPECT_EQ(header.StartTime.hour, 13);
  EXPECT_EQ(header.StartTime.minute, 45);
  EXPECT_EQ(header.StartTime.second, 30);
  EXPECT_EQ(header.StartTime.milliseconds, 250);
  EXPECT_EQ(header.Length, 123.5);
  EXPECT_EQ(header.Visible, 2U);  // any non-zero value is true
  // Encoding gives back the same 96 bytes, reserved gaps included.
  EXPECT_EQ(EncodeHeader(header), ToHeaderBytes(bytes));
}

TEST(TrackHeaderLayout, SignallingNanLengthPassesThroughUnchanged) {
  const std::uint64_t signalling = 0x7FF0000000000001ULL;
  const auto bytes = TrackLogBuilder().LengthBits(signalling).Bytes();
  const HeaderBytes encoded = EncodeHeader(DecodeHeader(ToHeaderBytes(bytes)));
  EXPECT_EQ(encoded, ToHeaderBytes(bytes));
}

TEST(TrackPointLayout, DecodesUnsignedFields) {
  PointBytes bytes{};
  const std::uint8_t raw[20] = {0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                0x34, 0x12, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x81};
  std::memcpy(bytes.data(), raw, 20);
  const TrackPoint point = DecodePoint(bytes);
  EXPECT_EQ(point.Lat, 2147483648U);  // not a negative value
  EXPECT_EQ(point.Lon, 4294967295U);
  EXPECT_EQ(point.Alt, 65535);
  EXPECT_EQ(point.Speed, 0x1234);
  EXPECT_EQ(point.Time, 0x8102030405060708ULL);
  EXPECT_EQ(EncodePoint(point), bytes);
}

TEST(FieldText, EndsAtZeroByteOrFieldEnd) {
  const std::uint8_t full[32] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K',
                                 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T', 'U', 'V',
                                 'W', 'X', 'Y', 'Z', '1', '2', '3', '4', '5', '6'};
  EXPECT_EQ(FieldText(full, 32), "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456");
  const std::uint8_t empty[4] = {0, 'A', 'B', 0};
  EXPECT_EQ(FieldText(empty, 4), "");
  const std::uint8_t eight[4] = {0xE9, 0x82, 0, 'x'};  // bytes kept as they are
  EXPECT_EQ(FieldText(eight, 4), "\xE9\x82");
}

TEST(SetName, ZeroesTheFieldAndCutsAtThirtyTwoBytes) {
  TrackHeader header;
  header.Name.fill('x');
  header.TrackType = 7;
  SetName(header, "Road");
  EXPECT_EQ(FieldText(header.Name.data(), kNameWidth), "Road");
  EXPECT_EQ(header.Name[31], 0);
  SetName(header, std::string(40, 'N'));
  EXPECT_EQ(std::string(header.Name.begin(), header.Name.end()), std::string(32, 'N'));
  EXPECT_EQ(header.TrackType, 7);
  SetName(header, "");
  EXPECT_EQ(FieldText(header.Name.data(), kNameWidth), "");
}

TEST(TypeName, CodePage852NamesAndUnknownIndices) {
  EXPECT_EQ(TypeName(0), "H\x82tk\x94znapi");
  EXPECT_EQ(TypeName(4), "Rep\x81l\x8B");
  EXPECT_EQ(TypeName(11), "Arch\xA1v");
  EXPECT_EQ(TypeName(12), "?");
  EXPECT_EQ(TypeName(-1), "?");
}

// The UTF-8 names are the code page 852 names converted by iconv, a
// converter this project did not write.
TEST(TypeName, Utf8NamesAreTheCodePage852NamesConverted) {
  if (!testing::IconvAvailable()) GTEST_SKIP() << "no iconv here: the Linux build checks this";
  for (std::int32_t index = 0; index < kTrackTypeCount; ++index) {
    const auto expected = testing::IconvToUtf8("CP852", TypeName(index));
    ASSERT_TRUE(expected.has_value()) << "iconv has no CP852";
    EXPECT_EQ(TypeNameUtf8(index), *expected) << "type " << index;
  }
  EXPECT_EQ(TypeNameUtf8(12), "");
  EXPECT_EQ(TypeNameUtf8(-1), "");
}

class TrackFiles : public ::testing::Test {
 protected:
  TempDir dir;
  void TearDown() override { PendingIoCode = 0; }
};

TEST_F(TrackFiles, ReadsRecordsUntilTheEnd) {
  const auto bytes = TrackLogBuilder().Line(100, 200, 1, 2).Bytes();
  testing::WriteFileBytes(dir.File("a.trk"), bytes);
  TrackFile file = OpenTrackInput(dir.File("a.trk"));
  EXPECT_EQ(ReadHeader(file).PointCount, 2U);
  EXPECT_FALSE(AtEnd(file));
  EXPECT_EQ(ReadPoint(file).Lat, 100U);
  EXPECT_FALSE(AtEnd(file));
  EXPECT_EQ(ReadPoint(file).Lat, 101U);
  EXPECT_TRUE(AtEnd(file));
  CloseTrackFile(file);
}

TEST_F(TrackFiles, PartialRecordFailsWithReadBeyondEnd) {
  testing::WriteFileBytes(dir.File("a.trk"), TrackLogBuilder().Trailing(19).Bytes());
  TrackFile file = OpenTrackInput(dir.File("a.trk"));
  ReadHeader(file);
  ASSERT_FALSE(AtEnd(file));
  try {
    ReadPoint(file);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind, "EInOutError");
    EXPECT_EQ(failure.message, "Read beyond end of file");
    EXPECT_EQ(failure.ioCode, 100);
  }
  EXPECT_EQ(PendingIoCode, 0);
  CloseTrackFile(file);
}

// The reader that leaves out a record cut in half: it stops where fewer
// bytes than one record are left, and says how many bytes those are.
TEST_F(TrackFiles, LastWholeRecordAndThePartialBytesAfterIt) {
  const struct {
    int points;
    std::size_t trailing;
  } cases[] = {{0, 0}, {0, 1}, {2, 0}, {2, 7}, {2, 19}, {1, 19}};
  for (const auto& c : cases) {
    testing::WriteFileBytes(
        dir.File("a.trk"),
        TrackLogBuilder().Line(100, 200, 1, c.points).Trailing(c.trailing).Bytes());
    TrackFile file = OpenTrackInput(dir.File("a.trk"));
    ReadHeader(file);
    EXPECT_EQ(PartialRecordBytes(file), c.trailing) << c.points << " points";
    int read = 0;
    while (!AtLastWholeRecord(file)) {
      ReadPoint(file);
      ++read;
    }
    EXPECT_EQ(read, c.points) << c.trailing << " trailing bytes";
    EXPECT_EQ(AtEnd(file), c.trailing == 0);
    CloseTrackFile(file);
  }
}

TEST_F(TrackFiles, HeaderIsReadBackAndRewrittenAtTheStart) {
  TrackFile out = CreateTrackOutput(dir.File("out.trk"));
  TrackHeader header;
  header.PointCount = 5;
  WriteHeader(out, header);
  WritePoint(out, TrackPoint{1, 2, 3, 4, 5});
  TrackHeader back = ReadHeaderAtStart(out);
  EXPECT_EQ(back.PointCount, 5U);
  back.PointCount = 1;
  back.Length = 2.5;
  RewriteHeader(out, back);
  CloseTrackFile(out);
  const auto bytes = testing::ReadFileBytes(dir.File("out.trk"));
  ASSERT_EQ(bytes.size(), kHeaderSize + kPointSize);
  EXPECT_EQ(testing::GetU32(bytes, 0), 1U);
  EXPECT_EQ(testing::GetDouble(bytes, 80), 2.5);
  EXPECT_EQ(testing::GetU32(bytes, 96), 1U);
}

}  // namespace
}  // namespace pathmend
