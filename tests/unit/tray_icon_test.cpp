#include "app/taskbar_theme.h"
#include "app/tray.h"
#include "app/tray_icon_image.h"
#include "fakes/app_fixture.h"

#include <cmath>

namespace {

const std::wstring PERSONALIZE =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
const Color WHITE = rgb(255, 255, 255);

// '#' for an opaque pixel of the colour, '.' for a transparent one, '?' for anything else.
std::vector<std::string> rowsOf(const TrayIconImage& image, Color color) {
    const std::uint32_t opaque =
        0xFF000000u | redOf(color) << 16 | greenOf(color) << 8 | blueOf(color);
    std::vector<std::string> rows(image.size);
    for (std::uint32_t i = 0; i < image.pixels.size(); ++i)
        rows[i / image.size] += image.pixels[i] == opaque ? '#' : (image.pixels[i] ? '?' : '.');
    return rows;
}

class TrayIconTest : public FakeAppTest {
protected:
    void SetUp() override {
        FakeAppTest::SetUp();
        addTrayIcon(app.trayIcon);
        app.regulation.safety.cpuAge = app.regulation.safety.gpuAge = 0;
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
    const Color normal = WHITE, warm = rgb(255, 159, 10), hot = rgb(255, 69, 58);
    const struct {
        double celsius;
        const wchar_t* text; // nullptr: the program's icon
        Color color;
    } cases[] = {
        {47.0, L"47", normal}, {79.49, L"79", normal}, {79.5, L"80", warm}, {89.49, L"89", warm},
        {89.5, L"90", hot},    {99.49, L"99", hot},    {99.5, L"!", hot},   {INFINITY, L"!", hot},
        {-0.4, L"0", normal},  {-0.5, nullptr, 0},     {NAN, nullptr, 0},
    };
    for (const auto& c : cases) {
        const TrayIconFace face = trayIconFace(c.celsius, false, 16);
        EXPECT_EQ(face, c.text ? (TrayIconFace{c.text, c.color, 16}) : TrayIconFace{}) << c.celsius;
    }
    for (TrayLevel level : {TrayLevel::Normal, TrayLevel::Warm, TrayLevel::Hot})
        EXPECT_NE(trayLevelColor(level, false), trayLevelColor(level, true));
    EXPECT_EQ(trayIconFace(47, false, 0).size, 16u);
    EXPECT_EQ(trayIconFace(47, false, 100000).size, 256u);
}

TEST(TrayIconImageTest, DigitsAreWholePixelBlocksOverTheFullHeight) {
    const std::vector<std::string> expected = {
        "##...##..#######", "##...##..#######", "##...##.......##", "##...##.......##",
        "##...##.......##", "##...##.......##", "##...##.......##", "#######.......##",
        "#######.......##", ".....##.......##", ".....##.......##", ".....##.......##",
        ".....##.......##", ".....##.......##", ".....##.......##", ".....##.......##",
    };
    EXPECT_EQ(rowsOf(drawTrayIconImage({L"47", WHITE, 16}), WHITE), expected);
    // At 125 % to 200 %: the colour or nothing, centred, from the top row to the bottom one.
    for (std::uint32_t size : {20u, 24u, 32u}) {
        for (const wchar_t* text : {L"47", L"90", L"8", L"!"}) {
            const std::vector<std::string> rows =
                rowsOf(drawTrayIconImage({text, WHITE, size}), WHITE);
            ASSERT_EQ(rows.size(), size);
            std::string any(size, '.');
            for (const std::string& row : rows) {
                EXPECT_EQ(row.find('?'), std::string::npos);
                for (std::size_t x = 0; x < size; ++x)
                    any[x] = row[x] == '#' ? '#' : any[x];
            }
            EXPECT_NE(rows.front().find('#'), std::string::npos) << size;
            EXPECT_NE(rows.back().find('#'), std::string::npos) << size;
            EXPECT_LE(std::abs(int(any.find('#')) - int(size - 1 - any.rfind('#'))), 1) << size;
        }
    }
}

TEST_F(TrayIconTest, TheIconIsRedrawnOnlyWhenNumberColourSizeOrThemeChange) {
    show(47.2, 40);
    show(47.4, 46.6); // the same whole number
    EXPECT_EQ(host.icon, drawTrayIconImage({L"47", WHITE, 16}));
    show(80, 40);
    host.iconSize = 24;
    show(80, 40);
    registry.setDword(RegistryRoot::CurrentUser, PERSONALIZE, L"SystemUsesLightTheme", 1);
    onTrayLookChanged(app);
    EXPECT_EQ(app.trayIcon.face, (TrayIconFace{L"80", trayLevelColor(TrayLevel::Warm, true), 24}));
    EXPECT_EQ(iconCalls(), 4);

    // No temperature that counts: the program's own icon, once.
    app.regulation.readings.cpuTempLost = true;
    app.regulation.readings.quality.gpuTempFallback = true;
    show(80, 40);
    show(81, 41);
    EXPECT_EQ(host.calls.back(), "traySetIcon program");
    EXPECT_EQ(iconCalls(), 5);
    // In curve mode the curve's source counts, else the hotter of the two.
    app.regulation.readings.cpuTempLost = app.regulation.readings.quality.gpuTempFallback = false;
    app.settings.curveSource = 1;
    show(61, 95);
    EXPECT_EQ(app.trayIcon.face.text, L"95");
    app.settings.mode = ControlMode::Curve;
    show(61, 95);
    EXPECT_EQ(app.trayIcon.face.text, L"61");
    // Switched off: the program's icon. A refused picture is tried again next time.
    app.settings.tray.temperatureInIcon = false;
    show(62, 95);
    EXPECT_EQ(host.icon, TrayIconImage{});
    app.settings.tray.temperatureInIcon = true;
    host.trayResult = false;
    show(62, 95);
    host.trayResult = true;
    show(62, 95);
    EXPECT_EQ(app.trayIcon.face.text, L"62");
    EXPECT_EQ(iconCalls(), 10);
}

TEST_F(TrayIconTest, OnlyANonzeroFourByteDwordMeansALightTaskbar) {
    const struct {
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        bool light;
    } cases[] = {
        {REGISTRY_TYPE_DWORD, {1, 0, 0, 0}, true},
        {REGISTRY_TYPE_DWORD, {0, 0, 0, 0}, false},
        {REGISTRY_TYPE_SZ, {'1', 0, 0, 0}, false},
        {REGISTRY_TYPE_DWORD, {1, 0}, false},
    };
    EXPECT_FALSE(taskbarUsesLightTheme()) << "no value: dark";
    for (const auto& c : cases) {
        registry.setRaw(RegistryRoot::CurrentUser, PERSONALIZE, L"SystemUsesLightTheme", c.type,
                        c.data);
        EXPECT_EQ(taskbarUsesLightTheme(), c.light) << c.data.size();
    }
}
