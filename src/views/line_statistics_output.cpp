// The line's figures written out as a table, CSV and JSON.
#include "views/line_statistics_output.hpp"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>
#include <vector>

#include "views/packet_export.hpp"
#include "views/utf8_text.hpp"

namespace orvane {
namespace {

void AppendNumber(std::string& out, std::uint64_t value) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// Fixed decimals whatever the locale (the desktop program sets one).
void AppendFixed(std::string& out, double value, int decimals) {
    char digits[48];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    out.append(digits, result.ptr);
}

std::string Number(std::uint64_t value) {
    std::string text;
    AppendNumber(text, value);
    return text;
}

std::string Fixed(double value, int decimals) {
    std::string text;
    AppendFixed(text, value, decimals);
    return text;
}

const char* SideName(bool fromDevice) { return fromDevice ? "deck" : "controller"; }

struct Summary {
    std::uint32_t min, median, p95, max;
};

std::optional<Summary> Summarize(const LatencyHistogram& latency) {
    if (latency.count() == 0) return std::nullopt;
    return Summary{latency.min(), latency.Percentile(50), latency.Percentile(95), latency.max()};
}

// The names in the order they are written, with the side added to a name both sides use.
struct Row {
    const NameStatistics* name;
    std::string label;  // Windows-1252
};

std::vector<Row> Rows(const LineStatistics& statistics) {
    const std::vector<NameStatistics>& names = statistics.names();
    std::vector<Row> rows;
    for (const NameStatistics& name : names) {
        const bool shared = std::any_of(names.begin(), names.end(), [&](const NameStatistics& o) {
            return o.fromDevice != name.fromDevice && o.name == name.name;
        });
        rows.push_back(
            {&name, shared ? name.name + " (" + SideName(name.fromDevice) + ")" : name.name});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        if (a.name->fromDevice != b.name->fromDevice) return !a.name->fromDevice;
        if (a.name->count != b.name->count) return a.name->count > b.name->count;
        return a.label < b.label;
    });
    return rows;
}

double Share(const LineStatistics& statistics, std::uint64_t count) {
    const std::uint64_t packets = statistics.packetCount();
    return packets == 0 ? 0.0 : static_cast<double>(count) / static_cast<double>(packets);
}

std::string NakReasonLabel(int bit) {
    const char* name = NakReasonName(bit);
    return name != nullptr ? name : "error bit " + Number(static_cast<std::uint64_t>(bit));
}

// The NAK bits to list: those with a meaning, and any other that was seen.
std::vector<int> NakBits(const LineStatistics& statistics) {
    std::vector<int> bits;
    for (int bit = 0; bit < 8; ++bit) {
        if (NakReasonName(bit) != nullptr || statistics.NakReasonCount(bit) > 0) {
            bits.push_back(bit);
        }
    }
    return bits;
}

VerdictKind Kind(int index) { return static_cast<VerdictKind>(index); }

// A Windows-1252 text padded with spaces to `width` characters, on the left or the right.
std::string Pad(std::string text, std::size_t width, bool right) {
    if (text.size() >= width) return text;
    const std::string spaces(width - text.size(), ' ');
    return right ? spaces + text : text + spaces;
}

std::string CsvField(std::string_view utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(utf8);
    std::string field = "\"";
    for (const char c : utf8) {
        if (c == '"') field.push_back('"');
        field.push_back(c);
    }
    return field + '"';
}

}  // namespace

