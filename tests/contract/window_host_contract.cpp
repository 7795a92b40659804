#include "contract/window_host_contract.h"

#include "app/commands.h"

TEST_P(WindowHostContract, InvalidatingAsksForAPaintWithOrWithoutErase) {
    probe->host().showMainWindow(); // a hidden window has nothing to paint
    for (bool erase : {false, true}) {
        probe->validate();
        EXPECT_FALSE(probe->needsPainting());
        probe->host().invalidate(erase);
        EXPECT_TRUE(probe->needsPainting()) << erase;
    }
}

TEST_P(WindowHostContract, CaptureIsTakenAndReleased) {
    EXPECT_FALSE(probe->captured());
    probe->host().setCapture();
    EXPECT_TRUE(probe->captured());
    probe->host().releaseCapture();
    EXPECT_FALSE(probe->captured());
}

TEST_P(WindowHostContract, ATimerFiresUntilItIsKilled) {
    probe->host().setTimer(7, 15);
    probe->host().setTimer(8, 15);
    EXPECT_TRUE(probe->timerFires(7, 3000));
    probe->host().killTimer(7);
    EXPECT_FALSE(probe->timerFires(7, 200));
    EXPECT_TRUE(probe->timerFires(8, 3000));
    probe->host().killTimer(8);
}

TEST_P(WindowHostContract, ShowingMakesAHiddenWindowVisible) {
    EXPECT_FALSE(probe->visible());
    probe->host().showMainWindow();
    EXPECT_TRUE(probe->visible());
    probe->host().setForeground(); // harmless on a window already in front
    EXPECT_TRUE(probe->visible());
}

TEST_P(WindowHostContract, TheWindowRectangleIsSetInScreenCoordinates) {
    probe->host().setWindowRect(Rect{40, 50, 40 + 620, 50 + 410});
    EXPECT_EQ(probe->windowRect(), (Rect{40, 50, 660, 460}));
    probe->host().setWindowRect(Rect{-20, 10, 300, 330});
    EXPECT_EQ(probe->windowRect(), (Rect{-20, 10, 300, 330}));
}

TEST_P(WindowHostContract, DestroyingEndsTheWindowAndQuitCarriesTheExitCode) {
    EXPECT_TRUE(probe->exists());
    probe->host().destroyWindow();
    EXPECT_FALSE(probe->exists());
    EXPECT_EQ(probe->takeQuit(), std::nullopt);
    probe->host().postQuit(0);
    EXPECT_EQ(probe->takeQuit(), 0);
}

TEST_P(WindowHostContract, TheWindowDpiIsZeroOrAScreenDpi) {
    const std::uint32_t dpi = probe->host().windowDpi();
    EXPECT_TRUE(dpi == 0 || (dpi >= 96 && dpi <= 960)) << dpi;
}

TEST_P(WindowHostContract, TheTrayIconIsAddedChangedAndRemovedOnce) {
    WindowHost& host = probe->host();
    EXPECT_FALSE(host.trayModify(L"noch kein Symbol"));
    EXPECT_FALSE(host.trayDelete());
    EXPECT_TRUE(host.trayAdd(L"Ventrasol — Initialisiere..."));
    EXPECT_TRUE(host.trayModify(L"Ventrasol — 2000 RPM · CPU 50°C · GPU 40°C (20.0 W)"));
    EXPECT_TRUE(host.trayModify(std::wstring(300, L'x'))); // cut to the tip buffer
    EXPECT_TRUE(host.trayDelete());
    EXPECT_FALSE(host.trayModify(L"entfernt"));
    EXPECT_FALSE(host.trayDelete());
}

TEST_P(WindowHostContract, ThePopupMenuShowsEveryEntryWithItsCheckMark) {
    const std::vector<MenuEntry> entries = {
        {CMD_OPEN_DASHBOARD, L"Ventrasol Dashboard öffnen", false, false},
        {0, L"", false, true},
        {CMD_MODE_QUIET, L"Leise", true, false},
        {CMD_TOGGLE_START_MINIMIZED, L"Minimiert starten", true, false},
        {0, L"", false, true},
        {CMD_EXIT, L"Beenden", false, false},
    };
    probe->host().trackPopupMenu(entries);
    EXPECT_EQ(probe->lastMenu(), entries);
}

TEST_P(WindowHostContract, TheTrayIconShowsAPictureOrTheProgramsIconAndBalloons) {
    WindowHost& host = probe->host();
    const std::uint32_t size = host.trayIconSize();
    EXPECT_TRUE(size >= 16 && size <= 256) << size;
    // Opaque colours with transparent corners.
    TrayIconImage picture{16, {}};
    for (std::uint32_t i = 0; i < 256; ++i) {
        const bool corner = (i % 16 < 3 || i % 16 > 12) && (i / 16 < 3 || i / 16 > 12);
        picture.pixels.push_back(corner ? 0u : 0xFF000040u | (i % 16) << 20 | (i / 16) << 12);
    }
    const TrayBalloon balloon{L"Titel", L"Text", TrayBalloonKind::Warning};
    EXPECT_FALSE(host.traySetIcon(&picture) || host.trayNotify(balloon)) << "no icon yet";
    ASSERT_TRUE(host.trayAdd(L"Ventrasol"));
    EXPECT_EQ(probe->trayPicture().size, 0u);
    EXPECT_TRUE(host.traySetIcon(&picture));
    EXPECT_EQ(probe->trayPicture(), picture);
    TrayIconImage broken = picture; // the wrong number of pixels: refused, nothing changes
    broken.pixels.resize(10);
    EXPECT_FALSE(host.traySetIcon(&broken));
    EXPECT_EQ(probe->trayPicture(), picture);
    EXPECT_TRUE(host.traySetIcon(nullptr));
    EXPECT_EQ(probe->trayPicture().size, 0u);

    EXPECT_EQ(probe->lastBalloon(), std::nullopt);
    EXPECT_TRUE(host.trayNotify(balloon));
    EXPECT_EQ(probe->lastBalloon(), balloon);
    EXPECT_TRUE(host.trayNotify(
        {std::wstring(100, L't'), std::wstring(300, L'x'), TrayBalloonKind::Error}));
    EXPECT_EQ(probe->lastBalloon(), (TrayBalloon{std::wstring(63, L't'), std::wstring(255, L'x'),
                                                 TrayBalloonKind::Error}));

    // Removed and added again, the icon starts as the program's own.
    EXPECT_TRUE(host.traySetIcon(&picture));
    EXPECT_TRUE(host.trayDelete());
    ASSERT_TRUE(host.trayAdd(L"Ventrasol"));
    EXPECT_EQ(probe->trayPicture().size, 0u);
    EXPECT_TRUE(host.trayDelete());
}

TEST_P(WindowHostContract, ATooltipShowsItsTextUntilItIsHidden) {
    WindowHost& host = probe->host();
    probe->host().showMainWindow();
    EXPECT_EQ(probe->tooltip(), L"");
    host.hideTooltip(); // none to hide
    host.showTooltip(L"Beim Beenden der App Lüfter automatisch auf System-Standard", 40, 60);
    EXPECT_EQ(probe->tooltip(), L"Beim Beenden der App Lüfter automatisch auf System-Standard");
    host.showTooltip(L"Temperatur-Kurve", 80, 20); // replaces the first
    EXPECT_EQ(probe->tooltip(), L"Temperatur-Kurve");
    host.hideTooltip();
    EXPECT_EQ(probe->tooltip(), L"");
}
