#pragma once

#include <QDialog>

#include <functional>

class QLabel;

namespace jx {
class TConfigApp;
}

namespace jx::gui {

// "Sobre o JX": the program's name, the version label and the link to the authority's site.
class TscrUntSobre : public QDialog {
    Q_OBJECT

public:
    TscrUntSobre(const TConfigApp& config, QWidget* parent = nullptr);

    QLabel* versionLabel() const { return m_version; }
    QLabel* linkLabel() const { return m_link; }
    // Opens the link; tests replace it.
    std::function<void(const QUrl&)> openUrl;
    void openLink();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_version;
    QLabel* m_link;
};

} // namespace jx::gui
