// The Windows backend against the Windows calls themselves (under Wine in
// CI): handles, error codes, pipes, file identity and the x87 control word.

#include <windows.h>

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "tests/support/temp_dir.h"

namespace pathmend::platform {
namespace {

std::uint16_t ReadControlWord() {
  std::uint16_t word = 0;
  __asm__ __volatile__("fnstcw %0" : "=m"(word));
  return word;
}

void LoadControlWord(std::uint16_t word) { __asm__ __volatile__("fldcw %0" : : "m"(word)); }

TEST(Initialise, SetsTheProgramsX87ControlWord) {
  // What a DLL might leave: 53-bit precision, rounding towards zero, the
  // invalid-operation exception unmasked.
  LoadControlWord(0x0E7E);
  Initialise();
  EXPECT_EQ(ReadControlWord(), kX87ControlWord);
  // The 64-bit significand is in force: 1 + 2^-63 is not 1.
  volatile long double one = 1.0L;
  volatile long double tiny = 1.0L / 9223372036854775808.0L;
  EXPECT_NE(one + tiny, one);
}

TEST(StandardHandles, NullAndInvalidBothMeanNone) {
  const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  for (const HANDLE none : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
    ::SetStdHandle(STD_OUTPUT_HANDLE, none);
    ::SetStdHandle(STD_INPUT_HANDLE, none);
    EXPECT_EQ(StandardOutput(), kInvalidHandle);
    EXPECT_EQ(StandardInput(), kInvalidHandle);
    EXPECT_EQ(KindOf(StandardOutput()), HandleKind::Unknown);
  }
  ::SetStdHandle(STD_OUTPUT_HANDLE, output);
  ::SetStdHandle(STD_INPUT_HANDLE, input);
}

class Win32Files : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::string Path(const std::string& name) const { return dir.path() + "\\" + name; }
  void Write(const std::string& name, const std::string& bytes) {
    std::int32_t error = -1;
    const Handle file = CreateAlways(Path(name), false, error);
    ASSERT_NE(file, kInvalidHandle) << error;
    std::size_t done = 0;
    ASSERT_EQ(platform::Write(file, bytes.data(), bytes.size(), done), 0);
    ASSERT_EQ(Close(file), 0);
  }
};

TEST_F(Win32Files, ErrorCodesAreTheSystemsOwn) {
  std::int32_t error = 0;
  EXPECT_EQ(OpenExisting(Path("missing.trk"), error), kInvalidHandle);
  EXPECT_EQ(error, kErrorFileNotFound);
  EXPECT_EQ(OpenExisting(Path("no-folder\\x.trk"), error), kInvalidHandle);
  EXPECT_EQ(error, kErrorPathNotFound);
  EXPECT_EQ(CreateAlways(dir.path(), false, error), kInvalidHandle);  // a folder
  EXPECT_EQ(error, kErrorAccessDenied);

  // Creating over an existing file succeeds although the system's last
  // error then says 183 (already exists): no failure, and the file is empty.
  Write("old.trk", "old bytes");
  const Handle again = CreateAlways(Path("old.trk"), true, error);
  ASSERT_NE(again, kInvalidHandle);
  EXPECT_EQ(error, kNoError);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  std::uint64_t size = 99;
  EXPECT_EQ(FileSize(again, size), 0);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(Close(again), 0);
}

TEST_F(Win32Files, InputsAreOpenedForReadingOnlyAndShared) {
  Write("in.trk", "0123456789");
  std::int32_t error = -1;
  const Handle input = OpenExisting(Path("in.trk"), error);
  ASSERT_NE(input, kInvalidHandle) << error;
  // Another program may still open it for writing.
  const HANDLE writer =
      ::CreateFileA(Path("in.trk").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE);
  if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);
  // The program's handle cannot write.
  std::size_t done = 0;
  EXPECT_NE(platform::Write(input, "x", 1, done), 0);
  EXPECT_EQ(done, 0u);

  char bytes[4] = {};
  EXPECT_EQ(Seek(input, 6), 0);
  EXPECT_EQ(Read(input, bytes, 4, done), 0);
  EXPECT_EQ(std::string(bytes, done), "6789");
  EXPECT_EQ(Read(input, bytes, 4, done), 0);  // at the end: nothing, no error
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(KindOf(input), HandleKind::Disk);
  EXPECT_EQ(Close(input), 0);
}

