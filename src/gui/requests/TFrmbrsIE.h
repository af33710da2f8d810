#pragma once

#include "TFrmBrowser.h"

namespace jx::gui {

// The request browser: the requests with CNPJ, name and status.
class TFrmbrsIE : public TFrmBrowser {
    Q_OBJECT

public:
    TFrmbrsIE(Commands& commands, TdtmJX& jx, Mode mode, QWidget* parent = nullptr);
};

} // namespace jx::gui
