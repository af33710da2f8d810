#pragma once

#include <QMainWindow>

namespace jx {

class TConfigApp;

// The main window. For now it carries the caption and title built from the configuration;
// menus, toolbar and clock hang from it as the shell grows.
class TFrmPrincipal : public QMainWindow {
    Q_OBJECT

public:
    explicit TFrmPrincipal(const TConfigApp& config, QWidget* parent = nullptr);
};

} // namespace jx
