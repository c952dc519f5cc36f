#include "feedback/osw_LipsNotClearlyVisible.h"

osw_LipsNotClearlyVisible::osw_LipsNotClearlyVisible(QWidget *parent)
    : OnScreenWarning(
          QStringLiteral("osw_LipsNotClearlyVisible"), QStringLiteral("lab_LipsNotClearlyVisible"),
          tr("<html><body><p align=\"center\"><span style=\" font-size:36pt; color:#ffffff;\">Lips "
             "Not Clearly Visible</span></p><p align=\"center\"><span style=\" font-size:18pt; "
             "color:#ffffff;\">Turn your head towards the camera. Make sure lighting is "
             "good.</span></p></body></html>"),
          QSize(960, 202), parent)
{}
