#pragma once

#include "doubles/fake_adl.h"
#include "fakes/fake_library_loader.h"

#include <initializer_list>
#include <string>

// Offers the AMD stand-in as "atiadlxx.dll" through loader, in its default state, with every
// export but those named in missing.
inline FakeAdlState& installFakeAdl(FakeLibraryLoader* loader,
                                    std::initializer_list<const char*> missing = {}) {
    fakeAdlReset();
    auto& exports = loader->available[L"atiadlxx.dll"];
    exports.clear();
    for (const FakeAdlExport* e = fakeAdlExports(); e->name; ++e) {
        bool hidden = false;
        for (const char* name : missing)
            hidden = hidden || std::string(name) == e->name;
        if (!hidden)
            exports[e->name] = e->address;
    }
    return *fakeAdlState();
}
