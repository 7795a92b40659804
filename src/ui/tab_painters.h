#pragma once

#include "platform/canvas.h"

// Where a tab's content goes: W is the content width (cards span x = 243 .. W + 243),
// H the client height and B the y of the first content card (below the notice when shown).
struct ContentLayout {
    int W = 320;
    int H = 0;
    int B = 102;
};

void paintDashboardTab(Canvas& canvas, const ContentLayout& layout); // tab 0
void paintCurveTab(Canvas& canvas, const ContentLayout& layout);     // tab 1
void paintSensorsTab(Canvas& canvas, const ContentLayout& layout);   // tab 2
void paintHardwareTab(Canvas& canvas, const ContentLayout& layout);  // tab 3
void paintDriverTab(Canvas& canvas, const ContentLayout& layout);    // tab 4
void paintAboutTab(Canvas& canvas, const ContentLayout& layout);     // tab 5
