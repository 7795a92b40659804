#pragma once

#include <string>
#include <string_view>

// Decodes UTF-8 into the platform's wide text (UTF-16 on Windows, UTF-32 elsewhere). Malformed
// sequences, overlong forms, surrogates and values beyond U+10FFFF each become U+FFFD, so the
// result is always well-formed whatever bytes a device or firmware hands out.
std::wstring wideFromUtf8(std::string_view bytes);
