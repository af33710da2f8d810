#include "StandardIcons.h"
#include "Commands.h"
#include "Startup.h"
#include "TFrmPrincipal.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "../support/TestShell.h"

using namespace jx::gui;

namespace {

QImage painted(const QIcon& icon, QIcon::Mode mode)
{
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, QRect(4, 4, 32, 32), Qt::AlignCenter, mode);
    return image;
}

// Counts what the commands ask of the style.
class CountingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap picture, const QStyleOption* option, const QWidget* widget) const override
    {
        ++requests;
        return QProxyStyle::standardIcon(picture, option, widget);
    }
    mutable int requests = 0;
};

// The application's style replaced for one test, and the old kind put back after.
class StyleSwap {
public:
    explicit StyleSwap(QStyle* replacement)
        : m_name(QApplication::style()->name())
    {
        QApplication::setStyle(replacement);
    }
    ~StyleSwap() { QApplication::setStyle(QStyleFactory::create(m_name)); }

private:
    QString m_name;
};

} // namespace

TEST(StandardIcons, DrawTheStylesOwnPictures)
{
    for (const QStyle::StandardPixmap picture : { QStyle::SP_DriveFDIcon, QStyle::SP_DialogCloseButton,
             QStyle::SP_TrashIcon, QStyle::SP_FileDialogNewFolder }) {
        const QIcon lazy = standardIcon(picture);
        const QIcon own = QApplication::style()->standardIcon(picture);
        EXPECT_FALSE(lazy.isNull()) << picture;
        EXPECT_EQ(lazy.availableSizes(), own.availableSizes()) << picture;
        EXPECT_EQ(lazy.actualSize(QSize(24, 24)), own.actualSize(QSize(24, 24))) << picture;
        for (const QIcon::Mode mode : { QIcon::Normal, QIcon::Disabled, QIcon::Active }) {
            for (const int side : { 16, 32 })
                EXPECT_EQ(lazy.pixmap(side, mode).toImage(), own.pixmap(side, mode).toImage()) << picture << side;
            EXPECT_EQ(painted(lazy, mode), painted(own, mode)) << picture << mode;
        }
    }
}

TEST(StandardIcons, AddingToOneCopyLeavesTheOthersAsTheyWere)
{
    const QIcon first = standardIcon(QStyle::SP_DriveNetIcon);
    QIcon copy = first;
    QPixmap red(20, 20);
    red.fill(Qt::red);
    copy.addPixmap(red);
    EXPECT_TRUE(copy.availableSizes().contains(QSize(20, 20)));
    EXPECT_FALSE(first.availableSizes().contains(QSize(20, 20)));
    EXPECT_FALSE(standardIcon(QStyle::SP_DriveNetIcon).availableSizes().contains(QSize(20, 20)));
    EXPECT_FALSE(QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon).availableSizes().contains(QSize(20, 20)));
}

TEST(Commands, PicturesAreReadOnlyWhenSomethingDrawsThem)
{
    auto* style = new CountingStyle(QStyleFactory::create(QApplication::style()->name()));
    StyleSwap swap(style);
    Commands commands;
    EXPECT_EQ(style->requests, 0);
    // Drawn, each is the picture its kind of command has always had.
    EXPECT_EQ(commands.action("actEntrega_Disquete")->icon().pixmap(32).toImage(),
        QApplication::style()->standardIcon(QStyle::SP_DriveFDIcon).pixmap(32).toImage());
    EXPECT_EQ(commands.action("actSairPrincipal")->icon().pixmap(32).toImage(),
        QApplication::style()->standardIcon(QStyle::SP_DialogCloseButton).pixmap(32).toImage());
}

TEST(MainWindow, ToolbarButtonsShowTheirCommandsPictures)
{
    jxtest::TestShell shell;
    ASSERT_TRUE(shell.start());
    TFrmPrincipal* main = shell.startup->mainWindow();
    const std::pair<const char*, const char*> buttons[] = { { "SpeedButton3", "actAbrirSolicitacaoInscricaoEstadual" },
        { "SpeedButton4", "actSolicitacaoContab_Abrir" }, { "SpeedButton5", "actEntrega_Internet" },
        { "SpeedButton6", "actEntrega_Disquete" }, { "SpeedButton1", "actBackp" }, { "SpeedButton9", "actRestauracao" },
        { "SpeedButton7", "actSairPrincipal" } };
    for (const auto& [button, command] : buttons) {
        const QIcon shown = main->button(QLatin1String(button))->icon();
        ASSERT_FALSE(shown.isNull()) << button;
        EXPECT_EQ(
            shown.pixmap(32).toImage(), shell.commands().action(QLatin1String(command))->icon().pixmap(32).toImage())
            << button;
    }
}
