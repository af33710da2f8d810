#pragma once

#include <QDialog>

class QTextBrowser;

namespace jx::gui {

// The in-program help: one page per topic number, built into the program. Esc or its
// "Fechar" button closes it.
class THelpWindow : public QDialog {
    Q_OBJECT

public:
    explicit THelpWindow(QWidget* parent = nullptr);

    void showTopic(int topic);
    int topic() const { return m_topic; }
    QTextBrowser* browser() const { return m_browser; }
    static bool hasTopic(int topic);

private:
    QTextBrowser* m_browser;
    int m_topic = -1;
};

} // namespace jx::gui
