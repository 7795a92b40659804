#include "contract/canvas_contract.h"
#include "fakes/recording_canvas.h"

namespace {

class RecordingSurface final : public CanvasSurface {
public:
    RecordingSurface(int width, int height, Color clear) : canvas_(width, height, clear) {}
    Canvas& canvas() override { return canvas_; }
    std::optional<Color> pixel(int x, int y) override { return canvas_.pixel(x, y); }

private:
    RecordingCanvas canvas_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Recording, CanvasContract,
                         ::testing::Values(CanvasSubject{
                             "Recording",
                             [](int w, int h, Color clear) -> std::unique_ptr<CanvasSurface> {
                                 return std::make_unique<RecordingSurface>(w, h, clear);
                             }}),
                         canvasSubjectName);
