// Speed of the tally file's coder beside memcpy, zlib level 1 and LZ4, on a
// small tally grid and on 10 MiB of English-like text. Prints Google
// Benchmark's table, then a summary with MB/s, ratios and the goals:
// on the text, compression at least 0.4x and decompression at least 0.2x as
// fast as LZ4; on the grid, under 5 microseconds each way.

#include "stats/lzrw1container.h"

#include <benchmark/benchmark.h>
#include <lz4.h>
#include <zlib.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = QByteArray;

// The tally grid's text: the column count, the row count, then every cell
// on its own line, column by column (names first, then counts).
Bytes makeTallyGrid(int opponents)
{
    static const char *const names[] = {"Ann",  "Bob",    "Computer 1", "Computer 2", "Dora",
                                        "Emil", "Fatima", "Gus",        "Hanne",      "Ivo"};
    std::mt19937 rng(2024);
    const int rows = 1 + opponents;
    std::string text = "9\r\n" + std::to_string(rows) + "\r\n";
    for (int column = 0; column < 9; ++column) {
        for (int row = 0; row < rows; ++row) {
            if (column == 0)
                text += std::string(names[row % std::size(names)]) + std::to_string(row);
            else if (column >= 5 && row == 0)
                text += "0";
            else
                text += std::to_string(rng() % (column <= 4 ? 4000 : 40));
            text += "\r\n";
        }
    }
    return Bytes::fromStdString(text);
}

// Sentences from a vocabulary with a skewed word frequency, like prose.
Bytes makeEnglishText(std::size_t size)
{
    static const char *const words[] = {
        "the",       "of",        "and",       "to",        "a",          "in",       "is",
        "it",        "that",      "was",       "for",       "on",         "with",     "he",
        "as",        "you",       "at",        "be",        "this",       "have",     "from",
        "or",        "one",       "had",       "by",        "word",       "but",      "not",
        "what",      "all",       "were",      "we",        "when",       "your",     "can",
        "said",      "there",     "use",       "an",        "each",       "which",    "she",
        "do",        "how",       "their",     "if",        "will",       "up",       "other",
        "about",     "out",       "many",      "then",      "them",       "these",    "so",
        "some",      "her",       "would",     "make",      "like",       "him",      "into",
        "time",      "has",       "look",      "two",       "more",       "write",    "go",
        "see",       "number",    "no",        "way",       "could",      "people",   "my",
        "than",      "first",     "water",     "been",      "call",       "who",      "oil",
        "its",       "now",       "find",      "long",      "down",       "day",      "did",
        "get",       "come",      "made",      "may",       "part",       "table",    "card",
        "pile",      "money",     "player",    "round",     "game",       "king",     "winter",
        "harbour",   "letter",    "morning",   "garden",    "window",     "friend",   "journey",
        "remember",  "question",  "certain",   "together",  "children",   "mountain", "possible",
        "different", "important", "something", "beautiful", "understand", "afternoon"};
    constexpr int count = int(std::size(words));
    std::mt19937 rng(1977);
    // Low indices are far more common, as short words are in English.
    std::discrete_distribution<int> pick = [] {
        std::vector<double> weights;
        for (int i = 0; i < count; ++i)
            weights.push_back(1.0 / (i + 2));
        return std::discrete_distribution<int>(weights.begin(), weights.end());
    }();
    std::string text;
    text.reserve(size + 64);
    int inSentence = 0;
    int inLine = 0;
    while (text.size() < size) {
        std::string word = words[pick(rng)];
        if (inSentence == 0)
            word[0] = char(std::toupper(static_cast<unsigned char>(word[0])));
        text += word;
        inLine += int(word.size()) + 1;
        ++inSentence;
        if (inSentence > 4 && rng() % 9 == 0) {
            text += rng() % 5 == 0 ? "," : ".";
            if (text.back() == '.')
                inSentence = 0;
        }
        if (inLine > 70) {
            text += rng() % 12 == 0 ? "\n\n" : "\n";
            inLine = 0;
        } else {
            text += ' ';
        }
    }
    text.resize(size);
    return Bytes::fromStdString(text);
}

