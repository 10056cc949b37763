// One application object for the whole run, offscreen, as the tool's own.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "VyxApplication.h"

int main(int argc, char** argv) {
    // Test discovery runs the binary without ctest's environment: stay offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Every window keeps its visits in the service record: the run's go to a
    // folder of its own, never to the user's record.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    vyx::app::VyxApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
