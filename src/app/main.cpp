// VyxTool: the service tool for the Vyx driver-behaviour monitor.

#include "VyxApplication.h"

int main(int argc, char** argv) {
    vyx::app::VyxApplication app(argc, argv);
    return app.Run();
}
