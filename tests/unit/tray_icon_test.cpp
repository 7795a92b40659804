#include "app/commands.h"
#include "app/taskbar_theme.h"
#include "app/tray.h"
#include "app/tray_icon_face.h"
#include "app/tray_icon_image.h"
#include "app/window_events.h"
#include "fakes/app_fixture.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

const std::wstring PERSONALIZE =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
const Color WHITE = rgb(255, 255, 255);

// The image as rows of '#' (the face's colour, opaque) and '.' (transparent); any other pixel
// shows as '?', so a blended edge cannot hide.
std::vector<std::string> rowsOf(const TrayIconImage& image, Color color) {
    const std::uint32_t opaque =
        0xFF000000u | (redOf(color) << 16) | (greenOf(color) << 8) | blueOf(color);
    std::vector<std::string> rows;
    for (std::uint32_t y = 0; y < image.size; ++y) {
        std::string row;
        for (std::uint32_t x = 0; x < image.size; ++x) {
            const std::uint32_t p = image.pixels[y * image.size + x];
            row += p == opaque ? '#' : (p == 0 ? '.' : '?');
        }
        rows.push_back(row);
    }
    return rows;
}

class TrayIconTest : public FakeAppTest {
protected:
    void SetUp() override {
        FakeAppTest::SetUp();
        addTrayIcon(app.trayIcon);
        app.regulation.safety.cpuAge = app.regulation.safety.gpuAge = 0;
        host.calls.clear();
    }
    void show(double cpu, double gpu) {
        app.regulation.readings.cpuTemp = cpu;
        app.regulation.readings.gpuTemp = gpu;
        refreshTrayIcon(app.trayIcon, app.settings, app.regulation);
    }
    int iconCalls() const { return host.count("traySetIcon") + host.count("traySetIcon program"); }
};

} // namespace

TEST(TrayIconFaceTest, WholeDegreesChooseTextAndLevelColour) {
    const Color normal = trayLevelColor(TrayLevel::Normal, false);
    const Color warm = trayLevelColor(TrayLevel::Warm, false);
    const Color hot = trayLevelColor(TrayLevel::Hot, false);
    const struct {
        double celsius;
        const wchar_t* text; // nullptr: the program's icon
        Color color;
    } cases[] = {
        {47.0, L"47", normal}, {79.49, L"79", normal},  {79.5, L"80", warm}, {89.4, L"89", warm},
        {89.5, L"90", hot},    {99.49, L"99", hot},     {99.5, L"!", hot},   {1e300, L"!", hot},
        {5.0, L"5", normal},   {-0.4, L"0", normal},    {-0.5, nullptr, 0},  {NAN, nullptr, 0},
        {INFINITY, L"!", hot}, {-INFINITY, nullptr, 0},
    };
    for (const auto& c : cases) {
        const TrayIconFace face = trayIconFace(c.celsius, false, 16);
        if (c.text == nullptr) {
            EXPECT_EQ(face, TrayIconFace{}) << c.celsius;
            continue;
        }
        EXPECT_EQ(face.text, c.text) << c.celsius;
        EXPECT_EQ(face.color, c.color) << c.celsius;
        EXPECT_EQ(face.size, 16u);
    }
    // Each level differs from the others and between a dark and a light taskbar; the size
    // is kept within what an icon can be.
    for (TrayLevel level : {TrayLevel::Normal, TrayLevel::Warm, TrayLevel::Hot})
        EXPECT_NE(trayLevelColor(level, false), trayLevelColor(level, true));
    EXPECT_EQ(normal, WHITE);
    EXPECT_NE(warm, hot);
    EXPECT_EQ(trayIconFace(47, false, 0).size, 16u);
    EXPECT_EQ(trayIconFace(47, false, 100000).size, 256u);
    EXPECT_EQ(trayIconFace(47, true, 24).color, trayLevelColor(TrayLevel::Normal, true));
}

TEST(TrayIconImageTest, DigitsAreWholePixelBlocksOverTheFullHeight) {
    const TrayIconImage forty = drawTrayIconImage({L"47", WHITE, 16});
    ASSERT_EQ(forty.size, 16u);
    const std::vector<std::string> expected = {
        "##...##..#######", "##...##..#######", "##...##.......##", "##...##.......##",
        "##...##.......##", "##...##.......##", "##...##.......##", "#######.......##",
        "#######.......##", ".....##.......##", ".....##.......##", ".....##.......##",
        ".....##.......##", ".....##.......##", ".....##.......##", ".....##.......##",
    };
    EXPECT_EQ(rowsOf(forty, WHITE), expected);

    // A one stands in the middle of its place, with a flag.
    const std::vector<std::string> one = rowsOf(drawTrayIconImage({L"1", WHITE, 16}), WHITE);
    for (int y = 0; y < 16; ++y)
        EXPECT_EQ(one[y], y == 2 || y == 3 ? ".....####......." : ".......##.......") << y;

    const Color red = rgb(255, 69, 58);
    const TrayIconImage bang = drawTrayIconImage({L"!", red, 16});
    const std::vector<std::string> rows = rowsOf(bang, red);
    for (int y = 0; y < 16; ++y)
        EXPECT_EQ(rows[y], y < 12 || y >= 14 ? "......###......." : "................") << y;

    // At 125 % to 200 %: only the colour or nothing, centred, from the top row to the bottom.
    for (std::uint32_t size : {20u, 24u, 32u}) {
        for (const wchar_t* text : {L"47", L"90", L"8", L"!"}) {
            const TrayIconImage image = drawTrayIconImage({text, red, size});
            ASSERT_EQ(image.pixels.size(), std::size_t{size} * size);
            const std::vector<std::string> r = rowsOf(image, red);
            int left = static_cast<int>(size), right = -1;
            for (const std::string& row : r) {
                EXPECT_EQ(row.find('?'), std::string::npos) << size;
                if (row.find('#') != std::string::npos) {
                    left = std::min(left, static_cast<int>(row.find('#')));
                    right = std::max(right, static_cast<int>(row.rfind('#')));
                }
            }
            EXPECT_NE(r.front().find('#'), std::string::npos) << size;
            EXPECT_NE(r.back().find('#'), std::string::npos) << size;
            EXPECT_LE(std::abs(left - (static_cast<int>(size) - 1 - right)), 1) << size;
        }
    }
    EXPECT_TRUE(drawTrayIconImage({}).pixels.empty());
}

