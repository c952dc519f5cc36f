#include "tests/vision/SyntheticFace.h"

FaceShape syntheticFace()
{
    FaceShape shape;
    shape.box = {100, 100, 299, 299};
    std::vector<cv::Point> &p = shape.points;
    p.resize(68);
    // Jaw: a U from ear to ear.
    for (int i = 0; i <= 16; ++i) {
        const int x = 100 + i * 25 / 2;
        const int y = 150 + (8 - std::abs(8 - i)) * 15;
        p[i] = {x, y};
    }
    for (int i = 0; i < 5; ++i) {
        p[17 + i] = {120 + 15 * i, 110}; // left brow
        p[22 + i] = {220 + 15 * i, 110}; // right brow
    }
    for (int i = 0; i < 4; ++i)
        p[27 + i] = {200, 130 + 15 * i}; // nose bridge
    for (int i = 0; i < 5; ++i)
        p[31 + i] = {180 + 10 * i, 185}; // nostrils
    const cv::Point eye[6] = {{0, 0}, {15, -7}, {30, -7}, {45, 0}, {30, 7}, {15, 7}};
    for (int i = 0; i < 6; ++i) {
        p[36 + i] = cv::Point(130, 140) + eye[i];
        p[42 + i] = cv::Point(225, 140) + eye[i];
    }
    const cv::Point outer[12] = {{160, 230}, {173, 222}, {186, 218}, {200, 220},
                                 {214, 218}, {227, 222}, {240, 230}, {227, 240},
                                 {214, 244}, {200, 246}, {186, 244}, {173, 240}};
    for (int i = 0; i < 12; ++i)
        p[48 + i] = outer[i];
    const cv::Point inner[8] = {{166, 230}, {183, 227}, {200, 228}, {217, 227},
                                {234, 230}, {217, 234}, {200, 236}, {183, 234}};
    for (int i = 0; i < 8; ++i)
        p[60 + i] = inner[i];
    return shape;
}

FrameDetection frameWithFace(const FaceShape &shape, quint32 timeMs, cv::Point offset)
{
    FrameDetection frame;
    frame.frameTimeMs = timeMs;
    frame.captureTimeMs = timeMs;
    frame.faceFound = true;
    frame.landmarks = shape;
    translateShape(frame.landmarks, offset.x, offset.y);
    frame.faceBox = frame.landmarks.box;
    return frame;
}
