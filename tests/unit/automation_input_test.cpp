#include "app/commands.h"
#include "app/pointer_input.h"
#include "fakes/automation_fixture.h"
#include "fakes/recording_canvas.h"
#include "ui/hit_region.h"
#include "ui/paint_window.h"

namespace {

class AutomationInputTest : public AutomationTest {
protected:
    // Paints the options tab and clicks the middle of the region with the id.
    void click(std::int32_t id) {
        app.ui.activeTab = 4;
        RecordingCanvas canvas;
        paintWindow(canvas, {0, 0, 724, 1041}, app.ui, model());
        for (const HitRegion& r : app.ui.hitRegions) {
            if (r.id == id) {
                onButtonDown(app, (r.bounds.left + r.bounds.right) / 2,
                             (r.bounds.top + r.bounds.bottom) / 2);
                return;
            }
        }
        ADD_FAILURE() << "no region " << id;
    }
};

} // namespace

TEST_F(AutomationInputTest, TheSwitchesSaveAtOnce) {
    click(REGION_CSV_LOG_SWITCH);
    EXPECT_TRUE(app.settings.automation.csvLog);
    EXPECT_EQ(stored(L"CsvLog"), 1u);
    click(REGION_POWER_SOURCE_SWITCH);
    EXPECT_TRUE(app.settings.automation.followPowerSource);
    EXPECT_EQ(stored(L"PowerSourceSwitch"), 1u);
    click(REGION_CSV_LOG_SWITCH);
    EXPECT_EQ(stored(L"CsvLog"), 0u);
}

TEST_F(AutomationInputTest, EachSourceGetsAMenuOfTheSixModesWithItsOwnChecked) {
    app.settings.automation.mainsMode = ControlMode::Manual;
    click(REGION_BATTERY_MODE);
    click(REGION_MAINS_MODE);
    ASSERT_EQ(host.menus.size(), 2u);
    for (std::size_t menu = 0; menu < 2; ++menu) {
        const std::vector<MenuEntry>& entries = host.menus[menu];
        ASSERT_EQ(entries.size(), 6u);
        const std::uint32_t first = menu == 0 ? CMD_BATTERY_MODE_FIRST : CMD_MAINS_MODE_FIRST;
        const std::size_t checked = menu == 0 ? 2 : 5; // Leise, Manuell (RPM)
        for (std::size_t m = 0; m < 6; ++m) {
            EXPECT_EQ(entries[m].id, first + m);
            EXPECT_EQ(entries[m].checked, m == checked) << menu << " " << m;
        }
        EXPECT_EQ(entries[4].text, L"Maximal (Turbo)");
    }
    EXPECT_TRUE(backend->calls.empty()) << "opening a menu applies nothing";
}

TEST_F(AutomationInputTest, TheLogFolderIsMadeAndShownOrTheNoticeSaysItCannotBe) {
    click(REGION_OPEN_LOG_FOLDER);
    const std::wstring folder = L"C:\\Users\\test\\AppData\\Local\\Ventrasol\\Protokoll";
    EXPECT_EQ(files.opened, std::vector<std::wstring>{folder});
    EXPECT_FALSE(app.regulation.notice.isError);

    files.appData = L"C:\\Users\\other";
    files.addFile(L"C:\\Users\\other\\Ventrasol", "a file where the folder belongs");
    click(REGION_OPEN_LOG_FOLDER);
    EXPECT_EQ(files.opened.size(), 1u);
    EXPECT_EQ(app.regulation.notice.text, L"Protokollordner konnte nicht geöffnet werden.");
    EXPECT_TRUE(app.regulation.notice.isError);
}
