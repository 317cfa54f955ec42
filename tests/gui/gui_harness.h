// In-process GUI test harness: a configuration in a temporary folder, the real CAppMain
// with its frame, message pumping, and a driver for modal dialogs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "test_support.h"

class CAppMain;

class GuiTest : public ::testing::Test {
public:
    void TearDown() override;
    // Writes quillon.ini (when settings is not empty) and starts the application.
    // language: the "language" value to store (-1 leaves it out).
    void StartApp(int language, const std::string& extraSettings = "");
    // Dispatches pending messages until none is left (and at least a few rounds).
    void Pump(int rounds = 3);
    // Runs body with the first dialog that opens on this thread while action runs.
    // body gets the dialog window; it must end the dialog (for example by pressing a button).
    void WithDialog(const std::function<void()>& action, const std::function<void(HWND)>& body);
    // Text of a menu item by command id.
    std::wstring MenuText(int id);
    UINT MenuState(int id);
    UINT TopMenuState(int position);
    std::wstring WindowText(HWND window);

    testing_support::TempDir m_dir;
    CAppMain* m_app = nullptr;
    HWND m_frame = nullptr;
};

// Builds a settings document with the given language and extra child elements.
std::string SettingsXml(int language, const std::string& extra);
