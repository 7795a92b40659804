#include "fakes/fake_library_loader.h"

LibraryHandle FakeLibraryLoader::load(const std::wstring& name) {
    if (!available.count(name)) {
        events.push_back(L"load " + name + L" failed");
        return 0;
    }
    events.push_back(L"load " + name);
    ++references[name];
    const LibraryHandle existing = handleOf(name);
    if (existing)
        return existing;
    const LibraryHandle h = nextHandle += 0x10;
    handles[h] = name;
    return h;
}

LibrarySymbol FakeLibraryLoader::symbol(LibraryHandle module, const char* name) {
    const auto h = handles.find(module);
    if (h == handles.end() || references[h->second] <= 0)
        return nullptr;
    const auto& exports = available[h->second];
    const auto s = exports.find(name);
    return s == exports.end() ? nullptr : s->second;
}

void FakeLibraryLoader::free(LibraryHandle module) {
    const auto h = handles.find(module);
    if (h == handles.end() || references[h->second] <= 0) {
        events.push_back(L"free unknown");
        return;
    }
    events.push_back(L"free " + h->second);
    if (--references[h->second] == 0)
        handles.erase(h);
}

LibraryHandle FakeLibraryLoader::handleOf(const std::wstring& name) const {
    for (const auto& [h, n] : handles)
        if (n == name)
            return h;
    return 0;
}
