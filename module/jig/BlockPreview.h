// The block preview drawing: what a dragged block reference shows, drawn from its
// block definition entity by entity under the reference's block transform, with
// constant attributes as text and host leaders as plain segments while dragging.
#pragma once

class AcDbBlockReference;
class AcGiWorldDraw;

namespace tabrik::arx::draw {

// Draws the reference's block into mode. Nested references are drawn the same way,
// except a reference to a block that is already being drawn (a block that contains
// itself), which draws nothing.
void drawBlockPreview(const AcDbBlockReference* reference, AcGiWorldDraw* mode);

}  // namespace tabrik::arx::draw
