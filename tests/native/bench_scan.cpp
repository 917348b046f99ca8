// Throughput and memory of the kind scan on large MQL4-like sources.
//   bench_scan generate <path> <MiB>   writes a deterministic source of about that size
//   bench_scan scan <path>             scans it and reports kind, MiB/s and peak RSS
#include "terminal/KindScanner.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr std::size_t kReadSize = 64 * 1024;

class FdSource : public terminal::ByteSource {
public:
    explicit FdSource(int fd) : fd_(fd) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, size < kReadSize ? size : kReadSize);
            if (got >= 0) {
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) {
                throw std::runtime_error(std::string("read: ") + std::strerror(errno));
            }
        }
    }

private:
    int fd_;
};

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Fixed-seed generator, so every run writes the same bytes.
class Lcg {
public:
    unsigned Next(unsigned bound) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<unsigned>((state_ >> 33) % bound);
    }

private:
    unsigned long long state_ = 0x5441525645ull;
};

void AppendF(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void AppendF(std::string& out, const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n > 0) {
        out.append(line, std::min(static_cast<std::size_t>(n), sizeof line - 1));
    }
}

// One block of plausible code; no marker texts, so only the closing one decides the kind.
void AppendBlock(std::string& out, unsigned i, Lcg& lcg) {
    static const char* const kModes[] = {"MODE_SMA", "MODE_EMA", "MODE_SMMA", "MODE_LWMA"};
    static const char* const kPrices[] = {"PRICE_CLOSE", "PRICE_OPEN", "PRICE_HIGH",
                                          "PRICE_MEDIAN"};
    const unsigned fast = 5 + lcg.Next(20), slow = fast + 5 + lcg.Next(40);
    AppendF(out,
            "//+------------------------------------------------------------------+\n"
            "//| Signal block %u, generated for the scan benchmark                |\n"
            "//+------------------------------------------------------------------+\n",
            i);
    AppendF(out,
            "#property copyright \"Copyright 2024, Example Traders, Ltd.\"\n"
            "#property link      \"https://www.example.com/%u\"\n"
            "#property version   \"1.%02u\"\n"
            "#property strict\n",
            i, i % 100);
    AppendF(out, "input int    FastPeriod%u = %u;   // fast MA period, bars\n", i, fast);
    AppendF(out, "input int    SlowPeriod%u = %u;   // slow MA period, bars\n", i, slow);
    AppendF(out, "input double Lots%u = 0.%02u;\n", i, 1 + lcg.Next(99));
    AppendF(out, "extern string OrderComment%u = \"block %u, entry, exit\";\n", i, i);
    AppendF(out, "double Buffer%u[], Signal%u[];\n\n", i, i);
    AppendF(out, "double Cross%u(int shift, int period)\n  {\n", i);
    AppendF(out, "   double fast = iMA(NULL,0,14,0,MODE_SMA,PRICE_CLOSE,shift);\n");
    AppendF(out, "   double slow = iMA(NULL, 0, period, 0, %s, %s, shift + 1);\n",
            kModes[lcg.Next(4)], kPrices[lcg.Next(4)]);
    AppendF(out, "   /* the gap, scaled to the point size */\n");
    AppendF(out, "   if(fast > slow && Volume[shift] > %u)\n", 100 + lcg.Next(900));
    AppendF(out, "      return(NormalizeDouble((fast - slow) / Point, Digits));\n");
    AppendF(out, "   Print(\"cross %u at \", shift, \": \", DoubleToString(fast, 5),\n", i);
    AppendF(out, "         \"  slow, \", DoubleToString(slow, 5));\n");
    AppendF(out, "   return(0.0);\n  }\n\n");
    AppendF(out, "int Orders%u(int magic)\n  {\n   int count = 0;\n", i);
    AppendF(out, "   for(int k = OrdersTotal() - 1; k >= 0; k--)\n");
    AppendF(out, "      if(OrderSelect(k, SELECT_BY_POS, MODE_TRADES) && OrderMagicNumber() == "
                 "magic)\n");
    AppendF(out, "         count++;\n");
    AppendF(out, "   string note = StringFormat(\"%%d orders, magic %%d\", count, magic);\n");
    AppendF(out, "   Comment(note);   // shown on the chart\n   return(count);\n  }\n\n");
}

int Generate(const char* path, long mib) {
    const std::size_t target = static_cast<std::size_t>(mib) * 1024 * 1024;
    const std::string temporary = std::string(path) + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        std::perror(temporary.c_str());
        return 1;
    }
    const char* const kTail = "#property indicator_separate_window\n"
                              "int OnInit()\n  {\n   return(INIT_SUCCEEDED);\n  }\n";
    Lcg lcg;
    std::string out;
    std::size_t written = 0;
    unsigned block = 0;
    for (;;) {
        out.clear();
        while (out.size() < (1u << 20)) {
            AppendBlock(out, block++, lcg);
        }
        if (written + out.size() + std::strlen(kTail) >= target) {
            break;
        }
        std::fwrite(out.data(), 1, out.size(), file);
        written += out.size();
    }
    // Fill up to the size with whole blocks, then the one marker.
    out.clear();
    while (written + out.size() + 2048 + std::strlen(kTail) < target) {
        AppendBlock(out, block++, lcg);
    }
    out += kTail;
    std::fwrite(out.data(), 1, out.size(), file);
    if (std::fclose(file) != 0 || std::rename(temporary.c_str(), path) != 0) {
        std::perror(path);
        return 1;
    }
    return 0;
}

int Scan(const char* path) {
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0) {
        std::perror(path);
        return 1;
    }
    const off_t bytes = ::lseek(fd, 0, SEEK_END);
    ::lseek(fd, 0, SEEK_SET);
    FdSource source(fd);
    const double start = Now();
    const terminal::KindCode kind = terminal::ScanKind(source);
    const double seconds = Now() - start;
    ::close(fd);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double mib = static_cast<double>(bytes) / (1024.0 * 1024.0);
    std::printf("kind=%s size_mib=%.2f seconds=%.4f mib_per_s=%.1f peak_rss_kib=%ld\n",
                terminal::KindText(kind), mib, seconds, mib / seconds, usage.ru_maxrss);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 4 && std::strcmp(argv[1], "generate") == 0) {
            const long mib = std::strtol(argv[3], nullptr, 10);
            if (mib > 0) {
                return Generate(argv[2], mib);
            }
        }
        if (argc == 3 && std::strcmp(argv[1], "scan") == 0) {
            return Scan(argv[2]);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_scan: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: bench_scan generate <path> <MiB>\n"
                         "       bench_scan scan <path>\n");
    return 2;
}
