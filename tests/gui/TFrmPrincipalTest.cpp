#include "TFrmPrincipal.h"

#include "config/ConfigApp.h"

#include <QApplication>

#include <gtest/gtest.h>

TEST(TFrmPrincipal, CaptionAndTitleFollowTheConfiguration)
{
    jx::TConfigApp config;
    jx::TFrmPrincipal window(config);
    window.show();
    EXPECT_EQ(window.objectName(), QStringLiteral("TFrmPrincipal"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Inscrição Estadual 1.00.01"));
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("JX 1.00.01"));

    config.Release = QStringLiteral("a");
    jx::TFrmPrincipal second(config);
    EXPECT_EQ(second.windowTitle(), QStringLiteral("Inscrição Estadual 1.00.01a"));
}