// One way to code a buffer. Encoders write into `out` and return the coded
// length; decoders restore `original` bytes into `out`.
struct Codec
{
    const char *name;
    std::function<std::size_t(const Bytes &in, Bytes &out)> encode;
    std::function<std::size_t(const Bytes &in, std::size_t coded, std::size_t original, Bytes &out)>
        decode;
};

std::vector<Codec> codecs()
{
    return {
        {"memcpy",
         [](const Bytes &in, Bytes &out) {
             out.resize(in.size());
             std::memcpy(out.data(), in.data(), in.size());
             return std::size_t(in.size());
         },
         [](const Bytes &in, std::size_t coded, std::size_t, Bytes &out) {
             out.resize(coded);
             std::memcpy(out.data(), in.data(), coded);
             return coded;
         }},
        {"lzrw1",
         [](const Bytes &in, Bytes &out) {
             out = lzrw1::compress(in);
             return std::size_t(out.size());
         },
         [](const Bytes &in, std::size_t coded, std::size_t, Bytes &out) {
             out = lzrw1::decompress(QByteArrayView(in.data(), qsizetype(coded)));
             return std::size_t(out.size());
         }},
        {"zlib-1",
         [](const Bytes &in, Bytes &out) {
             uLongf length = compressBound(uLong(in.size()));
             out.resize(length);
             compress2(reinterpret_cast<Bytef *>(out.data()), &length,
                       reinterpret_cast<const Bytef *>(in.data()), uLong(in.size()), 1);
             return std::size_t(length);
         },
         [](const Bytes &in, std::size_t coded, std::size_t original, Bytes &out) {
             out.resize(original);
             uLongf length = uLongf(original);
             uncompress(reinterpret_cast<Bytef *>(out.data()), &length,
                        reinterpret_cast<const Bytef *>(in.data()), uLong(coded));
             return std::size_t(length);
         }},
        {"lz4",
         [](const Bytes &in, Bytes &out) {
             out.resize(qsizetype(LZ4_compressBound(int(in.size()))));
             return std::size_t(
                 LZ4_compress_default(in.data(), out.data(), int(in.size()), int(out.size())));
         },
         [](const Bytes &in, std::size_t coded, std::size_t original, Bytes &out) {
             out.resize(original);
             return std::size_t(
                 LZ4_decompress_safe(in.data(), out.data(), int(coded), int(original)));
         }},
    };
}

// The lzrw1 entries return fresh arrays like the game's callers get them;
// the other codecs write into a buffer kept across iterations, which only
// flatters them.

struct Figures
{
    double seconds = 0; // processor time per call
    double ratio = 0;
};
std::map<std::string, Figures> g_figures; // "data/codec/direction"

class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    SummaryReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            // Processor time, like the table's bytes_per_second: the build
            // machines are shared, and wall time there mostly measures the
            // neighbours.
            g_figures[run.benchmark_name()].seconds =
                run.cpu_accumulated_time / double(run.iterations);
        }
    }
};

