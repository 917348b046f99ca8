#include "settings/SettingsStore.h"
#include "sys/Main.h"

namespace settings {

namespace {

constexpr const char* kSettingsKey = "Software\\MetaQuotes Software\\brenholt";

std::string Load(const char* name, const char* defaultText) {
    return Main::GetRegString(HKEY_CURRENT_USER, kSettingsKey, name, defaultText);
}

void Store(const char* name, const char* text) {
    Main::SetRegString(HKEY_CURRENT_USER, kSettingsKey, name, text);
}

} // namespace

void LoadSettings(OptionsWindow& options) {
    const std::string op = Load("op", "1");
    const std::string del = Load("del", "0");
    const std::string tell = Load("tell", "1");
    if (op == "1") {
        options.Select(idOption1);
    }
    if (op == "2") {
        options.Select(idOption2);
    }
    if (del == "0" || del == "1") {
        options.SetCheck(idDelete, del == "1");
    }
    if (tell == "0" || tell == "1") {
        options.SetCheck(idTell, tell == "1");
    }
}

void SaveSettings(const OptionsWindow& options) {
    if (options.IsChecked(idOption1)) {
        Store("op", "1");
    }
    if (options.IsChecked(idOption2)) {
        Store("op", "2");
    }
    Store("del", options.IsChecked(idDelete) ? "1" : "0");
    Store("tell", options.IsChecked(idTell) ? "1" : "0");
}

} // namespace settings
