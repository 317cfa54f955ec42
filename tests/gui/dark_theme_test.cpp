// View > Dark Theme: the three choices in both languages, the choice kept in the settings
// file, and the views drawn from the dark table while it is in force.
#include <windows.h>

#include <string>

#include "config/app_parameter.h"
#include "config/dark_colors.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "shell/dark_mode.h"
#include "view/log_view.h"
#include "view_test_support.h"

using testing_support::ReadBytes;

namespace {

const wchar_t kPersonalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
const wchar_t kAppsLight[] = L"AppsUseLightTheme";

class DarkThemeTest : public ViewTest {
protected:
    std::string Settings() { return ReadBytes(m_dir.FsPath("quillon.ini")); }

    void Choose(int id) {
        SendMessageW(m_frame, WM_COMMAND, id, 0);
        Pump();
    }

    // Which of the three items carries the check.
    int Checked() {
        int found = -1;
        for (int id : {IDM_DARK_THEME_OFF, IDM_DARK_THEME_ON, IDM_DARK_THEME_SYSTEM}) {
            if ((MenuState(id) & MF_CHECKED) == 0) continue;
            if (found != -1) return -2;
            found = id;
        }
        return found;
    }
};

TEST_F(DarkThemeTest, TheMenuSwitchesTheViewsAndKeepsTheChoice) {
    for (int language : {0, 1}) {
        StartApp(language);
        bool ja = language == kLanguageJapanese;
        EXPECT_EQ(ja ? L"オフ" : L"Off", MenuText(IDM_DARK_THEME_OFF));
        EXPECT_EQ(ja ? L"オン" : L"On", MenuText(IDM_DARK_THEME_ON));
        EXPECT_EQ(ja ? L"Windows に合わせる" : L"As Windows", MenuText(IDM_DARK_THEME_SYSTEM));
        TearDown();
    }
    // A settings file from before the dark table keeps the light one.
    Start(0);
    EXPECT_EQ(kDarkThemeOff, AppConfig().m_darkTheme);
    EXPECT_EQ(IDM_DARK_THEME_OFF, Checked());
    CLogView* view = OpenAndWait(WriteLog("dark.log", "2021-03-04 05:06:07 first\r\nsecond\r\n"));
    ASSERT_NE(nullptr, view);
    SizeView(view, 900, 500);
    ViewPicture light = Paint(view);
    int x = light.width * 3 / 4, y = light.height - 4;
    EXPECT_EQ(0xFFFFFFu, light.At(x, y));

    Choose(IDM_DARK_THEME_ON);
    EXPECT_EQ(kDarkThemeOn, AppConfig().m_darkTheme);
    EXPECT_EQ(IDM_DARK_THEME_ON, Checked());
    EXPECT_NE(std::string::npos, Settings().find("<dark_theme>1</dark_theme>"));
    CColorEntry dark[kViewColorCount];
    MakeDarkColorTable(AppConfig().m_colors, AppConfig().m_colorCount, dark);
    const CViewSettings& s = view->Settings();
    EXPECT_EQ(1, s.dark);
    ASSERT_EQ(AppConfig().m_colorCount, s.colorCount);
    for (int k = 0; k < s.colorCount; ++k) {
        EXPECT_EQ(dark[k].text, s.colors[k].text) << k;
        EXPECT_EQ(dark[k].background, s.colors[k].background) << k;
    }
    // The light table itself, which the Color page edits, is untouched.
    EXPECT_EQ(0xFFFFFFu, AppConfig().m_colors[0].background);
    EXPECT_EQ(kDarkGround, Paint(view).At(x, y));
    // A view opened now takes the dark table too.
    m_app->CloseEverything();
    Pump();
    view = OpenAndWait(WriteLog("dark.log", "third\r\n"));
    ASSERT_NE(nullptr, view);
    SizeView(view, 900, 500);
    EXPECT_EQ(kDarkGround, view->Settings().colors[0].background);

    Choose(IDM_DARK_THEME_SYSTEM);
    EXPECT_EQ(kDarkThemeSystem, AppConfig().m_darkTheme);
    EXPECT_EQ(IDM_DARK_THEME_SYSTEM, Checked());
    EXPECT_NE(std::string::npos, Settings().find("<dark_theme>2</dark_theme>"));
    EXPECT_EQ(SystemAppsDark() ? 1 : 0, view->Settings().dark);
    // The app mode switched by the user reaches the views; a missing value means light.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kPersonalize, 0, nullptr, 0,
                                             KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key, nullptr));
    DWORD kept = 0, size = sizeof kept;
    bool had =
        RegQueryValueExW(key, kAppsLight, nullptr, nullptr, reinterpret_cast<BYTE*>(&kept), &size) == ERROR_SUCCESS;
    for (DWORD light : {0u, 1u, 0u, 2u}) {
        if (light == 2) {
            RegDeleteValueW(key, kAppsLight);
        } else {
            RegSetValueExW(key, kAppsLight, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&light), sizeof light);
        }
        SendMessageW(m_frame, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"));
        Pump();
        EXPECT_EQ(light == 0 ? 1 : 0, view->Settings().dark) << light;
        EXPECT_EQ(light == 0 ? kDarkGround : 0xFFFFFFu, Paint(view).At(x, y)) << light;
    }
    if (had) RegSetValueExW(key, kAppsLight, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kept), sizeof kept);
    RegCloseKey(key);

    Choose(IDM_DARK_THEME_OFF);
    EXPECT_EQ(IDM_DARK_THEME_OFF, Checked());
    EXPECT_EQ(std::string::npos, Settings().find("dark_theme"));
    EXPECT_EQ(0, view->Settings().dark);
    for (int k = 0; k < view->Settings().colorCount; ++k) {
        EXPECT_EQ(AppConfig().m_colors[k].text, view->Settings().colors[k].text) << k;
        EXPECT_EQ(AppConfig().m_colors[k].background, view->Settings().colors[k].background) << k;
    }
}

}  // namespace
