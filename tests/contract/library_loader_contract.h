#pragma once

#include "platform/library_loader.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

// presentLibrary loads in the implementation and exports presentExport.
struct LibraryLoaderSubject {
    std::string name;
    std::function<std::unique_ptr<LibraryLoader>()> make;
    std::wstring presentLibrary;
    std::string presentExport;
};

class LibraryLoaderContract : public ::testing::TestWithParam<LibraryLoaderSubject> {};

inline std::string
libraryLoaderSubjectName(const ::testing::TestParamInfo<LibraryLoaderSubject>& info) {
    return info.param.name;
}
