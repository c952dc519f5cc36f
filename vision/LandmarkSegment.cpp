#include "vision/LandmarkSegment.h"

namespace {
void addChain(std::vector<LandmarkSegment> &out, const std::vector<cv::Point> &p, int first,
              int last, bool closed)
{
    for (int i = first; i < last; ++i)
        out.push_back({p[i], p[i + 1]});
    if (closed)
        out.push_back({p[last], p[first]});
}
} // namespace

std::vector<LandmarkSegment> landmark_segments_basic(const FaceShape &shape)
{
    std::vector<LandmarkSegment> segments;
    if (!shape.isComplete())
        return segments;
    const std::vector<cv::Point> &p = shape.points;
    addChain(segments, p, 17, 21, false); // left brow
    addChain(segments, p, 22, 26, false); // right brow
    addChain(segments, p, 48, 59, true);  // outer lip
    addChain(segments, p, 60, 67, true);  // inner lip
    return segments;
}
