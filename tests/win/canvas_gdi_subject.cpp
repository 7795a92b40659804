#include "contract/canvas_contract.h"
#include "dib_surface.h"
#include "platform/win32/gdi_canvas.h"

namespace {

class GdiSurface final : public CanvasSurface {
public:
    GdiSurface(int width, int height, Color clear)
        : dib_(width, height, clear), canvas_(dib_.dc()) {}
    Canvas& canvas() override { return canvas_; }
    std::optional<Color> pixel(int x, int y) override { return dib_.pixel(x, y); }

private:
    DibSurface dib_;
    GdiCanvas canvas_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Gdi, CanvasContract,
                         ::testing::Values(CanvasSubject{
                             "Gdi",
                             [](int w, int h, Color clear) -> std::unique_ptr<CanvasSurface> {
                                 return std::make_unique<GdiSurface>(w, h, clear);
                             }}),
                         canvasSubjectName);
