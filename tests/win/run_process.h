#pragma once

#include <string>

// Runs a command line inside the Wine session, waits at most timeoutMs, and returns what it
// printed on stdout and stderr (bytes, CRLF kept). False when it could not be started or did
// not end in time.
bool runAndCapture(const std::wstring& commandLine, int timeoutMs, std::string* output,
                   unsigned long* exitCode);
