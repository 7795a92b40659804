#include "app/pointer_input.h"
#include "app/window_reading.h"
#include "base/text_tables.h"
#include "fakes/automation_fixture.h"
#include "fakes/recording_canvas.h"
#include "settings/language_choice.h"
#include "ui/accessible_tree.h"
#include "ui/hit_region.h"
#include "ui/paint_window.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;

// The conversions of a printf format in order, each with its flags, width, precision and length:
// "%.0f", "%ls", "%%". A percent sign of running text ("~15 % Lüfterleistung", "(%)") is none:
// the program's formats never use the space flag.
std::vector<std::wstring> conversions(const wchar_t* format) {
    std::vector<std::wstring> found;
    for (const wchar_t* p = format; *p != L'\0'; ++p) {
        if (*p != L'%')
            continue;
        std::wstring conversion = L"%";
        const wchar_t* q = p + 1;
        while (*q != L'\0' && std::wcschr(L"-+#0123456789.hlLzjt", *q) != nullptr)
            conversion += *q++;
        if (*q == L'\0' || std::wcschr(L"diouxXeEfFgGaAcsp%", *q) == nullptr)
            continue;
        found.push_back(conversion + *q);
        p = q;
    }
    return found;
}

class LanguageTest : public AutomationTest {
protected:
    std::vector<AccessibleElement> optionsTree() {
        app.ui.activeTab = 4;
        RecordingCanvas canvas;
        return readAccessibleTree(app, canvas, {0, 0, 724, 1041});
    }
    const AccessibleElement* byId(const std::vector<AccessibleElement>& tree, const wchar_t* id) {
        for (const AccessibleElement& e : tree)
            if (e.automationId == id)
                return &e;
        return nullptr;
    }
    void clickLanguage() {
        optionsTree(); // paints the tab, so that the button has its place
        for (const HitRegion& r : app.ui.hitRegions)
            if (r.id == REGION_LANGUAGE)
                return onButtonDown(app, r.bounds.left + 2, r.bounds.top + 2);
        ADD_FAILURE() << "no language button";
    }
};

} // namespace

// Each id has a text in both tables (the tables' order is checked as they compile), and a
// format takes the same values in the same order in both languages.
TEST(TextTablesTest, EveryTextExistsInBothLanguagesWithTheSamePlaceholders) {
    const struct {
        const wchar_t* format;
        std::vector<std::wstring> conversions;
    } formats[] = {
        {L"Lüfter %d: %.0f RPM", {L"%d", L"%.0f"}},
        {L"%.1f GB belegt (%lu %%)", {L"%.1f", L"%lu", L"%%"}},
        {L"Laufwerk %lc: (%ls)", {L"%lc", L"%ls"}},
        {L"~15 % Lüfterleistung, Stufe (%)", {}},
    };
    for (const auto& f : formats)
        EXPECT_EQ(conversions(f.format), f.conversions) << f.format;

    for (std::size_t i = 0; i < TEXT_COUNT; ++i) {
        const wchar_t* german = GERMAN_TEXTS[i].text;
        const wchar_t* english = ENGLISH_TEXTS[i].text;
        ASSERT_TRUE(german != nullptr && english != nullptr) << i;
        EXPECT_NE(*german, L'\0') << i;
        EXPECT_NE(*english, L'\0') << i;
        EXPECT_EQ(conversions(german), conversions(english)) << i;
    }
    EXPECT_STREQ(textIn(Language::English, TextId::ModeQuiet), L"Quiet");
    EXPECT_STREQ(text(TextId::ModeQuiet), L"Leise");
}

