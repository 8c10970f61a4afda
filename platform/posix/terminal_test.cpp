// The questions the console asks of the system: the locale's character set,
// whether a handle is a terminal, and the system's message for an error.

#include <gtest/gtest.h>
#include <locale.h>
#include <pty.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/platform.h"

namespace pathmend::platform {
namespace {

// Sets the three locale variables for one test and puts them back after.
class LocaleVariables {
 public:
  LocaleVariables() {
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
      ::unsetenv(name);
    }
  }
  ~LocaleVariables() {
    for (std::size_t i = 0; i < 3; ++i) {
      if (saved_[i]) {
        ::setenv(kNames[i], saved_[i]->c_str(), 1);
      } else {
        ::unsetenv(kNames[i]);
      }
    }
  }

 private:
  static constexpr const char* kNames[3] = {"LC_ALL", "LC_CTYPE", "LANG"};
  std::vector<std::optional<std::string>> saved_;
};

struct CharsetCase {
  const char* name;
  const char* lcAll;
  const char* lcCtype;
  const char* lang;
  bool utf8;
};

TEST(LocaleIsUtf8, FollowsLcAllThenLcCtypeThenLang) {
  const CharsetCase cases[] = {
      {"Unset", nullptr, nullptr, nullptr, false},
      {"LangUtf8", nullptr, nullptr, "C.UTF-8", true},
      {"LangC", nullptr, nullptr, "C", false},
      {"CtypeOverLang", nullptr, "C.UTF-8", "C", true},
      {"AllOverCtype", "C", "C.UTF-8", nullptr, false},
      {"EmptyAllIsUnset", "", "C.UTF-8", nullptr, true},
      {"NotInstalled", "xx_XX.UTF-8", nullptr, nullptr, false},
  };
  for (const CharsetCase& c : cases) {
    LocaleVariables scope;
    if (c.lcAll) ::setenv("LC_ALL", c.lcAll, 1);
    if (c.lcCtype) ::setenv("LC_CTYPE", c.lcCtype, 1);
    if (c.lang) ::setenv("LANG", c.lang, 1);
    EXPECT_EQ(LocaleIsUtf8(), c.utf8) << c.name;
  }
}

TEST(IsTerminal, OnlyATerminalNotAFilePipeOrNullDevice) {
  int master = -1;
  int slave = -1;
  ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  EXPECT_TRUE(IsTerminal(slave));
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  EXPECT_FALSE(IsTerminal(ends[0]));
  std::int32_t error = 0;
  const Handle null = OpenExisting("/dev/null", error);
  ASSERT_NE(null, kInvalidHandle);
  EXPECT_EQ(KindOf(null), HandleKind::Char);  // a character device, yet no terminal
  EXPECT_FALSE(IsTerminal(null));
  EXPECT_FALSE(IsTerminal(kInvalidHandle));
  Close(null);
  ::close(ends[0]);
  ::close(ends[1]);
  ::close(master);
  ::close(slave);
}

TEST(SystemMessage, TheTextOfTheErrorBehindTheLastCode) {
  LocaleVariables scope;
  ::setenv("LC_ALL", "C", 1);
  std::int32_t error = 0;
  EXPECT_EQ(OpenExisting("/nonexistent-folder-of-the-test/x", error), kInvalidHandle);
  EXPECT_EQ(error, kErrorPathNotFound);
  EXPECT_EQ(SystemMessage(error), std::strerror(ENOENT));
  EXPECT_EQ(CreateAlways("/", false, error), kInvalidHandle);  // a folder cannot be written
  EXPECT_EQ(error, kErrorAccessDenied);
  EXPECT_EQ(SystemMessage(error), std::strerror(EISDIR));
  // A code that the last failing call did not return has no message here.
  EXPECT_EQ(SystemMessage(kErrorDiskFull), "");
  EXPECT_EQ(SystemMessage(kNoError), "");
}

}  // namespace
}  // namespace pathmend::platform