std::string LineStatisticsText(const LineStatistics& statistics) {
    const std::vector<Row> rows = Rows(statistics);
    std::string out = "Packets: " + Number(statistics.packetCount()) + " in " +
                      Fixed(static_cast<double>(statistics.durationMs()) / 1000.0, 3) +
                      " s   Polls: " + Number(statistics.pollCount()) + " (" +
                      Fixed(statistics.PollsPerSecond(), 2) +
                      " per second)   Lost messages: " + Number(statistics.lostMessages()) + "\n\n";

    // Columns: name, side, count, share, then the four latencies.
    std::vector<std::vector<std::string>> table;
    table.push_back({"Name", "Side", "Count", "Share", "Min", "Median", "P95", "Max"});
    const auto latencyCells = [](std::vector<std::string>& cells, const LatencyHistogram& l) {
        const std::optional<Summary> s = Summarize(l);
        for (const std::uint32_t ms :
             {s ? s->min : 0, s ? s->median : 0, s ? s->p95 : 0, s ? s->max : 0}) {
            cells.push_back(s ? Number(ms) : "-");
        }
    };
    for (const Row& row : rows) {
        std::vector<std::string> cells{row.label, SideName(row.name->fromDevice),
                                       Number(row.name->count),
                                       Fixed(100.0 * Share(statistics, row.name->count), 1) + "%"};
        latencyCells(cells, row.name->latency);
        table.push_back(std::move(cells));
    }
    std::vector<std::string> all{"All replies", "deck", Number(statistics.replyLatency().count()),
                                 ""};
    latencyCells(all, statistics.replyLatency());
    table.push_back(std::move(all));

    std::vector<std::size_t> widths(table.front().size(), 0);
    for (const auto& cells : table) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            widths[c] = std::max(widths[c], cells[c].size());
        }
    }
    for (const auto& cells : table) {
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (c > 0) line += "  ";
            line += Pad(cells[c], widths[c], c >= 2);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += Windows1252ToUtf8(line) + '\n';
    }
    out +=
        "Latencies in ms, from a command's last byte to its reply's first; a command shows "
        "those of its replies.\n\nVerdicts\n";

    std::size_t labelWidth = 0;
    for (int k = 0; k < kVerdictKindCount; ++k) {
        labelWidth = std::max(labelWidth, std::string_view(VerdictKindName(Kind(k))).size());
    }
    const std::vector<int> nakBits = NakBits(statistics);
    for (const int bit : nakBits) labelWidth = std::max(labelWidth, NakReasonLabel(bit).size());
    for (int k = 0; k < kVerdictKindCount; ++k) {
        out += "  " + Pad(VerdictKindName(Kind(k)), labelWidth, false) + "  " +
               Number(statistics.VerdictCount(Kind(k))) + '\n';
    }
    out += "NAK reasons\n";
    for (const int bit : nakBits) {
        out += "  " + Pad(NakReasonLabel(bit), labelWidth, false) + "  " +
               Number(statistics.NakReasonCount(bit)) + '\n';
    }
    return out;
}

std::string LineStatisticsCsv(const LineStatistics& statistics) {
    std::string out =
        "kind,name,side,count,share,latency_min_ms,latency_median_ms,latency_p95_ms,"
        "latency_max_ms\n";
    const auto row = [&out](std::string_view kind, std::string_view utf8Name, std::string_view side,
                            const std::string& count, const std::string& share,
                            const LatencyHistogram* latency) {
        out += std::string(kind) + ',' + CsvField(utf8Name) + ',' + std::string(side) + ',' +
               count + ',' + share;
        const std::optional<Summary> s = latency ? Summarize(*latency) : std::nullopt;
        for (const std::uint32_t ms :
             {s ? s->min : 0, s ? s->median : 0, s ? s->p95 : 0, s ? s->max : 0}) {
            out += ',';
            if (s) AppendNumber(out, ms);
        }
        out += '\n';
    };
    row("summary", "packets", "", Number(statistics.packetCount()), "", nullptr);
    row("summary", "duration ms", "", Number(static_cast<std::uint64_t>(statistics.durationMs())),
        "", nullptr);
    row("summary", "polls", "", Number(statistics.pollCount()), "", nullptr);
    row("summary", "polls per second", "", Fixed(statistics.PollsPerSecond(), 3), "", nullptr);
    row("summary", "lost messages", "", Number(statistics.lostMessages()), "", nullptr);
    for (const Row& r : Rows(statistics)) {
        row("packet", Windows1252ToUtf8(r.label), SideName(r.name->fromDevice),
            Number(r.name->count), Fixed(Share(statistics, r.name->count), 4), &r.name->latency);
    }
    row("replies", "all replies", "deck", Number(statistics.replyLatency().count()), "",
        &statistics.replyLatency());
    for (int k = 0; k < kVerdictKindCount; ++k) {
        row("verdict", VerdictKindName(Kind(k)), "", Number(statistics.VerdictCount(Kind(k))), "",
            nullptr);
    }
    for (const int bit : NakBits(statistics)) {
        row("nak", NakReasonLabel(bit), "", Number(statistics.NakReasonCount(bit)), "", nullptr);
    }
    return out;
}

