// The four kinds of MQL4 program, in one table: the code the scan gives each, the text the
// program shows and compares, how its marker ranks within one field, and its folder in a
// terminal of either layout. Portable: the scanner built natively uses it too.
#pragma once

#include <cstddef>
#include <iterator>

namespace terminal {

enum class KindCode : short { Indicator = 1, Library = 2, ExpertAdvisor = 3, Script = 4 };

struct KindSpec {
    KindCode code;
    const char* text;
    int markerRank; // within one field a higher rank wins; 0: no marker selects the kind
    const wchar_t* folderSuffix; // below a legacy terminal's folder (before build 600)
    const wchar_t* dataFolder;   // below a current terminal's data folder
};

constexpr KindSpec kKinds[] = {
    {KindCode::Indicator, "Indicator", 1, L"\\experts\\indicators", L"\\MQL4\\Indicators"},
    {KindCode::Library, "Library", 2, L"\\experts\\libraries", L"\\MQL4\\Libraries"},
    {KindCode::ExpertAdvisor, "Expert Advisor", 0, L"\\experts", L"\\MQL4\\Experts"},
    {KindCode::Script, "Script", 3, L"\\experts\\scripts", L"\\MQL4\\Scripts"},
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
