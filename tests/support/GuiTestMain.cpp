#include "JxApplication.h"

#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Before the application exists, or test discovery crashes on a machine without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    jx::gui::JxApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
