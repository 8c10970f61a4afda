// The console text on a terminal whose locale is UTF-8: the type names (code
// page 852) and the recorder's 8-bit text (Windows-1250 unless it is UTF-8)
// are shown in UTF-8 letters; a pipe, a file and a terminal of another
// character set get the bytes exactly as the program writes them.

#include <locale.h>

#include "tests/e2e/e2e.h"
#include "tests/support/pty_process.h"

namespace pathmend::testing {
namespace {

// The twelve type names: code page 852 bytes and their UTF-8 letters.
const std::vector<std::pair<std::string, std::string>> kTypeNames = {
    {"H\x82tk\x94znapi", "H\xC3\xA9tk\xC3\xB6znapi"},
    {"\x9Azleti", "\xC3\x9Czleti"},
    {"Szem\x82lyes", "Szem\xC3\xA9lyes"},
    {"Rep\x81l\x8B", "Rep\xC3\xBCl\xC5\x91"},
    {"Aut\xA2", "Aut\xC3\xB3"},
    {"Haj\xA2", "Haj\xC3\xB3"},
    {"T\xA3ra", "T\xC3\xBAra"},
    {"\x90rdekes", "\xC3\x89rdekes"},
    {"Felm\x82r\x82s", "Felm\xC3\xA9r\xC3\xA9s"},
    {"Arch\xA1v", "Arch\xC3\xADv"},
};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

std::string WithUtf8TypeNames(std::string text) {
  for (const auto& [bytes, utf8] : kTypeNames) text = ReplaceAll(text, bytes, utf8);
  return text;
}

bool LocaleInstalled(const char* name) {
  const locale_t locale = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return false;
  freelocale(locale);
  return true;
}

class TerminalText : public EndToEnd {
 protected:
  // A name in Windows-1250 ("Šamorín") and an input whose file name is UTF-8.
  void SetUp() override {
    PATHMEND_LINUX_ONLY("text for a Linux terminal and its locale");
    TrackLogBuilder()
        .Name(
            "\x8A"
            "amor\xEDn")
        .Point(PointSpec{49283072, 8388608, 1053, 500, 0})
        .WriteTo(File("\xC3\xA9j.trk"));
  }

  PtyResult OnTerminal(std::vector<std::string> args,
                       std::vector<std::pair<std::string, std::string>> locale) {
    PtySetup setup;
    setup.binary = PathmendBinary();
    setup.args = std::move(args);
    setup.cwd = dir.path();
    setup.env = {{"TZ", "UTC"}, {"LC_ALL", ""}, {"LC_CTYPE", ""}, {"LANG", ""}};
    for (auto& variable : locale) setup.env.push_back(std::move(variable));
    return RunUnderPty(setup);
  }

  RunResult OnPipe(std::vector<std::string> args) { return Run(std::move(args)); }
};

TEST_F(TerminalText, UsageShowsTheTypeNamesInUtf8) {
  const RunResult pipe = OnPipe({});
  const PtyResult terminal = OnTerminal({}, {{"LC_ALL", "C.UTF-8"}});
  EXPECT_EQ(terminal.exitCode, 0);
  ASSERT_NE(pipe.out.find("H\x82tk\x94znapi"), std::string::npos) << "the pipe converts";
  EXPECT_EQ(terminal.out, WithUtf8TypeNames(pipe.out));
  EXPECT_NE(terminal.out.find("\t 0: H\xC3\xA9tk\xC3\xB6znapi\t 1: \xC3\x9Czleti"),
            std::string::npos);
}

TEST_F(TerminalText, ReportShowsNamesAndTypesInUtf8) {
  const std::vector<std::string> args = {"/t:9", "\xC3\xA9j.trk", "out.trk"};
  const RunResult pipe = OnPipe(args);
  const PtyResult terminal = OnTerminal(args, {{"LC_ALL", "C.UTF-8"}});
  ASSERT_EQ(pipe.exitCode, 0) << pipe.out;
  EXPECT_EQ(terminal.exitCode, 0);
  // The pipe gets the recorder's bytes; the terminal its letters. The UTF-8
  // file name is shown as it is.
  EXPECT_NE(pipe.out.find("  * Name: \x8A"
                          "amor\xEDn\r\n"),
            std::string::npos)
      << pipe.out;
  std::string expected = ReplaceAll(pipe.out,
                                    "\x8A"
                                    "amor\xEDn",
                                    "\xC5\xA0"
                                    "amor\xC3\xADn");
  expected = WithUtf8TypeNames(expected);
  EXPECT_EQ(terminal.out, expected);
  EXPECT_NE(terminal.out.find("Track #1: \xC3\xA9j.trk\r\n"), std::string::npos);
  EXPECT_NE(terminal.out.find("  * Type: 5 (Aut\xC3\xB3)\r\n"), std::string::npos);
  EXPECT_NE(terminal.out.find("  -> New Type: 9 (\xC3\x89rdekes)\r\n"), std::string::npos);
}

struct LocaleCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> env;
  bool utf8;                    // the terminal is shown UTF-8 letters
  const char* needs = nullptr;  // a locale the case needs installed
};

void PrintTo(const LocaleCase& c, std::ostream* os) { *os << c.name; }

class TerminalLocale : public TerminalText, public ::testing::WithParamInterface<LocaleCase> {};

TEST_P(TerminalLocale, DecidesByTheCharacterSetOfTheLocale) {
  const LocaleCase& c = GetParam();
  if (c.needs != nullptr && !LocaleInstalled(c.needs)) {
    GTEST_SKIP() << "locale " << c.needs << " is not installed";
  }
  const RunResult pipe = OnPipe({});
  const PtyResult terminal = OnTerminal({}, c.env);
  EXPECT_EQ(terminal.exitCode, 0);
  EXPECT_EQ(terminal.out, c.utf8 ? WithUtf8TypeNames(pipe.out) : pipe.out);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, TerminalLocale,
    ::testing::Values(
        LocaleCase{"NoLocale", {}, false}, LocaleCase{"CLocale", {{"LC_ALL", "C"}}, false},
        LocaleCase{"LangUtf8", {{"LANG", "hu_HU.UTF-8"}}, true, "hu_HU.UTF-8"},
        LocaleCase{"CtypeUtf8", {{"LC_CTYPE", "C.UTF-8"}, {"LANG", "C"}}, true},
        LocaleCase{"AllOverridesCtype", {{"LC_ALL", "C"}, {"LC_CTYPE", "C.UTF-8"}}, false},
        LocaleCase{"Latin2", {{"LC_ALL", "hu_HU.ISO-8859-2"}}, false, "hu_HU.ISO-8859-2"},
        LocaleCase{"NotInstalled", {{"LC_ALL", "xx_XX.UTF-8"}}, false}),
    [](const ::testing::TestParamInfo<LocaleCase>& row) { return std::string(row.param.name); });

TEST_F(TerminalText, PipeAndFileKeepTheBytesInAUtf8Locale) {
  RunSetup setup;
  setup.env = {{"LC_ALL", "C.UTF-8"}};
  const RunResult utf8Pipe = Run({"\xC3\xA9j.trk", "out.trk"}, setup);
  setup.stdoutPath = File("console.txt");
  Run({"\xC3\xA9j.trk", "out.trk"}, setup);
  const RunResult plainPipe = Run({"\xC3\xA9j.trk", "out.trk"});
  EXPECT_EQ(utf8Pipe.out, plainPipe.out);
  EXPECT_EQ(ReadFileText(File("console.txt")), plainPipe.out);
  EXPECT_NE(utf8Pipe.out.find("Aut\xA2"), std::string::npos);
}

}  // namespace
}  // namespace pathmend::testing
