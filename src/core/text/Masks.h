#pragma once

#include <QString>

// Edit masks in the system's own notation: "picture;save-literals;blank". In the picture
// "9" is a digit position, "a" a letter-or-digit position, ">" makes the letters typed in
// the positions after it upper case, "\" makes the next character a literal, "!" drops
// leading blanks; any other character is a literal.
namespace jx::masks {

// Twelve letters or digits and two check digits: the alphanumeric CNPJ, of which the
// numeric one is a special case.
inline const QString kCnpjEdit = QStringLiteral(">aa\\.aaa\\.aaa\\/aaaa\\-99;0; ");
inline const QString kCnpjDisplay = QStringLiteral(">aa\\.aaa\\.aaa\\/aaaa\\-99;0");
inline const QString kCpfEdit = QStringLiteral("999\\.999\\.999\\-99;0; ");
inline const QString kCpfEditResponsavel = QStringLiteral("999\\.999\\.999\\-99;0");
inline const QString kCpfDisplay = QStringLiteral("999\\.999\\.999\\-99;0");
inline const QString kIe = QStringLiteral("999999999\\.99\\-99;0; ");
inline const QString kNire = QStringLiteral("99\\.9\\.999\\.999\\.9\\-9;0; ");
inline const QString kDae = QStringLiteral("9999999999\\-99;0; ");
inline const QString kCep = QStringLiteral("99999\\-999;0; ");
inline const QString kTelefone = QStringLiteral("\\(99\\)9999-9999;0; ");
inline const QString kTelefoneComunicacao = QStringLiteral("\\(99\\)9999\\-9999;0; ");
inline const QString kDataPesquisa = QStringLiteral("!99/99/9999;1; ");

// The stored characters laid into the mask's positions one after another, literals
// inserted; positions left without a stored character become blanks.
QString apply(const QString& stored, const QString& mask);

// The same mask as a QLineEdit input mask (positions optional, so partial input commits).
QString toQtInputMask(const QString& mask);

// What a masked edit shows, reduced to what is stored: literals dropped unless the mask
// saves them, blank positions dropped.
QString strip(const QString& shown, const QString& mask);

// Number of character positions (not literals) in the mask's picture.
int positionCount(const QString& mask);

// Whether each stored character may stand in its position: an ASCII digit where the picture
// has a digit, an ASCII letter or digit where it has a letter-or-digit (upper case only
// where the picture forces it), and no more characters than positions.
bool accepts(const QString& stored, const QString& mask);

} // namespace jx::masks
