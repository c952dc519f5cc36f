#include "vision/FaceShape.h"

void resetShape(FaceShape &shape)
{
    shape.box.clear();
    shape.points.clear();
}

void translateShape(FaceShape &shape, int dx, int dy)
{
    shape.box.left += dx;
    shape.box.right += dx;
    shape.box.top += dy;
    shape.box.bottom += dy;
    for (cv::Point &p : shape.points) {
        p.x += dx;
        p.y += dy;
    }
}
