#pragma once

#include "platform/registry.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

// Each binary instantiates this suite with the implementations it can run. Every case works
// below SCRATCH_PATH in both hives; cleanup removes that tree after the case.
struct RegistrySubject {
    std::string name;
    std::function<std::unique_ptr<Registry>()> make;
    std::function<void()> cleanup;
};

inline const std::wstring REGISTRY_SCRATCH_PATH = L"Software\\VentrasolContractScratch";

class RegistryContract : public ::testing::TestWithParam<RegistrySubject> {
protected:
    void SetUp() override {
        if (GetParam().cleanup)
            GetParam().cleanup();
        registry = GetParam().make();
    }
    void TearDown() override {
        registry.reset();
        if (GetParam().cleanup)
            GetParam().cleanup();
    }
    std::wstring scratch(const std::wstring& sub) const {
        return REGISTRY_SCRATCH_PATH + L"\\" + sub;
    }

    std::unique_ptr<Registry> registry;
};

inline std::string registrySubjectName(const ::testing::TestParamInfo<RegistrySubject>& info) {
    return info.param.name;
}

// Names the subject in failure messages instead of dumping its bytes.
inline void PrintTo(const RegistrySubject& subject, std::ostream* os) {
    *os << subject.name;
}
