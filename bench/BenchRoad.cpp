// Times the install road under Wine, in one session:
// - the whole road (copy, compile through compile.bat; tell off, compile only) beside a bare
//   program that only runs the same batch file, and beside that bare program when it first
//   makes a hidden window of twelve controls, with and without the common controls: what any
//   program with Tarvex's window pays;
// - the kind scan: the road on large sources already in their kind folder, over a small
//   one, with the peak working set.
//   bench_road <runs> <16 MiB source> <256 MiB source>
#include "Support.h"
#include "sys/Handles.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using testing_support::BuildFolder;
using testing_support::Wide;

struct Run {
    double milliseconds;
    double peakWorkingSetMiB;
};

// One program run from start to exit; its working set is sampled while it runs, since an
// ended process has none to ask for.
Run TimeRun(const std::string& exe, const std::string& arguments) {
    std::wstring commandLine = Wide("\"" + exe + "\" " + arguments);
    // As a script that reads nothing starts it: a run of its own, its lines to the NUL device.
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const sys::unique_hfile discard(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherited,
                                                OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = discard.get();
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency;
    LARGE_INTEGER begin;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start %s\n", exe.c_str());
        std::exit(1);
    }
    SIZE_T peak = 0;
    while (WaitForSingleObject(process.hProcess, 2) == WAIT_TIMEOUT) {
        PROCESS_MEMORY_COUNTERS counters{};
        if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters)) {
            peak = std::max(peak, counters.PeakWorkingSetSize);
        }
    }
    QueryPerformanceCounter(&end);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
                static_cast<double>(frequency.QuadPart),
            static_cast<double>(peak) / (1024.0 * 1024.0)};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Print(const char* what, const std::vector<double>& times) {
    std::printf("  %-48s median %7.1f ms   best %7.1f ms\n", what, Median(times),
                *std::min_element(times.begin(), times.end()));
}

// The large sources are linked into the kind folder rather than copied.
void Place(const std::string& from, const std::string& to) {
    if (!CreateHardLinkW(Wide(to).c_str(), Wide(from).c_str(), nullptr) &&
        !CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE)) {
        std::fprintf(stderr, "cannot place %s\n", from.c_str());
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_road <runs> <16 MiB source> <256 MiB source>\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    testing_support::StandInTerminal mt;
    testing_support::TempFolder sources;
    const std::string tarvex = BuildFolder() + "\\Tarvex.exe";
    const std::string bare = BuildFolder() + "\\bare_road.exe";
    for (const auto& [name, value] : {std::pair{"op", "2"}, {"del", "0"}, {"tell", "0"}}) {
        testing_support::SetText(HKEY_CURRENT_USER, "Software\\MetaQuotes Software\\brenholt", name,
                                 value);
    }

    const std::string source = sources / "Bench EA.mq4";
    testing_support::WriteBytes(source, "#property copyright \"Brenholt\"\r\nint start(){}\r\n");
    const std::string installed = mt.KindFolder("Expert Advisor") + "\\Bench EA.mq4";
    const std::string batch =
        "cd /d \"" + mt.Path() + "\"\r\nmetalang -q \"" + installed + "\"\r\n";
    std::vector<double> road;
    std::vector<double> bareRoad;
    std::vector<double> windowRoad;
    std::vector<double> controlsRoad;
    TimeRun(tarvex, "\"" + source + "\""); // warm the caches
    for (int i = 0; i < runs; ++i) {
        DeleteFileW(Wide(installed).c_str());
        road.push_back(TimeRun(tarvex, "\"" + source + "\"").milliseconds);
        testing_support::WriteBytes(mt.Path() + "\\compile.bat", batch);
        bareRoad.push_back(TimeRun(bare, "\"" + mt.Path() + "\"").milliseconds);
        testing_support::WriteBytes(mt.Path() + "\\compile.bat", batch);
        windowRoad.push_back(TimeRun(bare, "--window \"" + mt.Path() + "\"").milliseconds);
        testing_support::WriteBytes(mt.Path() + "\\compile.bat", batch);
        controlsRoad.push_back(TimeRun(bare, "--controls \"" + mt.Path() + "\"").milliseconds);
    }
    std::printf("road: %d alternating runs each (tell off, compile only)\n", runs);
    Print("Tarvex, whole road", road);
    Print("bare program, batch only", bareRoad);
    Print("bare program, a hidden window first", windowRoad);
    Print("bare program, common controls and window first", controlsRoad);
    const double base = Median(bareRoad);
    std::printf("  ratio of medians to the bare program: Tarvex %.3f (goal: at most 1.10)\n",
                Median(road) / base);
    std::printf("  the same for the bare program with a window %.3f, with common controls and "
                "window %.3f\n",
                Median(windowRoad) / base, Median(controlsRoad) / base);

    const std::string folder = mt.KindFolder("Indicator");
    testing_support::WriteBytes(folder + "\\small.mq4", "#property indicator_chart_window\r\n");
    Place(argv[2], folder + "\\16.mq4");
    Place(argv[3], folder + "\\256.mq4");
    const char* names[] = {"small", "16", "256"};
    std::vector<double> times[3];
    std::vector<double> peaks[3];
    for (int i = 0; i < std::max(3, runs / 3); ++i) {
        for (int k = 0; k < 3; ++k) {
            const Run run = TimeRun(tarvex, "\"" + folder + "\\" + names[k] + ".mq4\"");
            times[k].push_back(run.milliseconds);
            peaks[k].push_back(run.peakWorkingSetMiB);
        }
    }
    std::printf("scan: the road on a source already in its kind folder, over a small one\n");
    for (int k = 1; k < 3; ++k) {
        const double seconds = (Median(times[k]) - Median(times[0])) / 1000.0;
        std::printf("  %3s MiB  %7.1f ms  %7.0f MiB/s  peak working set %.2f MiB\n", names[k],
                    seconds * 1000.0, std::atoi(names[k]) / seconds, Median(peaks[k]));
    }
    std::printf("  peak working set, 256 MiB over 16 MiB: %+.2f MiB (goal: within 1 MiB)\n",
                Median(peaks[2]) - Median(peaks[1]));
    std::printf("scan_mib_per_s_256=%.0f\n",
                256.0 / ((Median(times[2]) - Median(times[0])) / 1000.0));
    const std::size_t compiled = mt.Runs().size();
    testing_support::DeleteTree(HKEY_CURRENT_USER, "Software\\MetaQuotes Software\\brenholt");
    return compiled == static_cast<std::size_t>(4 * runs + 1 + 3 * std::max(3, runs / 3)) ? 0 : 1;
}
