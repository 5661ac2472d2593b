// The capture file the benchmarks may run on (ORVANE_BENCH_CAPTURE), read a read at a time.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "capture/capture_file.hpp"

namespace orvane {

// Opens the file or ends the program with a line naming `program`; a damaged file's readable
// reads are given and the damage said at their end.
class BenchCaptureFile {
  public:
    BenchCaptureFile(const char* program, const char* path)
        : program_(program), path_(path), in_(path, std::ios::binary), reader_(in_) {
        std::string error;
        if (!in_ || !reader_.ReadHeader(error)) {
            std::fprintf(stderr, "%s: cannot read %s: %s\n", program, path,
                         in_ ? error.c_str() : "cannot open it");
            std::exit(2);
        }
    }

    ProtocolMode protocolMode() const { return reader_.info().protocolMode; }

    bool NextRead(CaptureRead& read) {
        if (reader_.NextRead(read)) return true;
        if (reader_.damaged()) {
            std::fprintf(stderr, "%s: %s: %s\n", program_, path_, reader_.DamageText().c_str());
        }
        return false;
    }

  private:
    const char* program_;
    const char* path_;
    std::ifstream in_;
    CaptureFileReader reader_;
};

}  // namespace orvane
