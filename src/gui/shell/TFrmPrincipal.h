#pragma once

#include <QMainWindow>

class QLabel;
class QTimer;
class QToolButton;

namespace jx {
class TConfigApp;
class UserPrompts;
} // namespace jx

namespace jx::gui {

class Commands;

// The main window: toolbar, menus, the program's panel and the clock. It owns the close
// protocol and installs the program-wide error handler.
class TFrmPrincipal : public QMainWindow {
    Q_OBJECT

public:
    TFrmPrincipal(Commands& commands, TConfigApp& config, UserPrompts& prompts, const QString& programFolder,
        QWidget* parent = nullptr);

    QLabel* clockLabel() const { return m_clock; }
    QToolButton* button(const QString& name) const;

    static inline const QString kExitQuestion = QStringLiteral("Deseja realmente sair do JX?");
    static inline const QString kBackupQuestion = QStringLiteral("Deseja realizar a Cópia de Segurança dos dados?");

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildToolBar();
    void buildMenus();
    QWidget* buildPanels();
    void tick();

    Commands& m_commands;
    TConfigApp& m_config;
    UserPrompts& m_prompts;
    QLabel* m_clock = nullptr;
    QTimer* m_timer = nullptr;
};

} // namespace jx::gui
