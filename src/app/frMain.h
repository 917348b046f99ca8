// The program's only window: start-up object, options window and holder of the options.
#pragma once

#include "settings/OptionsLayout.h"
#include "sys/Handles.h"

#include <windows.h>

#include <array>
#include <string>

class frMain {
public:
    explicit frMain(HINSTANCE instance);
    frMain(const frMain&) = delete;
    frMain& operator=(const frMain&) = delete;

    // Start-up, in the order WinMain calls them.
    void Form_Initialize();
    void Create();
    void Form_Load();

    // The message loop's keyboard handling; true when the message was consumed.
    bool PreTranslateMessage(MSG& message);

    void Show();
    void Hide();

    void LoadSettings();
    void SaveSettings();
    void InstallSource(const std::string& sourcePath);

private:
    enum class ExitCode : UINT { Done = 0, Refused = 1, Failed = 2 };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnCommand(int id, int notification);
    void cmdOk_Click();
    void cmdCancel_Click();
    void Command1_Click();

    // The two ways the program ends.
    void Unload();
    [[noreturn]] static void EndAtOnce(ExitCode code);
    [[noreturn]] static void FailAtOnce(const std::string& message);

    void CreateControls();
    HWND Control(settings::ControlId id) const;
    bool IsChecked(settings::ControlId control) const;
    void Select(settings::ControlId option);
    void SetCheck(settings::ControlId checkBox, bool ticked);
    bool MoveFocusByTab(bool backwards);

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    std::array<HWND, settings::kControls.size()> controls_{};
    std::array<sys::unique_hfont, 3> fonts_;
};