// Windows' language decides unless the user chose; the stored choice is "de" or "en" and
// anything else reads as the automatic one, without disturbing the other settings.
TEST_F(LanguageTest, TheChoiceIsStoredAsDeOrEnAndAnythingElseIsAutomatic) {
    const struct {
        LanguageChoice choice;
        std::uint16_t windows;
        Language spoken;
    } rules[] = {
        {LanguageChoice::Automatic, 0x0407, Language::German},  // Germany
        {LanguageChoice::Automatic, 0x0807, Language::German},  // Switzerland
        {LanguageChoice::Automatic, 0x0C07, Language::German},  // Austria
        {LanguageChoice::Automatic, 0x0409, Language::English}, // United States
        {LanguageChoice::Automatic, 0x040C, Language::English}, // France
        {LanguageChoice::German, 0x0409, Language::German},
        {LanguageChoice::English, 0x0407, Language::English},
    };
    for (const auto& r : rules)
        EXPECT_EQ(languageFor(r.choice, r.windows), r.spoken) << r.windows;

    const std::uint8_t de[] = {'d', 0, 'e', 0, 0, 0};
    const struct {
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        LanguageChoice loaded;
    } stored[] = {
        {REGISTRY_TYPE_SZ, {'d', 0, 'e', 0, 0, 0}, LanguageChoice::German},
        {REGISTRY_TYPE_SZ, {'E', 0, 'N', 0}, LanguageChoice::English}, // no terminator, capitals
        {REGISTRY_TYPE_SZ, {'f', 0, 'r', 0, 0, 0}, LanguageChoice::Automatic},
        {REGISTRY_TYPE_SZ, {}, LanguageChoice::Automatic},
        {REGISTRY_TYPE_EXPAND_SZ, {de, de + 6}, LanguageChoice::Automatic},
        {REGISTRY_TYPE_DWORD, {1, 0, 0, 0}, LanguageChoice::Automatic},
        {REGISTRY_TYPE_SZ, std::vector<std::uint8_t>(64, 'd'), LanguageChoice::Automatic},
    };
    registry.setDword(HKCU, SETTINGS_KEY_PATH, L"LinkFans", 0);
    for (const auto& s : stored) {
        registry.setRaw(HKCU, SETTINGS_KEY_PATH, L"Language", s.type, s.data);
        Settings loaded;
        loaded.language = LanguageChoice::English;
        ASSERT_TRUE(loadSettings(loaded));
        EXPECT_EQ(loaded.language, s.loaded) << s.data.size();
        EXPECT_FALSE(loaded.linkSliders) << "the other values still load";
    }

    Settings settings;
    settings.language = LanguageChoice::English;
    ASSERT_TRUE(saveSettings(settings));
    EXPECT_EQ(registry.string(HKCU, SETTINGS_KEY_PATH, L"Language"), L"en");
    settings.language = LanguageChoice::Automatic;
    ASSERT_TRUE(saveSettings(settings));
    EXPECT_FALSE(registry.value(HKCU, SETTINGS_KEY_PATH, L"Language").has_value());
}

// The options tab's button steps Automatisch → Deutsch → English → Automatic; each step is
// spoken at once (the screen reader's names too), saved, and named in the notice.
TEST_F(LanguageTest, TheLanguageButtonStepsTheChoiceAndTheWindowSpeaksItAtOnce) {
    app.windowsLanguage = 0x0407;
    const struct {
        LanguageChoice choice;
        const wchar_t* stored; // null: no value
        const wchar_t* buttonName;
        const wchar_t* notice;
        const wchar_t* autostartName;
    } steps[] = {
        {LanguageChoice::German, L"de", L"Sprache: Deutsch", L"Sprache: Deutsch.",
         L"Ventrasol beim Start von Windows automatisch ausführen (Autostart)"},
        {LanguageChoice::English, L"en", L"Language: English", L"Language: English.",
         L"Run Ventrasol automatically when Windows starts (autostart)"},
        {LanguageChoice::Automatic, nullptr, L"Sprache: Automatisch", L"Sprache: Automatisch.",
         L"Ventrasol beim Start von Windows automatisch ausführen (Autostart)"},
    };
    EXPECT_EQ(byId(optionsTree(), L"button.language")->name, L"Sprache: Automatisch");
    for (const auto& s : steps) {
        clickLanguage();
        EXPECT_EQ(app.settings.language, s.choice);
        const auto value = registry.string(HKCU, SETTINGS_KEY_PATH, L"Language");
        EXPECT_EQ(value.value_or(L"(none)"), s.stored != nullptr ? s.stored : L"(none)");
        EXPECT_EQ(app.regulation.notice.text, s.notice);
        const auto tree = optionsTree();
        EXPECT_EQ(byId(tree, L"button.language")->name, s.buttonName);
        EXPECT_EQ(byId(tree, L"option.autostart")->name, s.autostartName);
    }
    // An English Windows with the automatic choice: English.
    app.windowsLanguage = 0x0409;
    app.settings.language = LanguageChoice::English;
    clickLanguage();
    clickLanguage();
    EXPECT_EQ(app.settings.language, LanguageChoice::German);
    EXPECT_EQ(textLanguage(), Language::German);
    clickLanguage();
    EXPECT_EQ(textLanguage(), Language::English);
    EXPECT_EQ(byId(optionsTree(), L"tab.driver")->name, L"Driver & Options");
}
