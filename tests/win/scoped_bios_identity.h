#pragma once

#include <map>
#include <string>
#include <vector>

// Writes a maker into Wine's firmware description (a volatile key, rebuilt at every session
// start) and puts the session's own values back when it goes away.
class ScopedBiosIdentity {
public:
    ScopedBiosIdentity();
    ~ScopedBiosIdentity();
    ScopedBiosIdentity(const ScopedBiosIdentity&) = delete;
    ScopedBiosIdentity& operator=(const ScopedBiosIdentity&) = delete;

    bool isOpen() const { return key != nullptr; }
    void set(const wchar_t* name, const std::wstring& text);
    void setAll(const std::wstring& maker, const std::wstring& product, const std::wstring& board,
                const std::wstring& boardProduct, const std::wstring& bios);
    // Whether the session had this value, and its bytes.
    bool hadValue(const wchar_t* name, std::size_t* bytes) const;

private:
    struct Saved {
        bool present = false;
        unsigned long type = 0;
        std::vector<unsigned char> data;
    };
    void* key = nullptr;
    std::map<std::wstring, Saved> saved;
};
