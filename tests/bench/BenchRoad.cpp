// Times the whole install road (start to exit: copy, compile through compile.bat) against a
// bare program that only runs the same batch file, alternating runs in one session.
#include "StandInTerminal.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using testing_support::BuildFolder;

// Milliseconds from start to exit of one program run.
double TimeRun(const std::string& exe, const std::string& arguments) {
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency;
    LARGE_INTEGER begin;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start %s\n", exe.c_str());
        std::exit(1);
    }
    WaitForSingleObject(process.hProcess, 60000);
    QueryPerformanceCounter(&end);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    testing_support::StandInTerminal mt;
    testing_support::TempFolder sources;
    const std::string source = sources / "Bench EA.mq4";
    testing_support::WriteBytes(source,
                                "#property copyright \"Brenholt\"\r\nint start(){return(0);}\r\n");
    const std::string installed = mt.KindFolder("Expert Advisor") + "\\Bench EA.mq4";
    const char* settings = "Software\\MetaQuotes Software\\brenholt";
    for (const auto& [name, value] : {std::pair{"op", "2"}, {"del", "0"}, {"tell", "0"}}) {
        testing_support::SetValue(HKEY_CURRENT_USER, settings, name, REG_SZ,
                                  std::string(value) + '\0');
    }
    const std::string batch =
        "cd /d \"" + mt.Path() + "\"\r\nmetalang -q \"" + installed + "\"\r\n";

    std::vector<double> road;
    std::vector<double> bare;
    TimeRun(BuildFolder() + "\\Tarvex.exe", "\"" + source + "\""); // warm the caches
    for (int i = 0; i < runs; ++i) {
        DeleteFileA(installed.c_str());
        road.push_back(TimeRun(BuildFolder() + "\\Tarvex.exe", "\"" + source + "\""));
        testing_support::WriteBytes(mt.Path() + "\\compile.bat", batch);
        bare.push_back(TimeRun(BuildFolder() + "\\bare_road.exe", "\"" + mt.Path() + "\""));
    }
    const std::size_t compiled = mt.Runs().size();
    testing_support::DeleteTree(HKEY_CURRENT_USER, settings);

    std::printf("runs each                 %d (compiler runs recorded: %zu)\n", runs, compiled);
    std::printf("Tarvex, whole road        median %7.1f ms   best %7.1f ms\n", Median(road),
                *std::min_element(road.begin(), road.end()));
    std::printf("bare program, batch only  median %7.1f ms   best %7.1f ms\n", Median(bare),
                *std::min_element(bare.begin(), bare.end()));
    std::printf("ratio of medians          %.2f (goal: at most 1.30)\n",
                Median(road) / Median(bare));
    return compiled == static_cast<std::size_t>(2 * runs + 1) ? 0 : 1;
}
