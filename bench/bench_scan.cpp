// Throughput and memory of the kind scans on large MQL4-like and MQL5-like sources.
//   bench_scan generate <path> <MiB>   writes a deterministic source of about that size
//   bench_scan scan <path>             scans it and reports kind, MiB/s and peak RSS
// A path ending in .mq5 is MQL5, read for its handlers; any other is MQL4.
#include "terminal/KindScanner.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class FdSource : public terminal::ByteSource {
public:
    explicit FdSource(int fd) : fd_(fd) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            // As much as the scan asks for, as the program's reader does.
            const ssize_t got = ::read(fd_, buffer, size);
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

// Plausible code with the commas, quotes, '#' and '_' of real sources but no marker, so
// only the closing line decides the kind.
constexpr const char kBlock[] =
    "//+------------------------------------------------------------------+\n"
    "//| Signal block, generated for the scan benchmark                   |\n"
    "//+------------------------------------------------------------------+\n"
    "#property copyright \"Copyright 2024, Example Traders, Ltd.\"\n"
    "#property link      \"https://www.example.com/\"\n"
    "#property strict\n"
    "input int    FastPeriod = 12;   // fast MA period, bars\n"
    "input double Lots = 0.10;\n"
    "extern string OrderComment = \"entry, exit\";\n"
    "double Buffer[], Signal[];\n\n"
    "double Cross(int shift, int period)\n  {\n"
    "   double fast = iMA(NULL,0,14,0,MODE_SMA,PRICE_CLOSE,shift);\n"
    "   double slow = iMA(NULL, 0, period, 0, MODE_EMA, PRICE_MEDIAN, shift + 1);\n"
    "   /* the gap, scaled to the point size */\n"
    "   if(fast > slow && Volume[shift] > 250)\n"
    "      return(NormalizeDouble((fast - slow) / Point, Digits));\n"
    "   Print(\"cross at \", shift, \": \", DoubleToString(fast, 5),\n"
    "         \"  slow, \", DoubleToString(slow, 5));\n"
    "   return(0.0);\n  }\n\n"
    "int Orders(int magic)\n  {\n   int count = 0;\n"
    "   for(int k = OrdersTotal() - 1; k >= 0; k--)\n"
    "      if(OrderSelect(k, SELECT_BY_POS, MODE_TRADES) && OrderMagicNumber() == magic)\n"
    "         count++;\n"
    "   Comment(StringFormat(\"%d orders, magic %d\", count, magic));\n"
    "   return(count);\n  }\n\n";
constexpr const char kTail[] = "#property indicator_separate_window\n";

// The same for MQL5: comments, literals and the 'O' of many names, the handlers' names only
// in comments and strings, and the one that decides at the end.
constexpr const char kBlock5[] =
    "//+------------------------------------------------------------------+\n"
    "//| Trade block, generated for the scan benchmark; not an OnStart     |\n"
    "//+------------------------------------------------------------------+\n"
    "#property copyright \"Copyright 2024, Example Traders, Ltd.\"\n"
    "#property link      \"https://www.example.com/\"\n"
    "#property version   \"1.00\"\n"
    "#include <Trade\\Trade.mqh>\n"
    "input int    FastPeriod = 12;   // fast MA period, bars\n"
    "input double Lots = 0.10;\n"
    "input string OrderComment = \"entry, exit\";\n"
    "CTrade trade;\n"
    "int    handleFast = INVALID_HANDLE, handleSlow = INVALID_HANDLE;\n\n"
    "/* The gap between the averages in points, as OnCalculate would\n"
    "   draw it bar by bar. */\n"
    "double Gap(const int shift)\n  {\n"
    "   double fast[1], slow[1];\n"
    "   if(CopyBuffer(handleFast, 0, shift, 1, fast) != 1 ||\n"
    "      CopyBuffer(handleSlow, 0, shift, 1, slow) != 1)\n"
    "      return(0.0);\n"
    "   return((fast[0] - slow[0]) / _Point);\n  }\n\n"
    "void OnTick()\n  {\n"
    "   const ushort sep = ';', quote = '\\'';\n"
    "   MqlTick tick;\n"
    "   if(!SymbolInfoTick(_Symbol, tick) || OrdersTotal() > 0)\n"
    "      return;\n"
    "   if(Gap(1) > 0 && PositionsTotal() == 0 && OBJ_LABEL != ORDER_TYPE_BUY)\n"
    "      trade.Buy(Lots, _Symbol, tick.ask, 0.0, 0.0, OrderComment);\n"
    "   PrintFormat(\"tick at %s: bid %.5f, ask %.5f%c\", TimeToString(tick.time), tick.bid,\n"
    "               tick.ask, sep);\n"
    "   Comment(StringFormat(\"\\\"%s\\\" OnStart: %d\", _Symbol, OrdersTotal()));\n"
    "  }\n\n";
constexpr const char kTail5[] =
    "int OnCalculate(const int total, const int prev, const int begin, const double &price[])\n"
    "  {\n   return(total);\n  }\n";

bool IsMql5(const std::string& path) {
    return path.size() >= 4 && path.compare(path.size() - 4, 4, ".mq5") == 0;
}

int Generate(const char* path, long mib) {
    const std::size_t target = static_cast<std::size_t>(mib) * 1024 * 1024;
    const std::string temporary = std::string(path) + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        std::perror(temporary.c_str());
        return 1;
    }
    const bool mql5 = IsMql5(path);
    const std::string tail = mql5 ? kTail5 : kTail;
    std::string chunk;
    while (chunk.size() < (std::size_t{1} << 20)) {
        chunk += mql5 ? kBlock5 : kBlock;
    }
    std::size_t written = 0;
    while (written + chunk.size() + tail.size() <= target) {
        std::fwrite(chunk.data(), 1, chunk.size(), file);
        written += chunk.size();
    }
    std::fputs(tail.c_str(), file);
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
    const terminal::KindCode kind =
        IsMql5(path) ? terminal::ScanHandlers(source) : terminal::ScanKind(source);
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
