#pragma once

#include <QComboBox>

namespace jx::gui {

// A drop-down that tells when its list is about to open, for rules that remember the value
// the user saw before choosing.
class PopupComboBox : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        emit popupAboutToShow();
        QComboBox::showPopup();
    }

signals:
    void popupAboutToShow();
};

} // namespace jx::gui
