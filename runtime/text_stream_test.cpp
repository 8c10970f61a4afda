#include "runtime/text_stream.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "runtime/failure.h"
#include "tests/support/temp_dir.h"
#include "tests/support/track_log_builder.h"

namespace pathmend {
namespace {

class TextFiles : public ::testing::Test {
 protected:
  testing::TempDir dir;
  TextStream stream;
  void TearDown() override { PendingIoCode = 0; }
  std::uintmax_t SizeOnDisk() { return std::filesystem::file_size(dir.File("out.txt")); }
};

TEST_F(TextFiles, WritesOnlyFullBlocksUntilClosed) {
  CreateTextFile(stream, dir.File("out.txt"));
  ASSERT_EQ(PendingIoCode, 0);
  EXPECT_FALSE(stream.flushAtStatementEnd);
  const std::string text(300, 'a');
  WriteText(stream, text);
  EndStatement(stream);
  EXPECT_EQ(SizeOnDisk(), 256U);
  EXPECT_EQ(stream.count, 44U);
  EndLine(stream);
  EXPECT_EQ(SizeOnDisk(), 256U);
  CloseTextFile(stream);
  EXPECT_EQ(PendingIoCode, 0);
  EXPECT_EQ(testing::ReadFileText(dir.File("out.txt")), text + "\r\n");
}

TEST_F(TextFiles, ExactlyFullBufferIsWrittenAtOnce) {
  CreateTextFile(stream, dir.File("out.txt"));
  WriteText(stream, std::string(100, 'a'));
  WriteText(stream, std::string(28, 'b'));
  EXPECT_EQ(SizeOnDisk(), 128U);
  EXPECT_EQ(stream.count, 0U);
  CloseTextFile(stream);
  EXPECT_EQ(SizeOnDisk(), 128U);
}

TEST_F(TextFiles, BytesPassUnchanged) {
  CreateTextFile(stream, dir.File("out.txt"));
  const std::string bytes("\x00\x82\xFF\n\r", 5);
  WriteText(stream, bytes);
  CloseTextFile(stream);
  EXPECT_EQ(testing::ReadFileText(dir.File("out.txt")), bytes);
}

TEST_F(TextFiles, OperationsOnAClosedStreamLeaveTheirCodes) {
  EndStatement(stream);
  EXPECT_EQ(PendingIoCode, 103);
  PendingIoCode = 0;
  CloseTextFile(stream);
  EXPECT_EQ(PendingIoCode, 103);
  PendingIoCode = 0;
  WriteText(stream, "x");
  EXPECT_EQ(PendingIoCode, 105);
}

TEST_F(TextFiles, CreateFailuresAreSystemCodes) {
  CreateTextFile(stream, dir.File("missing/out.txt"));
  EXPECT_EQ(PendingIoCode, 3);
  EXPECT_FALSE(stream.open);
  PendingIoCode = 0;
  CreateTextFile(stream, dir.path());
  EXPECT_EQ(PendingIoCode, 5);
}

TEST_F(TextFiles, OverlongNameCreatesNothing) {
  const std::string name = dir.File(std::string(260 - dir.path().size(), 'n'));
  ASSERT_GT(name.size(), 259U);
  CreateTextFile(stream, name);
  EXPECT_NE(PendingIoCode, 0);
  EXPECT_FALSE(stream.open);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(TextFiles, FailedWriteEmptiesTheBufferAndRecordsTheCode) {
  CreateTextFile(stream, "/dev/full");
  ASSERT_EQ(PendingIoCode, 0);
  EXPECT_TRUE(stream.flushAtStatementEnd);  // a character device
  WriteText(stream, "abc");
  EndStatement(stream);
  EXPECT_EQ(PendingIoCode, 112);
  EXPECT_EQ(stream.count, 0U);
  EXPECT_TRUE(stream.writeFailed);
}

TEST_F(TextFiles, TextAfterALostBlockIsMarkedAsNotFollowingTheFile) {
  // A block lost in the middle of a statement: the rest of that item is
  // dropped, but later items of the statement still reach the buffer. The
  // stream says so, and the run then leaves that text out of the file.
  CreateTextFile(stream, "/dev/full");
  WriteText(stream, std::string(200, 'a'));
  EXPECT_EQ(stream.count, 0U);
  WriteText(stream, ",tail");
  EXPECT_EQ(stream.count, 5U);
  EXPECT_TRUE(stream.writeFailed);
  EXPECT_EQ(PendingIoCode, 112);
}

TEST_F(TextFiles, SuccessfulWritesLeaveTheStreamUnmarked) {
  CreateTextFile(stream, dir.File("out.txt"));
  WriteText(stream, std::string(300, 'a'));
  EXPECT_FALSE(stream.writeFailed);
  CloseTextFile(stream);
}

}  // namespace
}  // namespace pathmend
