// Runs the decoder case files in tests/data/decode: one packet text or function input per line.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "decode/decoder.hpp"
#include "decode/sony_packet.hpp"
#include "decode/text_format.hpp"
#include "decode/vdcp_names.hpp"

namespace orvane {
namespace {

// Case files write bytes outside 0x20..0x7E as \xHH; no value when a backslash starts no such
// escape.
std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (text.substr(i, 2) != "\\x" || i + 4 > text.size()) return std::nullopt;
        unsigned value = 0;
        const char* digits = text.data() + i + 2;
        if (std::from_chars(digits, digits + 2, value, 16).ptr != digits + 2) return std::nullopt;
        out += static_cast<char>(value);
        i += 3;
    }
    return out;
}

std::string Hex2(std::int64_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value & 0xFF));
    return text;
}

std::vector<long long> Integers(const std::string& input) {
    std::vector<long long> values;
    const char* p = input.c_str();
    for (char* end = nullptr;; p = end) {
        const long long value = std::strtoll(p, &end, 0);
        if (end == p) return values;
        values.push_back(value);
    }
}

std::string DescribeSonyPacket(const std::string& input) {
    const SonyPacket packet = ReadSonyPacket(input);
    std::string text = "key [" + std::string(packet.key) + "] cmd " + Hex2(packet.cmd1) + " " +
                       Hex2(packet.cmd2) + " count " + std::to_string(packet.dataCount) +
                       " group " + Hex2(packet.group) + " data";
    for (const auto value : packet.data) text += " " + Hex2(value);
    return text;
}

// Entry points that DecodePacket does not reach with every value, each giving a text.
const std::map<std::string_view, std::function<std::string(const std::string&)>> kFunctions = {
    {"checksum",
     [](const std::string& in) {
         const Checksums sums = ComputeChecksum(in);
         return "received " + Hex2(sums.received) + " computed " + Hex2(sums.computed);
     }},
    {"timecode",
     [](const std::string& in) {
         const auto v = Integers(in);
         if (v.size() != 4) return std::string("(needs four integers)");
         return FormatTimeCode(static_cast<int>(v[0]), static_cast<int>(v[1]),
                               static_cast<int>(v[2]), static_cast<int>(v[3]));
     }},
    {"hex2",
     [](const std::string& in) { return TwoDigitHex(std::strtoll(in.c_str(), nullptr, 0)); }},
    {"hex1",
     [](const std::string& in) {
         return OneDigitHex(static_cast<int>(std::strtol(in.c_str(), nullptr, 0)));
     }},
    {"number", [](const std::string& in) { return NumberText(std::strtod(in.c_str(), nullptr)); }},
    {"speed", [](const std::string& in) { return SpeedText(std::strtod(in.c_str(), nullptr)); }},
    {"readhex",
     [](const std::string& in) {
         char text[20];
         std::snprintf(text, sizeof text, "%llX", static_cast<long long>(ReadHexField(in)));
         return std::string(text);
     }},
    {"split",
     [](const std::string& in) {
         std::string text;
         for (const std::string_view field : SplitFields(in))
             text += "[" + std::string(field) + "]";
         return text;
     }},
    {"trim", [](const std::string& in) { return std::string(TrimSpaces(in)); }},
    {"sonypacket", DescribeSonyPacket},
    {"vdcpname",
     [](const std::string& in) {
         const auto v = Integers(in);
         if (v.size() != 2) return std::string("(needs two integers)");
         return std::string(VdcpCommandName(static_cast<int>(v[0]), static_cast<int>(v[1])));
     }},
};

std::optional<ProtocolMode> ModeByName(std::string_view name) {
    if (name == "sony") return ProtocolMode::kSony;
    if (name == "odetics") return ProtocolMode::kOdetics;
    if (name == "vdcp") return ProtocolMode::kVdcp;
    std::int32_t mode = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), mode);
    if (error != std::errc{} || end != name.data() + name.size()) return std::nullopt;
    return ProtocolModeFromNumber(mode);
}

// Checks every case of one file; returns how many checks it made.
int RunCaseFile(const std::string& name) {
    const std::string path = std::string(ORVANE_TEST_DATA_DIR) + "/decode/" + name;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        ADD_FAILURE() << "cannot open " << path;
        return 0;
    }
    Decoder decoder;  // one per section: a status reply reads against the section's last request
    int checks = 0;
    int lineNo = 0;
    // FIRST |INPUT|EXPECTED|: the input ends at the second bar, the expected text at the last.
    static const std::regex kCase(R"(([^|]*?) *\|([^|]*)\|(.*)\|)");
    for (std::string line; std::getline(file, line);) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            decoder = Decoder();
            continue;
        }
        std::smatch match;
        std::optional<std::string> input, expected;
        if (std::regex_match(line, match, kCase)) {
            input = Unescape(match[2].str());
            expected = Unescape(match[3].str());
        }
        if (!input || !expected) {
            ADD_FAILURE_AT(path.c_str(), lineNo) << "malformed case: " << line;
            continue;
        }
        const std::string first = match[1];

        // Each (label, actual) pair is one check of this line.
        std::vector<std::pair<std::string, std::string>> results;
        if (const auto function = kFunctions.find(first); function != kFunctions.end()) {
            results.emplace_back(first, function->second(*input));
        } else {
            for (std::size_t start = 0; start <= first.size();) {
                const std::size_t comma = std::min(first.find(',', start), first.size());
                const std::string modeName = first.substr(start, comma - start);
                const auto mode = ModeByName(modeName);
                if (!mode) {
                    ADD_FAILURE_AT(path.c_str(), lineNo)
                        << "unknown mode or function '" << modeName << "'";
                    break;
                }
                decoder.SetProtocolMode(*mode);
                results.emplace_back(modeName, decoder.DecodePacket(*input));
                start = comma + 1;
            }
        }
        for (const auto& [label, actual] : results) {
            ++checks;
            if (actual != *expected) {
                ADD_FAILURE_AT(path.c_str(), lineNo)
                    << label << " |" << *input << "|\n  expected: |" << *expected
                    << "|\n  actual:   |" << actual << "|";
            }
        }
    }
    return checks;
}

class DecodeCaseFile : public testing::TestWithParam<const char*> {};

TEST_P(DecodeCaseFile, EveryLineMatches) {
    EXPECT_GT(RunCaseFile(GetParam()), 0) << "no cases in " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Decode, DecodeCaseFile,
                         testing::Values("system_transport.txt", "doremi.txt", "preset_select.txt",
                                         "sense.txt", "replies.txt", "status_data.txt", "vdcp.txt",
                                         "text_formats.txt"),
                         [](const testing::TestParamInfo<const char*>& param) {
                             std::string name = param.param;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
}  // namespace orvane