namespace {

void AppendLatencyJson(std::string& out, const LatencyHistogram& latency) {
    const std::optional<Summary> s = Summarize(latency);
    if (!s) {
        out += "null";
        return;
    }
    out += "{\"min\":" + Number(s->min) + ",\"median\":" + Number(s->median) +
           ",\"p95\":" + Number(s->p95) + ",\"max\":" + Number(s->max) + '}';
}

}  // namespace

std::string LineStatisticsJson(const LineStatistics& statistics) {
    std::string out = "{\"packets\":" + Number(statistics.packetCount()) + ",\"duration_ms\":" +
                      Number(static_cast<std::uint64_t>(statistics.durationMs())) +
                      ",\"polls\":" + Number(statistics.pollCount()) +
                      ",\"polls_per_second\":" + Fixed(statistics.PollsPerSecond(), 3) +
                      ",\"lost_messages\":" + Number(statistics.lostMessages()) + ",\"commands\":{";
    bool first = true;
    for (const Row& row : Rows(statistics)) {
        if (!std::exchange(first, false)) out += ',';
        AppendJsonString(out, row.label);
        out += ":{\"side\":\"" + std::string(SideName(row.name->fromDevice)) +
               "\",\"count\":" + Number(row.name->count) +
               ",\"share\":" + Fixed(Share(statistics, row.name->count), 4) + ",\"latency_ms\":";
        AppendLatencyJson(out, row.name->latency);
        out += '}';
    }
    out += "},\"latency_ms\":";
    AppendLatencyJson(out, statistics.replyLatency());

    out += ",\"verdicts\":{";
    for (int k = 0; k < kVerdictKindCount; ++k) {
        if (k > 0) out += ',';
        AppendJsonString(out, VerdictKindName(Kind(k)));
        out += ':' + Number(statistics.VerdictCount(Kind(k)));
    }
    out += "},\"naks\":{";
    first = true;
    for (const int bit : NakBits(statistics)) {
        if (!std::exchange(first, false)) out += ',';
        AppendJsonString(out, NakReasonLabel(bit));
        out += ':' + Number(statistics.NakReasonCount(bit));
    }

    out += "},\"latency_histogram\":[";
    const LatencyHistogram& all = statistics.replyLatency();
    first = true;
    const auto bin = [&](std::uint32_t ms, std::uint64_t count) {
        if (count == 0) return;
        if (!std::exchange(first, false)) out += ',';
        out += '[' + Number(ms) + ',' + Number(count) + ']';
    };
    for (std::uint32_t ms = 0; ms < LatencyHistogram::kBinCount; ++ms) bin(ms, all.BinCount(ms));
    for (const auto& [ms, count] : all.overflow()) bin(ms, count);

    const LatencyTimeline& timeline = statistics.latencyOverTime();
    out += "],\"latency_over_time\":{\"bucket_ms\":" +
           Number(static_cast<std::uint64_t>(timeline.bucketMs())) + ",\"points\":[";
    first = true;
    for (const LatencyPoint& point : timeline.Points()) {
        if (!std::exchange(first, false)) out += ',';
        out += "{\"start_ms\":" + Number(static_cast<std::uint64_t>(point.startMs)) +
               ",\"count\":" + Number(point.count) + ",\"min\":" + Number(point.min) +
               ",\"median\":" + Number(point.median) + ",\"max\":" + Number(point.max) + '}';
    }
    out += "]}}\n";
    return out;
}

}  // namespace orvane
