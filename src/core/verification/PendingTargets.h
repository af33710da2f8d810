#pragma once

#include <QString>

namespace jx::pending {

// Where on its form a pending item takes the user: the object name of the control that
// holds the value, found from the item's area and the label (or whole message) of its rule.
// scope tells apart the owners that share an area and labels (the correspondence address
// after the establishment's). Empty when no rule wrote such an item.
QString controlFor(const QString& area, const QString& text, const QString& scope = {});

inline const QString kCorrespondenceScope = QStringLiteral("Correspondencia");

} // namespace jx::pending
