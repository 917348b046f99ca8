// The program's only window: start-up object, options window and holder of the options.
#pragma once

#include "settings/OptionsWindow.h"
#include "terminal/Terminal.h"

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
    // Into the terminal named by its folder, or into every one (app::kEveryTerminal), or, when
    // choice is empty, into the one that serves the source.
    void InstallSource(const std::wstring& sourcePath, const std::wstring& choice,
                       const terminal::Terminals& terminals);

private:
    enum class ExitCode : UINT { Done = 0, Refused = 1, Failed = 2 };

    // Only dispatches; no exception leaves it.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int notification);

    // What became of the source in one terminal.
    struct Outcome {
        terminal::Destination destination;
        bool declined = false;    // No to the replace question: nothing was copied or compiled
        std::wstring compileSaid; // what a run says of the compile; empty when nothing went wrong
        std::wstring openSaid;    // and of opening the editor
        bool keep = false;        // the terminal told that it did not compile: the source stays
        terminal::EditorLaunch editor;
    };
    // The source into one terminal: placed, compiled and opened as the options say. Throws
    // sys::Error when the terminal cannot take it.
    Outcome InstallInto(const terminal::Terminal& target, const std::wstring& source,
                        const std::wstring& fileName, const std::string& kind);
    // One terminal, each of its messages told as it comes.
    void InstallInOne(const terminal::Terminals& terminals, const terminal::Terminal& target,
                      const std::wstring& source, const std::wstring& fileName,
                      const std::string& kind);
    // Each listed terminal in turn, told in one message at the end.
    void InstallInEvery(const terminal::Terminals& terminals, const std::wstring& source,
                        const std::wstring& fileName, const std::string& kind);
    // Copies the source into its kind folder, asking before it replaces a file there; false when
    // the user said No.
    bool CopyOrAsk(const std::wstring& source, const std::wstring& destination);
    // "The <kind> has been installed!", when the user wants to be told.
    void Tell(const std::wstring& source, const terminal::Generation& generation);

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
