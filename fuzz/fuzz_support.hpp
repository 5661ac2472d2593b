// What the fuzz targets share: the invariant check and a private scratch folder per process.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace orvane::fuzz {

// Stops the run, so libFuzzer keeps the input, when an invariant of the target does not hold.
inline void CheckInvariant(bool condition, const char* target, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "%s: broken invariant: %s\n", target, what);
        std::abort();
    }
}

// A folder of its own for every fuzzing process, removed when the process ends normally.
// Memory-backed where the system has it: a run writes files thousands of times a second.
class TempFolder {
  public:
    explicit TempFolder(const char* target) {
        std::error_code ec;
        const std::filesystem::path root = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (root / (std::string("orvane-") + target + "-XXXXXX")).string();
        const char* made = mkdtemp(pattern.data());
        CheckInvariant(made != nullptr, target, "a temporary folder can be made");
        path_ = made;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace orvane::fuzz
