#pragma once

#include "app/app_state.h"

// Speaks the language the settings choose (or Windows', for the automatic choice) from now on.
// A notice still saying that the program is starting says it in that language.
void useChosenLanguage(AppState& app);

// The options tab's language button: the next choice, spoken at once, saved, and repainted;
// the notice names the choice, and the hardware tab is collected again in the new words.
void stepLanguageChoice(AppState& app);
