#include "core/Application.h"

#include "core/AppFilePaths.h"

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
    , settingsFilePath(AppFilePaths::settingsFile)
{}

Application::~Application() = default;
