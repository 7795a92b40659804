#pragma once

#include "base/color.h"
#include "platform/canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

// A canvas together with a way to read back what it drew.
class CanvasSurface {
public:
    virtual ~CanvasSurface() = default;
    virtual Canvas& canvas() = 0;
    // The colour at (x, y) as a 0x00BBGGRR value; nullopt where the subject cannot say.
    virtual std::optional<Color> pixel(int x, int y) = 0;
};

// Each binary instantiates this suite with the implementations it can run.
struct CanvasSubject {
    std::string name;
    // A width x height surface cleared to clear.
    std::function<std::unique_ptr<CanvasSurface>(int width, int height, Color clear)> make;
};

class CanvasContract : public ::testing::TestWithParam<CanvasSubject> {};

inline std::string canvasSubjectName(const ::testing::TestParamInfo<CanvasSubject>& info) {
    return info.param.name;
}
