#include "feedback/osw_ExternalMouseMoveDetected.h"

osw_ExternalMouseMoveDetected::osw_ExternalMouseMoveDetected(QWidget *parent)
    : OnScreenWarning(
          QStringLiteral("osw_ExternalMouseMoveDetected"), QStringLiteral("lab_MouseMoveRecenter"),
          tr("<html><body><p align=\"center\"><span style=\" font-size:28pt; "
             "color:#ffffff;\">External Mouse Motion Detected</span></p><p align=\"center\"><span "
             "style=\" font-size:18pt; color:#ffffff;\">Processing Temporarily "
             "Stopped</span></p><p align=\"center\"><span style=\" font-size:18pt; "
             "color:#ffffff;\">(Mouse will recenter and processing will resume after a "
             "timelag)</span></p></body></html>"),
          QSize(820, 200), parent)
{}
