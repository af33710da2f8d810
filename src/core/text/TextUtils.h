#pragma once

#include <QDate>
#include <QString>

// Small text operations shared by the filing Parts.
namespace jx::text {

QString digitsOf(const QString& text);
QString padLeft(const QString& text, QChar fill, int length);
QString padRight(const QString& text, QChar fill, int length);
QString zeroFilledDae(const QString& text);
// "05 a 01/03/2005" for 1 March to 5 March 2005.
QString periodText(const QDate& from, const QDate& to);
// Sanitises free text written into delivery files: unless keepAccents, "<" and ">" become
// "(" and ")" and accented Latin-1 letters lose their accent; "&" always becomes "&amp;".
QString xmlSafe(const QString& text, bool keepAccents);
// What an entry field makes of typed text: "&" → "e", "<" → "(", ">" → ")" where asked, then
// the field's case rule (which also applies to the replaced character).
QString typed(const QString& text, bool upper, bool lower, bool replaceAmpersand, bool replaceBrackets);

} // namespace jx::text
