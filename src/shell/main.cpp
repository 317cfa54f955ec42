// The program's entry point: trace output, configuration, the application object, shutdown.
#include <windows.h>

#include <new>

#include "config/app_parameter.h"
#include "foundation/trace.h"
#include "shell/app_main.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int showCommand) {
    LoadTraceLibrary();
    // The configuration outlives the application object and every window: AppConfig() is
    // valid from here until it is deleted below.
    g_config = new (std::nothrow) CAppParameter();
    if (g_config == nullptr) return 0;
    g_config->Reset();
    int result = 0;
    auto* app = new (std::nothrow) CAppMain();
    if (app != nullptr) {
        result = app->Run(instance, previous, commandLine, showCommand);
        delete app;
    }
    delete g_config;
    g_config = nullptr;
    ReleaseTraceLibrary();
    return result;
}