void registerCodec(const std::string &dataName, const Bytes &data, const Codec &codec)
{
    Bytes coded;
    const std::size_t codedSize = codec.encode(data, coded);
    Bytes back;
    if (codec.decode(coded, codedSize, std::size_t(data.size()), back) !=
            std::size_t(data.size()) ||
        back.left(data.size()) != data) {
        std::fprintf(stderr, "%s does not restore %s\n", codec.name, dataName.c_str());
        std::exit(1);
    }
    const double ratio = double(codedSize) / double(data.size());
    const bool small = data.size() < 100000;
    const std::string base = dataName + "/" + codec.name;

    auto *enc = benchmark::RegisterBenchmark(
        (base + "/compress").c_str(), [&data, codec, ratio](benchmark::State &state) {
            Bytes out;
            for (auto _ : state) {
                benchmark::DoNotOptimize(codec.encode(data, out));
                benchmark::ClobberMemory();
            }
            state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
            state.counters["ratio"] = ratio;
        });
    auto *dec = benchmark::RegisterBenchmark(
        (base + "/decompress").c_str(),
        [&data, codec, coded, codedSize, ratio](benchmark::State &state) {
            Bytes out;
            for (auto _ : state) {
                benchmark::DoNotOptimize(
                    codec.decode(coded, codedSize, std::size_t(data.size()), out));
                benchmark::ClobberMemory();
            }
            state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
            state.counters["ratio"] = ratio;
        });
    for (auto *b : {enc, dec})
        b->Unit(small ? benchmark::kMicrosecond : benchmark::kMillisecond);
    g_figures[base + "/compress"].ratio = ratio;
    g_figures[base + "/decompress"].ratio = ratio;
}

void printSummary(const std::string &dataName, std::size_t size)
{
    std::printf("\n%s (%zu bytes)\n", dataName.c_str(), size);
    std::printf("  %-8s %9s %12s %12s %12s %12s\n", "codec", "ratio", "comp MB/s", "decomp MB/s",
                "comp us", "decomp us");
    for (const char *codec : {"memcpy", "lzrw1", "zlib-1", "lz4"}) {
        const std::string base = dataName + "/" + codec;
        const Figures &c = g_figures[base + "/compress"];
        const Figures &d = g_figures[base + "/decompress"];
        if (c.seconds <= 0 || d.seconds <= 0)
            continue;
        std::printf("  %-8s %9.3f %12.1f %12.1f %12.2f %12.2f\n", codec, c.ratio,
                    double(size) / c.seconds / 1e6, double(size) / d.seconds / 1e6, c.seconds * 1e6,
                    d.seconds * 1e6);
    }
}

} // namespace

int main(int argc, char **argv)
{
    const Bytes grid = makeTallyGrid(43);
    const Bytes text = makeEnglishText(10u << 20);
    const std::vector<Codec> all = codecs();
    for (const Codec &codec : all) {
        registerCodec("grid", grid, codec);
        registerCodec("text", text, codec);
    }

    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    printSummary("grid", std::size_t(grid.size()));
    printSummary("text", std::size_t(text.size()));

    const auto seconds = [](const char *name) { return g_figures[name].seconds; };
    const double lz4Comp = seconds("text/lz4/compress");
    const double lz4Decomp = seconds("text/lz4/decompress");
    const double comp = seconds("text/lzrw1/compress");
    const double decomp = seconds("text/lzrw1/decompress");
    const double gridComp = seconds("grid/lzrw1/compress");
    const double gridDecomp = seconds("grid/lzrw1/decompress");
    if (comp <= 0 || decomp <= 0 || lz4Comp <= 0 || lz4Decomp <= 0 || gridComp <= 0 ||
        gridDecomp <= 0) {
        std::printf("\n(goals not checked: a filter left out some of the runs)\n");
        return 0;
    }
    const auto verdict = [](bool met) { return met ? "met" : "MISSED"; };
    std::printf("\nGoals\n");
    std::printf("  text compression   %.2fx LZ4 (goal >= 0.40x): %s\n", lz4Comp / comp,
                verdict(lz4Comp / comp >= 0.4));
    std::printf("  text decompression %.2fx LZ4 (goal >= 0.20x): %s\n", lz4Decomp / decomp,
                verdict(lz4Decomp / decomp >= 0.2));
    std::printf("  grid compression   %.2f us (goal < 5 us): %s\n", gridComp * 1e6,
                verdict(gridComp < 5e-6));
    std::printf("  grid decompression %.2f us (goal < 5 us): %s\n", gridDecomp * 1e6,
                verdict(gridDecomp < 5e-6));
    return 0;
}
