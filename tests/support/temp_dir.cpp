#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace pathmend::testing {

// A folder of a new random name under TMPDIR (else the system's temporary
// folder); create_directory fails when the name is taken, so two tests never
// share one.
TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  const std::filesystem::path parent = base != nullptr && *base != '\0'
                                           ? std::filesystem::path(base)
                                           : std::filesystem::temp_directory_path();
  std::random_device seed;
  // Some C++ libraries give the same random_device sequence in every
  // process; the clock keeps parallel test programs apart.
  std::mt19937_64 random(seed() ^ static_cast<std::uint64_t>(
                                      std::chrono::steady_clock::now().time_since_epoch().count()));
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "pathmend-test-";
    for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    const std::filesystem::path candidate = parent / name;
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = candidate.generic_string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace pathmend::testing
