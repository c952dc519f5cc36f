#include "feedback/osw_FaceNotFound.h"

osw_FaceNotFound::osw_FaceNotFound(QWidget *parent)
    : OnScreenWarning(QStringLiteral("osw_FaceNotFound"), QStringLiteral("lab_FaceNotFound"),
                      tr("<html><body><p align=\"center\"><span style=\" font-size:36pt; "
                         "color:#ffffff;\">Face Not Found!</span></p><p align=\"center\"><span "
                         "style=\" font-size:18pt; color:#ffffff;\">Be in the view of the camera "
                         "and turn your head towards it.</span></p></body></html>"),
                      QSize(960, 203), parent)
{}
