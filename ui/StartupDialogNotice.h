#pragma once

class QWidget;

// The notice both auto-close check boxes show when they are checked.
void showAutoCloseNotice(QWidget *parent);
