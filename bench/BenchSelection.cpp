// Times a selection under Wine, and what an instance that hands its source over costs: N sources
// chosen at once, as Explorer starts Tarvex for them (N instances with one source each and no
// standard handles), on a terminal of build 600 whose stand-in editor takes 300 ms per compile;
// beside the floor, the N compiles one after another plus one run's own cost (a run of one source
// less its compile).
//   bench_selection <runs> <N>...
#include "Driver.h"
#include "Support.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using testing_support::Wide;

double Now() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Starts every command line at once, as Explorer does, and waits for all of them to end; seconds.
double RunTogether(const std::vector<std::wstring>& commandLines) {
    const double start = Now();
    std::vector<sys::unique_handle> processes;
    for (const std::wstring& line : commandLines) {
        processes.push_back(driver::StartAsExplorer(line));
        if (!processes.back()) {
            std::fprintf(stderr, "cannot start %ls\n", line.c_str());
            std::exit(1);
        }
    }
    for (const auto& process : processes) {
        WaitForSingleObject(process.get(), INFINITE);
    }
    return Now() - start;
}

// One after another; seconds.
double RunInTurn(const std::vector<std::wstring>& commandLines) {
    const double start = Now();
    for (const std::wstring& line : commandLines) {
        RunTogether({line});
    }
    return Now() - start;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_selection <runs> <N>...\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    testing_support::StandInTerminal terminal("Bench MetaTrader 4", {"utf16"});
    testing_support::TempFolder sources;
    testing_support::StoreOptions("2", "0", "0"); // compile only, nothing told, nothing deleted
    SetEnvironmentVariableW(L"TARVEX_STANDIN_DELAY_MS", L"300");
    const std::string tarvex = testing_support::BuildFolder() + "\\Tarvex.exe";
    const std::string kinds = terminal.KindFolder("Indicator");
    const std::string editor = terminal.Path() + "\\" + terminal.Editor();
    const auto clear = [&] { // of the copies, programs and logs, so that no question is asked
        testing_support::RemoveTree(kinds);
        testing_support::MakeFolder(kinds);
    };
    const auto source = [&](int i) { return "bench " + std::to_string(i) + ".mq4"; };
    const auto tarvexFor = [&](int i) {
        return Wide("\"" + tarvex + "\" \"" + sources / source(i) + "\"");
    };
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i) {
        sizes.push_back(std::max(1, std::atoi(argv[i])));
    }
    for (int i = 0; i < std::max(10, *std::max_element(sizes.begin(), sizes.end())); ++i) {
        testing_support::WriteBytes(sources / source(i), "#property indicator_chart_window\r\n");
    }

    // One run's own cost: a run of one source, less one compile of it.
    std::vector<double> alone;
    std::vector<double> compile;
    for (int r = 0; r < std::max(3, runs); ++r) {
        clear();
        alone.push_back(RunTogether({tarvexFor(0)}));
        compile.push_back(RunTogether(
            {Wide("\"" + editor + "\" /compile:\"" + kinds + "\\" + source(0) + "\" /log")}));
    }
    const double ownCost = Median(alone) - Median(compile);

    // An instance that hands its source over, beside a bare program that only starts and ends.
    clear();
    const sys::unique_handle gathering = driver::StartAsExplorer(tarvexFor(0));
    Sleep(500);
    std::vector<double> handing;
    std::vector<double> bare;
    for (int i = 1; i <= 9; ++i) {
        handing.push_back(RunTogether({tarvexFor(i)}));
        bare.push_back(
            RunTogether({Wide("\"" + testing_support::BuildFolder() + "\\bare_road.exe\"")}));
    }
    WaitForSingleObject(gathering.get(), INFINITE);
    std::printf("selection: %d runs each; the stand-in editor takes 300 ms per compile\n", runs);
    std::printf("  a run of one source %.2f s, its compile %.2f s: its own cost %.2f s (with its "
                "wait of 1.5 s for more sources)\n",
                Median(alone), Median(compile), ownCost);
    std::printf("  an instance that hands its source over %.0f ms; a bare program's start and end "
                "%.0f ms\n",
                1000 * Median(handing), 1000 * Median(bare));
    for (const int n : sizes) {
        std::vector<std::wstring> selection;
        std::vector<std::wstring> compiles;
        for (int i = 0; i < n; ++i) {
            selection.push_back(tarvexFor(i));
            compiles.push_back(
                Wide("\"" + editor + "\" /compile:\"" + kinds + "\\" + source(i) + "\" /log"));
        }
        std::wstring script = Wide("\"" + tarvex + "\"");
        for (int i = 0; i < n; ++i) {
            script += Wide(" \"" + sources / source(i) + "\"");
        }
        std::vector<double> together;
        std::vector<double> inTurn;
        std::vector<double> inOne;
        for (int r = 0; r < runs; ++r) {
            clear();
            inOne.push_back(RunTogether({script}));
            clear();
            together.push_back(RunTogether(selection));
            for (int i = 0; i < n; ++i) { // each compiled
                if (!testing_support::PathExists(kinds + "\\bench " + std::to_string(i) + ".ex4")) {
                    std::fprintf(stderr, "N = %d: source %d was not compiled\n", n, i);
                    return 1;
                }
            }
            inTurn.push_back(RunInTurn(compiles));
        }
        const double floor = Median(inTurn) + ownCost;
        std::printf("  N = %3d: chosen at once %6.2f s; compiles one after another %6.2f s, and "
                    "one run's own cost: floor %6.2f s; ratio %.3f (goal: at most 1.10 at 100)\n",
                    n, Median(together), Median(inTurn), floor, Median(together) / floor);
        std::printf("           in one command line %6.2f s, over its compiles one after another "
                    "%.3f\n",
                    Median(inOne), Median(inOne) / Median(inTurn));
    }
    testing_support::DeleteTree(HKEY_CURRENT_USER, testing_support::kSettingsKey);
    return 0;
}
