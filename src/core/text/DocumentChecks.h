#pragma once

#include <QString>

// Acceptance checks for the document numbers and dates of a filing. Each answers true or
// false; a value that cannot even be read (a non-digit, a wrong length) is simply false.
namespace jx::docs {

bool cnpjIsValid(const QString& text);
bool cpfIsValid(const QString& text);
bool nireIsValid(const QString& text);
bool daeIsValid(const QString& text);
bool emailLooksValid(const QString& text);
bool onlyDigits(const QString& text);
bool dateIsValid(const QString& text);
bool timeIsValid(const QString& text);

// Check digits of the two-digit modulus-11 schemes, exposed for generators and tests.
QString cnpjCheckDigits(const QString& first12);
QString cpfCheckDigits(const QString& first9);

} // namespace jx::docs
