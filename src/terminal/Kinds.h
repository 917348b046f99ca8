// The kinds of MQL4 and MQL5 program, in one table: the code the scans give each, the text the
// program shows and compares (and counts in), how its MQL4 marker ranks within one field, and its
// folder in a terminal of either layout. Portable: the scanners built natively use it too.
#pragma once

#include <cstddef>
#include <iterator>

namespace terminal {

enum class KindCode : short {
    Indicator = 1,
    Library = 2,
    ExpertAdvisor = 3,
    Script = 4,
    Service = 5, // MQL5's alone
};

struct KindSpec {
    KindCode code;
    const char* text;
    const char* plural;
    int markerRank; // MQL4: within one field a higher rank wins; 0: no marker selects the kind
    const wchar_t* legacyFolder; // below a terminal's folder before build 600; null: none there
    const wchar_t* folder;       // below the MQL4 or MQL5 folder of a terminal's data folder
};

constexpr KindSpec kKinds[] = {
    {KindCode::Indicator, "Indicator", "Indicators", 1, L"\\experts\\indicators", L"Indicators"},
    {KindCode::Library, "Library", "Libraries", 2, L"\\experts\\libraries", L"Libraries"},
    {KindCode::ExpertAdvisor, "Expert Advisor", "Expert Advisors", 0, L"\\experts", L"Experts"},
    {KindCode::Script, "Script", "Scripts", 3, L"\\experts\\scripts", L"Scripts"},
    {KindCode::Service, "Service", "Services", 0, nullptr, L"Services"},
};

constexpr const KindSpec& SpecOf(KindCode code) {
    return kKinds[static_cast<std::size_t>(code) - 1];
}

constexpr bool CodesIndexTheTable() {
    for (std::size_t i = 0; i < std::size(kKinds); ++i) {
        if (static_cast<std::size_t>(kKinds[i].code) != i + 1) {
            return false;
        }
    }
    return true;
}
static_assert(CodesIndexTheTable(), "kKinds is ordered by code");

inline const char* KindText(KindCode code) {
    return SpecOf(code).text;
}

} // namespace terminal
