#include "base/utf16.h"

namespace {

void appendUnit(std::vector<std::uint8_t>& out, std::uint32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFFu));
    out.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFFu));
}

bool isLead(std::uint32_t u) {
    return u >= 0xD800u && u <= 0xDBFFu;
}
bool isTrail(std::uint32_t u) {
    return u >= 0xDC00u && u <= 0xDFFFu;
}

} // namespace

std::vector<std::uint8_t> utf16leBytes(const std::wstring& text) {
    std::vector<std::uint8_t> out;
    out.reserve((text.size() + 1) * 2);
    for (wchar_t c : text) {
        const auto cp = static_cast<std::uint32_t>(c);
        if (sizeof(wchar_t) > 2 && cp > 0xFFFFu && cp <= 0x10FFFFu) {
            appendUnit(out, 0xD800u + ((cp - 0x10000u) >> 10));
            appendUnit(out, 0xDC00u + ((cp - 0x10000u) & 0x3FFu));
        } else {
            appendUnit(out, cp > 0xFFFFu ? 0xFFFDu : cp);
        }
    }
    appendUnit(out, 0);
    return out;
}

std::wstring textFromUtf16le(const std::uint8_t* bytes, std::size_t size) {
    std::wstring text;
    if (bytes == nullptr)
        return text;
    const std::size_t units = size / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t u = bytes[2 * i] | (static_cast<std::uint32_t>(bytes[2 * i + 1]) << 8);
        if (u == 0)
            break;
        if constexpr (sizeof(wchar_t) == 2) {
            text.push_back(static_cast<wchar_t>(u));
        } else if (isLead(u) && i + 1 < units) {
            const std::uint32_t t =
                bytes[2 * i + 2] | (static_cast<std::uint32_t>(bytes[2 * i + 3]) << 8);
            if (isTrail(t)) {
                text.push_back(
                    static_cast<wchar_t>(0x10000u + ((u - 0xD800u) << 10) + (t - 0xDC00u)));
                ++i;
            } else {
                text.push_back(static_cast<wchar_t>(0xFFFDu));
            }
        } else if (isLead(u) || isTrail(u)) {
            text.push_back(static_cast<wchar_t>(0xFFFDu));
        } else {
            text.push_back(static_cast<wchar_t>(u));
        }
    }
    return text;
}
