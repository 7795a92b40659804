#include "app/language_switch.h"

#include "base/bounded_format.h"
#include "base/texts.h"
#include "inventory/inventory.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "settings/language_choice.h"
#include "settings/registry_settings.h"
#include "ui/controls.h"

#include <cwchar>

void useChosenLanguage(AppState& app) {
    const bool starting =
        app.regulation.notice.text == textIn(Language::German, TextId::NoticeStarting) ||
        app.regulation.notice.text == textIn(Language::English, TextId::NoticeStarting);
    setTextLanguage(languageFor(app.settings.language, app.windowsLanguage));
    if (starting)
        app.regulation.notice.text = text(TextId::NoticeStarting);
}

void stepLanguageChoice(AppState& app) {
    app.settings.language = nextLanguageChoice(app.settings.language);
    useChosenLanguage(app);
    saveSettings(app.settings);
    if (!app.inventory.empty()) {
        app.inventory = collectInventory(app.identity, app.regulation.controller.get());
        noteAmdAdapter(app.inventory, app.regulation.controller.get());
    }
    wchar_t shown[64];
    formatBounded(shown, 64, text(TextId::NoticeLanguage),
                  languageChoiceName(app.settings.language));
    app.regulation.notice = {shown, false};
    if (platform.windowHost != nullptr)
        platform.windowHost->invalidate(false);
}
