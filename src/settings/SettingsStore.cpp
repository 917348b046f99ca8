// The options kept between runs, in the current user's registry.
#include "app/frMain.h"
#include "sys/Main.h"

namespace {

constexpr const char* kSettingsKey = "Software\\MetaQuotes Software\\brenholt";

std::string Load(const char* name, const char* defaultText) {
    return Main::GetRegString(HKEY_CURRENT_USER, kSettingsKey, name, defaultText);
}

void Store(const char* name, const char* text) {
    Main::SetRegString(HKEY_CURRENT_USER, kSettingsKey, name, text);
}

} // namespace

// Only the exact texts count; anything else leaves a control as the window made it.
void frMain::LoadSettings() {
    const std::string op = Load("op", "1");
    const std::string del = Load("del", "0");
    const std::string tell = Load("tell", "1");
    if (op == "1") {
        Select(settings::idOption1);
    }
    if (op == "2") {
        Select(settings::idOption2);
    }
    if (del == "0" || del == "1") {
        SetCheck(settings::idDelete, del == "1");
    }
    if (tell == "0" || tell == "1") {
        SetCheck(settings::idTell, tell == "1");
    }
}

void frMain::SaveSettings() {
    if (IsChecked(settings::idOption1)) {
        Store("op", "1");
    }
    if (IsChecked(settings::idOption2)) {
        Store("op", "2");
    }
    Store("del", IsChecked(settings::idDelete) ? "1" : "0");
    Store("tell", IsChecked(settings::idTell) ? "1" : "0");
}
