#include "app/app_state.h"

AppState appState;

void resetAppState() {
    appState = AppState{};
}
