#pragma once

#include <QString>

// Acceptance checks for the document numbers and dates of a filing. Each answers true or
// false; a value that cannot even be read (a non-digit, a wrong length) is simply false.
namespace jx::docs {

// Both forms of the CNPJ: fourteen digits, or (issued from July 2026) twelve characters
// from 0-9/A-Z followed by two check-digit digits. Upper case only.
bool cnpjIsValid(const QString& text);
// Whether the text is written in the alphanumeric form: fourteen characters, the first
// twelve from 0-9/A-Z with at least one letter among them, the last two digits. Says
// nothing of the check digits; cnpjIsValid does.
bool cnpjIsAlphanumeric(const QString& text);
bool cpfIsValid(const QString& text);
bool nireIsValid(const QString& text);
bool daeIsValid(const QString& text);
bool emailLooksValid(const QString& text);
bool onlyDigits(const QString& text);
bool dateIsValid(const QString& text);
bool timeIsValid(const QString& text);

// Check digits of the two-digit modulus-11 schemes, exposed for generators and tests.
// The CNPJ's base may hold upper-case letters; "" when it cannot be read.
QString cnpjCheckDigits(const QString& first12);
QString cpfCheckDigits(const QString& first9);

} // namespace jx::docs
