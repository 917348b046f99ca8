// The program's only window: start-up object, options window and holder of the options.
#pragma once

#include "app/Arguments.h"
#include "app/Gathering.h"
#include "app/Teller.h"
#include "settings/OptionsWindow.h"
#include "sys/Streams.h"

#include <windows.h>

#include <exception>
#include <string>

class frMain {
public:
    // Started with these arguments, this standard output, and the sources handed to it when it
    // gathers them (null: it does not).
    frMain(HINSTANCE instance, const app::Arguments& arguments, const sys::Stream& output,
           app::Gathering* gathering);
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

private:
    // Only dispatches; no exception leaves it.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int notification);

    void cmdOk_Click();
    void cmdCancel_Click();
    void Command1_Click();

    // The two ways the program ends.
    void Unload();
    [[noreturn]] static void EndAtOnce(app::Exit code);
    // Shows the error (style 16; to the standard error when quiet) and ends at once: every error
    // that is passed up ends here.
    [[noreturn]] void FailAtOnce(const std::wstring& message) const;
    [[noreturn]] void FailAtOnce(const std::exception& error) const;

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    settings::OptionsWindow options_;
    const app::Arguments& arguments_;
    const app::Voice voice_;
    const sys::Stream& output_;
    app::Gathering* gathering_;
    app::Exit exit_ = app::Exit::Installed; // the code the message loop ends with
};
