// A fresh empty folder for one test's files, removed with everything in it when the test ends,
// and whole-file reads and writes. Every test binary's tests run in parallel processes, so each
// folder has a name of its own.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace orvane::test {

class ScratchFolder {
  public:
    // With `makeCurrent` the folder is the current directory while it lives (the program looks
    // for its settings file there).
    explicit ScratchFolder(bool makeCurrent = false) {
        namespace fs = std::filesystem;
        static std::atomic<unsigned> count{0};
        const fs::path base = fs::temp_directory_path();
        std::random_device random;
        for (int attempt = 0; path_.empty(); ++attempt) {
            if (attempt == 100) throw std::runtime_error("no scratch folder can be made");
            const fs::path candidate =
                base / ("orvane-test-" + std::to_string(random()) + "-" + std::to_string(++count));
            if (fs::create_directory(candidate)) path_ = candidate;
        }
        if (makeCurrent) {
            previous_ = fs::current_path();
            fs::current_path(path_);
        }
    }
    ~ScratchFolder() {
        namespace fs = std::filesystem;
        std::error_code ec;
        if (!previous_.empty()) fs::current_path(previous_, ec);
        // A test may have locked a folder; unlock every one so that all can be removed.
        for (const auto& entry : fs::recursive_directory_iterator(path_, ec)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of a file `name` in the folder.
    std::string Path(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
    std::filesystem::path previous_;  // the current directory before, when it was changed
};

inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace orvane::test
