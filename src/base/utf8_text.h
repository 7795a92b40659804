#pragma once

#include <string>
#include <string_view>

// Decodes UTF-8 into the platform's wide text (UTF-16 on Windows, UTF-32 elsewhere). Malformed
// sequences, overlong forms, surrogates and values beyond U+10FFFF each become U+FFFD, so the
// result is always well-formed whatever bytes a device or firmware hands out.
std::wstring wideFromUtf8(std::string_view bytes);

// Encodes wide text as UTF-8. A surrogate without its partner (possible in UTF-16 text from
// anywhere) becomes U+FFFD.
std::string utf8FromWide(std::wstring_view text);
