#pragma once

#include "TFrmBrowser.h"

namespace jx::gui {

// The enablement browser: identification, CRC and status of every enablement.
class TFrmbrsContabilista : public TFrmBrowser {
    Q_OBJECT

public:
    TFrmbrsContabilista(Commands& commands, TdtmJX& jx, Mode mode, QWidget* parent = nullptr);
};

} // namespace jx::gui