TEST_F(TrayIconTest, TheIconIsRedrawnOnlyWhenNumberColourSizeOrThemeChange) {
    show(47.2, 40);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"traySetIcon"}));
    EXPECT_EQ(host.icon, drawTrayIconImage({L"47", WHITE, 16}));
    show(47.4, 46.6); // the same whole number
    show(46.6, 47.0);
    EXPECT_EQ(iconCalls(), 1);

    show(80, 40);
    EXPECT_EQ(app.trayIcon.face.color, trayLevelColor(TrayLevel::Warm, false));
    host.iconSize = 24;
    show(80, 40);
    EXPECT_EQ(host.icon.size, 24u);
    registry.setDword(RegistryRoot::CurrentUser, PERSONALIZE, L"SystemUsesLightTheme", 1);
    onTrayLookChanged(app);
    EXPECT_EQ(app.trayIcon.face.color, trayLevelColor(TrayLevel::Warm, true));
    EXPECT_EQ(iconCalls(), 4);

    // No temperature that counts: the program's own icon, once.
    app.regulation.readings.cpuTempLost = true;
    app.regulation.readings.quality.gpuTempFallback = true;
    show(80, 40);
    show(81, 41);
    EXPECT_EQ(host.calls.back(), "traySetIcon program");
    EXPECT_EQ(host.icon, TrayIconImage{});
    EXPECT_EQ(iconCalls(), 5);
    app.regulation.readings.cpuTempLost = false;
    app.regulation.readings.quality.gpuTempFallback = false;
    app.regulation.safety.gpuAge = -1; // never measured: the CPU alone
    show(60, 95);
    EXPECT_EQ(app.trayIcon.face.text, L"60");

    // In curve mode the curve's source counts, else the hotter of the two.
    app.regulation.safety.gpuAge = 0;
    app.settings.curveSource = 1;
    show(61, 95);
    EXPECT_EQ(app.trayIcon.face.text, L"95");
    app.settings.mode = ControlMode::Curve;
    show(61, 95);
    EXPECT_EQ(app.trayIcon.face.text, L"61");

    // A refused picture is tried again on the next refresh.
    host.trayResult = false;
    show(62, 95);
    EXPECT_EQ(app.trayIcon.face.text, L"61");
    host.trayResult = true;
    show(62, 95);
    EXPECT_EQ(app.trayIcon.face.text, L"62");
}

TEST_F(TrayIconTest, TheOptionSwitchesBetweenNumberAndProgramIconAndIsSaved) {
    show(55, 40);
    ASSERT_EQ(app.trayIcon.face.text, L"55");
    handleCommand(app, CMD_TOGGLE_TRAY_TEMPERATURE);
    EXPECT_FALSE(app.settings.tray.temperatureInIcon);
    EXPECT_EQ(registry.dword(RegistryRoot::CurrentUser, L"Software\\Ventrasol", L"TrayTemperature"),
              0u);
    EXPECT_EQ(host.icon, TrayIconImage{});
    EXPECT_EQ(host.calls.back(), "invalidate 0");
    show(70, 40);
    EXPECT_EQ(host.icon, TrayIconImage{});
    handleCommand(app, CMD_TOGGLE_TRAY_TEMPERATURE);
    EXPECT_EQ(app.trayIcon.face.text, L"70");
}

TEST_F(TrayIconTest, ARestartedTaskbarGetsTheNumberAndARemovedIconNothing) {
    show(47, 40);
    onTaskbarCreated(app.trayIcon);
    ASSERT_EQ(host.iconsOnAdd.size(), 2u);
    EXPECT_EQ(host.iconsOnAdd.back(), drawTrayIconImage({L"47", WHITE, 16}));
    removeTrayIcon(app.trayIcon);
    host.calls.clear();
    show(48, 40);
    onTaskbarCreated(app.trayIcon);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(TrayIconTest, OnlyANonzeroFourByteDwordMeansALightTaskbar) {
    const struct {
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        bool light;
    } cases[] = {
        {REGISTRY_TYPE_DWORD, {1, 0, 0, 0}, true},
        {REGISTRY_TYPE_DWORD, {0, 0, 0, 1}, true},
        {REGISTRY_TYPE_DWORD, {0, 0, 0, 0}, false},
        {REGISTRY_TYPE_SZ, {'1', 0, 0, 0}, false},
        {REGISTRY_TYPE_DWORD, {1, 0}, false},
        {REGISTRY_TYPE_DWORD, {1, 0, 0, 0, 0, 0, 0, 0}, false},
    };
    EXPECT_FALSE(taskbarUsesLightTheme()) << "no value: dark";
    for (const auto& c : cases) {
        registry.setRaw(RegistryRoot::CurrentUser, PERSONALIZE, L"SystemUsesLightTheme", c.type,
                        c.data);
        EXPECT_EQ(taskbarUsesLightTheme(), c.light) << c.data.size();
    }
    registry.failAll = true;
    EXPECT_FALSE(taskbarUsesLightTheme());
    EXPECT_EQ(registry.openKeyCount(), 0);
}
