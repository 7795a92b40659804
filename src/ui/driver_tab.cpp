#include "app/app_state.h"
#include "hardware/apple_smc_controller.h"
#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/theme.h"

#include <string>

void paintDriverTab(Canvas& canvas, const ContentLayout& l) {
    using namespace palette;
    const int B = l.B;
    const int W = l.W;
    const IHardwareController* controller = appState.controller.get();
    const bool connected = controller && controller->isConnected();

    drawCard(canvas, {243, B, W + 243, B + 115});
    std::wstring status = controller ? controller->statusText() : L"Treiber nicht initialisiert";
    if (connected && appState.driverFault)
        status = L"Treiber antwortet nicht – " + status;
    canvas.textAt(259, B + 14, status, Font::FontBold,
                  connected && !appState.driverFault ? Good : Warning);
    canvas.textAt(259, B + 38,
                  L"Erkanntes Backend: " + (controller ? controller->backendName() : L"Keins"),
                  Font::FontSmall, TextMuted);
    canvas.textAt(259, B + 56,
                  L"Hersteller: " + appState.identity.manufacturer + L" · Modell: " +
                      appState.identity.product,
                  Font::FontSmall, TextMuted);
    canvas.textAt(259, B + 74,
                  L"Ressourcenverbrauch: ~2 MB RAM · native Win32 Universal-Engine, ohne "
                  L"Laufzeitumgebung und Hintergrunddienste",
                  Font::FontSmall, TextMuted);
    int noteY = B + 92;
    if (const std::wstring smc = smcGenerationText(controller); !smc.empty()) {
        canvas.textAt(259, noteY, L"SMC-Generation: " + smc, Font::FontSmall, TextMuted);
        noteY += 18;
    }
    if (!appState.driverNote.empty())
        canvas.textAt(259, noteY, appState.driverNote, Font::FontSmall, Warning);

    const Rect reload{W + 63, B + 14, W + 227, B + 42};
    drawRoundPanel(canvas, reload, 6, Accent, AccentLight);
    canvas.textIn(reload, L"Treiber neu laden", Font::FontBold, White, TextAlign::Center);
    addHitRegion(reload, REGION_RELOAD_DRIVER, 0);

    drawCard(canvas, {243, B + 128, W + 243, B + 276});
    canvas.textAt(259, B + 140, L"Windows 10/11 Autostart & Optionen", Font::FontBold, Text);

    struct Option {
        const wchar_t* text;
        int y;
        bool on;
        std::int32_t id;
    };
    const Option options[] = {
        {L"Ventrasol beim Start von Windows automatisch ausführen (Autostart)", B + 170,
         appState.autostartEnabled, REGION_AUTOSTART_SWITCH},
        {L"Beim Autostart minimiert im Windows System-Tray starten (ohne Hauptfenster)", B + 204,
         appState.startMinimized, REGION_MINIMIZED_SWITCH},
        {L"Beim Beenden der App Lüfter automatisch auf System-Standard (Auto) zurücksetzen",
         B + 238, appState.resetFansOnExit, REGION_RESET_ON_EXIT_SWITCH},
    };
    for (const Option& o : options) {
        drawToggle(canvas, 259, o.y - 2, o.on, o.id);
        canvas.textAt(309, o.y, o.text, Font::FontBody, Text);
    }
}
