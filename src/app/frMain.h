// The program's only window: start-up object, options window and holder of the options.
#pragma once

#include "settings/OptionsWindow.h"

#include <windows.h>

#include <exception>
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
    bool PreTranslateMessage(MSG& message) { return options_.PreTranslateMessage(message); }

    void Show();
    void Hide();

    void LoadSettings();
    void SaveSettings();
    void InstallSource(const std::wstring& sourcePath);

private:
    enum class ExitCode : UINT { Done = 0, Refused = 1, Failed = 2 };

    // Only dispatches; no exception leaves it.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int notification);

    // Copies the source into its kind folder, asking before it replaces a file there.
    void CopyOrAsk(const std::wstring& source, const std::wstring& destination);

    void cmdOk_Click();
    void cmdCancel_Click();
    void Command1_Click();

    bool IsChecked(settings::ControlId control) const { return options_.IsChecked(control); }

    // The two ways the program ends.
    void Unload();
    [[noreturn]] static void EndAtOnce(ExitCode code);
    // Shows the error (style 16) and ends at once: every error that is passed up ends here.
    [[noreturn]] static void FailAtOnce(const std::wstring& message);
    [[noreturn]] static void FailAtOnce(const std::exception& error);

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    settings::OptionsWindow options_;
};
