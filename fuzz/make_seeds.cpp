// Writes the seed corpora of the fuzz targets, one folder per target under
// the folder given, each case made by the project's own track log builder
// and the targets' own case layout.
//
//   make_seeds OUT_FOLDER

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "tests/support/track_log_builder.h"

namespace {

using pathmend::fuzz::FuzzWriter;
using pathmend::testing::TrackLogBuilder;

std::string AsText(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

void Save(const std::filesystem::path& folder, int& number,
          const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories(folder);
  std::ofstream out(folder / ("seed-" + std::to_string(number++)), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void Save(const std::filesystem::path& folder, int& number, const std::string& text) {
  Save(folder, number, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// An option in the run layout: letter index, separator, value kind, number.
struct Option {
  char letter;
  char separator;
  std::uint8_t kind;  // 0 decimal, 1 small decimal, 2 "$" digits, 3 spaces and digits, 4 text
  std::uint32_t number;
  std::string text;
};

std::vector<std::uint8_t> RunCase(int format, bool twoInputs, const std::vector<Option>& options,
                                  const std::vector<std::uint8_t>& first,
                                  const std::vector<std::uint8_t>& second = {}) {
  FuzzWriter w;
  w.Byte(static_cast<std::uint8_t>(format)).Byte(twoInputs ? 1 : 0);
  w.Byte(static_cast<std::uint8_t>(options.size()));
  for (const Option& o : options) {
    w.Byte(static_cast<std::uint8_t>(pathmend::fuzz::kOptionLetters.find(o.letter)));
    w.Byte(static_cast<std::uint8_t>(o.separator)).Byte(o.kind).U32(o.number);
    if (o.kind >= 4) w.Text(o.text);
  }
  w.U32(static_cast<std::uint32_t>(first.size())).Bytes(AsText(first));
  if (twoInputs) w.Bytes(AsText(second));
  return w.Result();
}

void RunSeeds(const std::filesystem::path& folder) {
  int n = 0;
  const auto three = TrackLogBuilder().Line(49283072, 8388608, 100, 3).Bytes();
  const auto many = TrackLogBuilder().Name("Road Split").Line(49283072, 8388608, 1000, 40).Bytes();
  const auto other =
      TrackLogBuilder().TrackType(9).Line(50331648, 9388608, 100, 5, 128000000000000000ULL).Bytes();
  const auto cutShort =
      TrackLogBuilder().Line(49283072, 8388608, 100, 3).PointCount(9).Trailing(7).Bytes();
  const auto noPoints = TrackLogBuilder().PointCount(4).Bytes();
  const auto badStart =
      TrackLogBuilder().StartTime(2006, 13, 40, 25, 61, 61).Line(49283072, 8388608, 100, 2).Bytes();
  const auto nanLength =
      TrackLogBuilder().LengthBits(0x7FF4000000000000ULL).Line(49283072, 8388608, 100, 2).Bytes();
  const auto oddName =
      TrackLogBuilder().Name("H\x82tk\x94znapi & <Aut\xA2>").Id("\xC3\xA9t\xC3\xA9").Bytes();
  const Option verbose{'V', ':', 1, 0, ""};
  const Option first{'F', ':', 0, 2, ""};
  const Option last{'L', ':', 0, 30, ""};
  const Option hexLast{'L', ':', 2, 10, ""};
  const Option type{'T', '=', 1, 5, ""};
  const Option rename{'R', ':', 4, 0, "New name of more than thirty-two bytes"};
  const Option emptyRename{'R', ':', 4, 0, ""};
  for (int format = 0; format < 3; ++format) {
    Save(folder, n, RunCase(format, false, {}, three));
    Save(folder, n, RunCase(format, false, {verbose}, many));
    Save(folder, n, RunCase(format, true, {first, last}, many, other));
    Save(folder, n, RunCase(format, true, {verbose, hexLast, type, rename}, three, other));
    Save(folder, n, RunCase(format, false, {emptyRename}, cutShort));
    Save(folder, n, RunCase(format, true, {verbose}, noPoints, badStart));
    Save(folder, n, RunCase(format, false, {}, nanLength));
    Save(folder, n, RunCase(format, false, {Option{'t', 'x', 3, 7, ""}}, oddName));
  }
}

void OptionSeeds(const std::filesystem::path& folder) {
  int n = 0;
  for (const char* line :
       {"pathmend /v /r:\"Road Split\" /f:10 /l:30 /t:5 20060101.trk new.trk",
        "pathmend /ok /f:10 20060101.trk ge.kml", "pathmend /ot /l:30 20060101.trk gtm.txt",
        "pathmend /F:$1F /l:0x10 /t:x10 /f=   7 a.trk b.trk",
        "pathmend /f:-2147483648 /l:2147483648 a b",
        "pathmend /T:$FFFFFFFF /t:$100000000 /r: /o in out", "pathmend -- /v in out",
        "pathmend /overbose \"\"\"\" \"a b\"c\" d out", "pathmend /v out.trk", "10", "   7", "+5",
        "-1", "0x1F", "$a", "007", "1e3", "10 ", "\t5"}) {
    Save(folder, n, std::string(line));
  }
}

// A value as the target reads it: 64-bit significand, sign and exponent,
// number of decimals.
void FixedSeed(const std::filesystem::path& folder, int& n, long double value, int decimals) {
  unsigned char bytes[sizeof value] = {};
  std::memcpy(bytes, &value, sizeof value);
  std::uint64_t sig = 0;
  std::uint16_t top = 0;
  std::memcpy(&sig, bytes, 8);
  std::memcpy(&top, bytes + 8, 2);
  Save(folder, n,
       FuzzWriter().U64(sig).U16(top).Byte(static_cast<std::uint8_t>(decimals)).Result());
}

void FixedNotationSeeds(const std::filesystem::path& folder) {
  int n = 0;
  FixedSeed(folder, n, 47.5L, 15);
  FixedSeed(folder, n, 19.0000152587890625L, 15);
  FixedSeed(folder, n, 0.0078125L, 6);
  FixedSeed(folder, n, 0.25L, 1);
  FixedSeed(folder, n, 0.049999999999999995836663657655662973411381244659423828125L, 1);
  FixedSeed(folder, n, 73.75648021697998046875L, 15);
  FixedSeed(folder, n, 445.4050750732421875L, 15);
  FixedSeed(folder, n, 2682.7555694580078125L, 15);
  FixedSeed(folder, n, 12.345678899999999345027390518225729465484619140625L, 5);
  FixedSeed(folder, n, 9.999999999999999999L, 0);
  FixedSeed(folder, n, 18446744073709551615.0L, 3);
  FixedSeed(folder, n, 1300000000000000069904223845190991872.0L, 5);
  FixedSeed(folder, n, -0.000001L, 5);
  FixedSeed(folder, n, 65535.0L / 10.0L, 1);
}

void DateTextSeeds(const std::filesystem::path& folder) {
  int n = 0;
  for (const char* picture : {"yyyy.mm.dd. h:nn:ss", "m/d/yy h:mm:ss AMPM", "c", "dddddd tt",
                              "h:nn am/pm", "\"quoted\" 'x' a/p ggee zzz", "hh"}) {
    Save(folder, n,
         FuzzWriter()
             .Byte(0)
             .Byte('.')
             .Byte(':')
             .Text("AM")
             .Text("PM")
             .Text("yyyy.mm.dd.")
             .Text("mmmm d")
             .Text("h:nn")
             .Text("h:nn:ss")
             .Byte(3)
             .Text("Mar")
             .U64(38732ULL << 1)
             .Bytes(picture)
             .Result());
  }
  for (const char* format :
       {"%d.%m.%Y", "%H:%M:%S", "%I:%M:%S %p", "%a %d %b %Y %r %Z", "%x %X", "%Y-%m-%d"}) {
    Save(folder, n, FuzzWriter().Byte(1).Byte(3).Bytes(format).Result());
  }
  Save(folder, n,
       FuzzWriter()
           .Byte(2)
           .U16(1006)
           .Byte(0)
           .Byte(14)
           .Byte(13)
           .Byte(45)
           .Byte(30)
           .Bytes("\x02\x80\x0C\x80\x01\x81\x08\x8A\x09\x8A\x0A")
           .Result());
}

void XmlTextSeeds(const std::filesystem::path& folder) {
  int n = 0;
  for (const std::string& name :
       {std::string("Test"), std::string("H\x82tk\x94znapi"), std::string("\xC3\x89rdekes"),
        std::string("Road & <Split>"), std::string("\x01\x7F\x81\x83\x88\x90\x98"),
        std::string("\xF0\x9F\x98\x80\xED\xA0\x80\xC0\xAF")}) {
    Save(folder, n, name);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds OUT_FOLDER\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  RunSeeds(out / "run_fuzz");
  OptionSeeds(out / "options_fuzz");
  FixedNotationSeeds(out / "fixed_notation_fuzz");
  DateTextSeeds(out / "date_text_fuzz");
  XmlTextSeeds(out / "xml_text_fuzz");
  return 0;
}