// A track log with the read-only attribute (copied from a write-protected
// card, say) is read like any other: inputs are opened for reading only.
// (Wine keeps the attribute in the file's permission bits, which root
// ignores, so the refusal to write over such a file cannot be shown here.)
TEST_F(Win32Files, ReadOnlyAttributeInputIsRead) {
  Write("ro.trk", "0123");
  ASSERT_TRUE(::SetFileAttributesA(Path("ro.trk").c_str(), FILE_ATTRIBUTE_READONLY));
  std::int32_t error = -1;
  const Handle input = OpenExisting(Path("ro.trk"), error);
  ASSERT_NE(input, kInvalidHandle) << error;
  char bytes[4] = {};
  std::size_t done = 0;
  EXPECT_EQ(Read(input, bytes, 4, done), 0);
  EXPECT_EQ(std::string(bytes, done), "0123");
  EXPECT_EQ(Close(input), 0);
  EXPECT_EQ(::GetFileAttributesA(Path("ro.trk").c_str()) & FILE_ATTRIBUTE_READONLY,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  ::SetFileAttributesA(Path("ro.trk").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32Pipes, TheEndOfAPipeIsTheEndOfInput) {
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, nullptr, 0));
  DWORD wrote = 0;
  ASSERT_TRUE(::WriteFile(writeEnd, "line\nrest", 9, &wrote, nullptr));
  ::CloseHandle(writeEnd);
  const Handle pipe = reinterpret_cast<Handle>(readEnd);
  EXPECT_EQ(KindOf(pipe), HandleKind::Pipe);
  EXPECT_EQ(ReadLine(pipe), 0);  // up to and including the line feed
  char rest[16] = {};
  std::size_t done = 0;
  EXPECT_EQ(Read(pipe, rest, sizeof rest, done), 0);
  EXPECT_EQ(std::string(rest, done), "rest");
  // ReadFile now fails with ERROR_BROKEN_PIPE: the end, not a failure.
  EXPECT_EQ(Read(pipe, rest, sizeof rest, done), 0);
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(ReadLine(pipe), 0);
  ::CloseHandle(readEnd);
}

TEST_F(Win32Files, SameFileWhateverTheSpelling) {
  Write("Day.trk", "x");
  Write("other.trk", "y");
  const std::string path = Path("Day.trk");
  EXPECT_TRUE(SameFile(path, path));
  EXPECT_TRUE(SameFile(path, Path("DAY.TRK")));
  EXPECT_TRUE(SameFile(path, dir.path() + "\\.\\day.trk"));
  EXPECT_TRUE(SameFile(path, dir.path() + "/day.trk"));
  if (::CreateHardLinkA(Path("link.trk").c_str(), path.c_str(), nullptr)) {
    EXPECT_TRUE(SameFile(path, Path("link.trk")));
  }
  char shortName[MAX_PATH];
  const DWORD length = ::GetShortPathNameA(path.c_str(), shortName, sizeof shortName);
  if (length > 0 && length < sizeof shortName) {
    EXPECT_TRUE(SameFile(path, shortName)) << shortName;
  }
  EXPECT_FALSE(SameFile(path, Path("other.trk")));
  EXPECT_FALSE(SameFile(path, Path("missing.trk")));
  EXPECT_TRUE(PathExists(path));
  EXPECT_TRUE(PathExists(dir.path()));
  EXPECT_FALSE(PathExists(Path("missing.trk")));
}

TEST(Process, NamesAndTheCommandLine) {
  const std::string name = ExecutableName();
  EXPECT_EQ(name.find('\\'), std::string::npos) << name;
  EXPECT_NE(name.find(".exe"), std::string::npos) << name;
  EXPECT_EQ(ImageBase(), reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(nullptr)));
  std::string line;
  ASSERT_TRUE(CommandLine(line));
  EXPECT_EQ(line, ::GetCommandLineA());
  EXPECT_FALSE(SlashBeginsPaths());
}

}  // namespace
}  // namespace pathmend::platform
