#include "Summary.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace prvc03::bench {

namespace {

std::vector<SummaryRow>& Rows() {
    static std::vector<SummaryRow> rows;
    return rows;
}

std::vector<std::string>& Notes() {
    static std::vector<std::string> notes;
    return notes;
}

std::string Format(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// Display width of UTF-8 text: CJK characters take two columns.
std::size_t Width(const std::string& text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        char32_t code = byte;
        if (byte >= 0xF0) {
            length = 4;
            code = byte & 0x07;
        } else if (byte >= 0xE0) {
            length = 3;
            code = byte & 0x0F;
        } else if (byte >= 0xC0) {
            length = 2;
            code = byte & 0x1F;
        }
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        const bool wide = (code >= 0x1100 && code <= 0x115F) ||
                          (code >= 0x2E80 && code <= 0xA4CF) ||
                          (code >= 0xAC00 && code <= 0xD7A3) ||
                          (code >= 0xF900 && code <= 0xFAFF) || (code >= 0xFF00 && code <= 0xFF60);
        width += wide ? 2 : 1;
        i += length;
    }
    return width;
}

std::string Pad(const std::string& text, std::size_t width) {
    const std::size_t w = Width(text);
    return text + std::string(w < width ? width - w : 0, ' ');
}

}  // namespace

int Repetitions() {
    const char* text = std::getenv("PRVC03_BENCH_REPS");
    const int reps = text != nullptr ? std::atoi(text) : 5;
    return std::max(reps, 5);
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

std::vector<double> Interleaved(const std::vector<std::function<double()>>& actions, bool warmUp,
                                int minimumReps) {
    if (warmUp) {
        for (const auto& action : actions) {
            action();
        }
    }
    std::vector<std::vector<double>> samples(actions.size());
    const int reps = std::max(Repetitions(), minimumReps);
    for (int round = 0; round < reps; ++round) {
        for (std::size_t k = 0; k < actions.size(); ++k) {
            const std::size_t i = round % 2 == 0 ? k : actions.size() - 1 - k;
            samples[i].push_back(actions[i]());
        }
    }
    std::vector<double> medians;
    for (auto& s : samples) {
        medians.push_back(Median(std::move(s)));
    }
    return medians;
}

std::string Ms(double seconds) {
    const double ms = seconds * 1e3;
    return Format(ms < 0.1 ? "%.4f ms" : ms < 10 ? "%.3f ms" : "%.1f ms", ms);
}

std::string Bytes(double bytes) {
    return Format("%.1f B", bytes);
}

std::string Count(double count) {
    return Format("%.0f", count);
}

std::string Ratio(double ratio) {
    return Format("%.2fx", ratio);
}

std::string RowsLabel(int rows) {
    if (rows >= 1000000 && rows % 1000000 == 0) {
        return std::to_string(rows / 1000000) + "M rows";
    }
    if (rows >= 1000 && rows % 1000 == 0) {
        return std::to_string(rows / 1000) + "k rows";
    }
    return std::to_string(rows) + " rows";
}

void AddSummaryRow(SummaryRow row) {
    Rows().push_back(std::move(row));
}

void AddSummaryNote(std::string note) {
    Notes().push_back(std::move(note));
}

int PrintSummary() {
    const std::vector<std::string> head = {"measure", "size", "figure", "baseline (same run)",
                                           "ratio",   "goal", "met"};
    std::vector<std::vector<std::string>> table;
    int missed = 0;
    for (const SummaryRow& r : Rows()) {
        table.push_back({r.measure, r.size, r.figure, r.baseline, r.ratio, r.goal,
                         r.reported ? "-"
                         : r.met    ? "yes"
                                    : "NO"});
        missed += r.reported || r.met ? 0 : 1;
    }
    std::vector<std::size_t> widths(head.size());
    for (std::size_t c = 0; c < head.size(); ++c) {
        widths[c] = Width(head[c]);
        for (const auto& line : table) {
            widths[c] = std::max(widths[c], Width(line[c]));
        }
    }
    std::ostringstream out;
    auto printLine = [&](const std::vector<std::string>& cells) {
        out << "|";
        for (std::size_t c = 0; c < cells.size(); ++c) {
            out << " " << Pad(cells[c], widths[c]) << " |";
        }
        out << "\n";
    };
    out << "\nSummary (median of " << Repetitions()
        << " interleaved repetitions, more for the short server cases)\n";
    printLine(head);
    std::vector<std::string> rule;
    for (std::size_t w : widths) {
        rule.push_back(std::string(w, '-'));
    }
    printLine(rule);
    for (const auto& line : table) {
        printLine(line);
    }
    for (const std::string& note : Notes()) {
        out << "Note: " << note << "\n";
    }
    out << (missed == 0 ? "Every goal met.\n" : std::to_string(missed) + " goal(s) not met.\n");
    std::cout << out.str() << std::flush;
    return missed;
}

}  // namespace prvc03::bench
