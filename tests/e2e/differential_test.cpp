// The Linux build and pathmend.exe on the same generated inputs: every output
// format, verbose or not, joins, cuts, renames and retypes, in fixed time
// zones. Files and console text must be identical, apart from what the
// systems themselves supply: the locale's date texts (mapped as everywhere
// in these tests, FromSystemLocale), the module name and the address in a
// failure report. Runs in Windows mode only.

#include <cstdio>
#include <random>

#include "tests/e2e/e2e.h"

namespace pathmend::testing {
namespace {

struct DifferentialCase {
  const char* name;
  std::vector<std::string> args;  // the last is the output argument
  const char* written;            // the file the run writes
  int exitCode = 0;
};

class Differential : public EndToEnd, public ::testing::WithParamInterface<const char*> {
 protected:
  // Random walks with random altitudes, speeds and times within 2000 to
  // 2099, so that every digit of the number forms is exercised.
  void MakeInputs() {
    std::mt19937 random(20060115);
    auto walk = [&](const std::string& name, int points, std::uint32_t lat, std::uint32_t lon) {
      TrackLogBuilder builder;
      builder.Name(name).TrackType(static_cast<std::int32_t>(random() % 12));
      builder.StartTime(
          static_cast<std::uint16_t>(2000 + random() % 99),
          static_cast<std::uint16_t>(1 + random() % 12),
          static_cast<std::uint16_t>(1 + random() % 28), static_cast<std::uint16_t>(random() % 24),
          static_cast<std::uint16_t>(random() % 60), static_cast<std::uint16_t>(random() % 60));
      builder.Length(static_cast<double>(random() % 100000) / 7.0);
      std::uint64_t time = 126000000000000000ULL + random() % 30000000000000000ULL;
      for (int i = 0; i < points; ++i) {
        lat += static_cast<std::uint32_t>(random() % 2001) - 1000U;
        lon += static_cast<std::uint32_t>(random() % 2001) - 1000U;
        time += 10000000ULL * (1 + random() % 600) + random() % 10000000;
        builder.Point({lat, lon, static_cast<std::uint16_t>(random()),
                       static_cast<std::uint16_t>(random() % 3000), time});
      }
      builder.WriteTo(File(name + ".trk"));
    };
    walk("a", 40, 49807360, 19922944);
    walk("b", 25, 4294967295U - 10000000U, 94371840);  // southern and western
    walk("c", 1, 0x7FFFFFFF, 0x80000000);
  }
};

TEST_P(Differential, LinuxAndWindowsWriteTheSameBytes) {
  if (!WindowsMode()) GTEST_SKIP() << "Windows mode only: compares the Linux build with the exe";
  MakeInputs();
  const std::string zone = GetParam();
  const DifferentialCase cases[] = {
      {"Copy", {"a.trk", "out.trk"}, "out.trk"},
      {"JoinCutRenameRetype",
       {"/f:5", "/l:30", "/r:Joined", "/t:7", "a.trk", "b.trk", "c.trk", "out.trk"},
       "out.trk"},
      {"VerboseJoin", {"/v", "/f:3", "a.trk", "b.trk", "out.trk"}, "out.trk"},
      {"Kml", {"/ok", "a.trk", "b.trk", "out.kml"}, "out.kml"},
      {"VerboseKmlCut", {"/v", "/ok", "/l:12", "b.trk", "a.trk", "out"}, "out.kml"},
      {"Gtm", {"/ox", "a.trk", "c.trk", "out.txt"}, "out.txt"},
      {"VerboseGtmCut", {"/V", "/OX", "/f:$10", "a.trk", "b.trk", "out"}, "out.txt"},
      {"MissingInput", {"/v", "a.trk", "missing.trk", "out.trk"}, "out.trk", 1},
      {"Usage", {"a.trk"}, ""},
  };
  for (const DifferentialCase& c : cases) {
    RunSetup linux;
    linux.linuxBuild = true;
    linux.input = "\n";
    linux.env = {{"TZ", zone}};
    const RunResult onLinux = Run(c.args, linux);
    ASSERT_EQ(onLinux.exitCode, c.exitCode) << c.name << onLinux.out;
    const std::vector<std::uint8_t> linuxFile =
        *c.written ? ReadFileBytes(File(c.written)) : std::vector<std::uint8_t>();
    const std::string linuxText = *c.written ? ReadExportText(File(c.written)) : "";
    if (*c.written) std::remove(File(c.written).c_str());

    RunSetup windows = linux;
    windows.linuxBuild = false;
    const RunResult onWindows = Run(c.args, windows);
    EXPECT_EQ(onWindows.exitCode, onLinux.exitCode) << c.name;
    std::string linuxOut = ReplaceAddress(onLinux.out);
    const std::string module = "in module pathmend at";
    if (const std::size_t at = linuxOut.find(module); at != std::string::npos) {
      linuxOut.replace(at, module.size(), "in module pathmend.exe at");
    }
    EXPECT_EQ(ReplaceAddress(onWindows.out), linuxOut) << c.name;
    if (!*c.written) continue;
    if (std::string(c.written) == "out.trk") {
      EXPECT_EQ(ReadFileBytes(File(c.written)), linuxFile) << c.name;
    } else {
      EXPECT_EQ(ReadExportText(File(c.written)), linuxText) << c.name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Zones, Differential, ::testing::Values("UTC", "Asia/Tokyo", "EST5"),
                         [](const ::testing::TestParamInfo<const char*>& row) {
                           std::string name = row.param;
                           for (char& ch : name) {
                             if (ch == '/') ch = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace pathmend::testing
