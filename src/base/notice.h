#pragma once

#include <string>

// The one-line notice under the mode buttons: what the last action or rule did, and whether it
// is an error. Written by the settings and the regulation, shown by the window.
struct Notice {
    std::wstring text;
    bool isError = false;
};
