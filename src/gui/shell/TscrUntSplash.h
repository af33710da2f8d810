#pragma once

#include <QWidget>

namespace jx::gui {

// The splash: borderless, centred, black, "Carregando o sistema..." and the version text.
class TscrUntSplash : public QWidget {
    Q_OBJECT

public:
    explicit TscrUntSplash(const QString& versionText, QWidget* parent = nullptr);
    void showCentred();
};

} // namespace jx::gui
