#include "settings/SettingsStore.h"
#include "sys/Main.h"

namespace settings {

namespace {

constexpr const wchar_t* kSettingsKey = L"Software\\MetaQuotes Software\\brenholt";

std::wstring Load(const wchar_t* name, const wchar_t* defaultText) {
    return Main::GetRegString(HKEY_CURRENT_USER, kSettingsKey, name, defaultText);
}

void Store(const wchar_t* name, const wchar_t* text) {
    Main::SetRegString(HKEY_CURRENT_USER, kSettingsKey, name, text);
}

} // namespace

void LoadSettings(OptionsWindow& options) {
    const std::wstring op = Load(L"op", L"1");
    const std::wstring del = Load(L"del", L"0");
    const std::wstring tell = Load(L"tell", L"1");
    if (op == L"1") {
        options.Select(idOption1);
    }
    if (op == L"2") {
        options.Select(idOption2);
    }
    if (del == L"0" || del == L"1") {
        options.SetCheck(idDelete, del == L"1");
    }
    if (tell == L"0" || tell == L"1") {
        options.SetCheck(idTell, tell == L"1");
    }
}

void SaveSettings(const OptionsWindow& options) {
    if (options.IsChecked(idOption1)) {
        Store(L"op", L"1");
    }
    if (options.IsChecked(idOption2)) {
        Store(L"op", L"2");
    }
    Store(L"del", options.IsChecked(idDelete) ? L"1" : L"0");
    Store(L"tell", options.IsChecked(idTell) ? L"1" : L"0");
}

} // namespace settings
