// Reading numbers typed into dialog boxes, and the checks that keep a dialog open with the
// focus on the first box that is wrong.
#pragma once

#include <QString>

#include <optional>

class QLineEdit;
class QWidget;

// The whole number at the start of the first 63 characters: leading blanks and a sign
// allowed, anything after the digits ignored ("12abc" is 12); none if there is no digit. A
// number beyond 32 bits stays at the nearest end, so it fails any range check.
std::optional<int> ParseLeadingInt(const QString& strText);
// The same without a sign, for positive numbers.
std::optional<unsigned> ParseLeadingUInt(const QString& strText);

// Reads a box into nValue within [nMin, nMax]. On failure it says what is wrong ("Please
// enter an integer." or "... between %1 and %2."), puts the focus into the box with its
// text selected and returns false.
bool ExchangeInt(QWidget* pDialog, QLineEdit* pBox, int& nValue, int nMin, int nMax);
bool ExchangeUInt(QWidget* pDialog, QLineEdit* pBox, unsigned& nValue, unsigned nMin,
                  unsigned nMax);
