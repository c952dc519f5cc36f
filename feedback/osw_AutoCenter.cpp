#include "feedback/osw_AutoCenter.h"

osw_AutoCenter::osw_AutoCenter(QWidget *parent)
    : OnScreenWarning(QStringLiteral("osw_AutoCenter"), QStringLiteral("lab_AutoCenter"),
                      tr("<html><body><p align=\"center\"><span style=\" font-size:28pt; "
                         "color:#ffffff;\">Recentering Mouse Pointer...</span></p><p "
                         "align=\"center\"><span style=\" font-size:18pt; color:#ffffff;\">Hold "
                         "Head Steady to Continue</span></p></body></html>"),
                      QSize(802, 200), parent)
{}
