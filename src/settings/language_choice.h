#pragma once

#include "base/texts.h"
#include "platform/registry.h"
#include "settings/settings.h"

#include <cstdint>

// The language choice under the settings key: the REG_SZ value "Language", "de" or "en"
// (either case); missing for the automatic choice.

// Takes "de" or "en"; anything else (another text, another type, too long) means automatic.
void loadLanguageChoice(const RegistryKey& key, LanguageChoice& choice);
// Writes "de" or "en"; the automatic choice removes the value.
void saveLanguageChoice(RegistryKey& key, LanguageChoice choice);

// The language spoken: the chosen one, or for the automatic choice German when Windows' user
// interface language (a LANGID) is German of any region, else English.
Language languageFor(LanguageChoice choice, std::uint16_t windowsLanguage);

// The choice after this one, as the options tab's button steps through them.
LanguageChoice nextLanguageChoice(LanguageChoice choice);
