// What an edit box lets the user type: digits only for a box with the number style, and at
// most a given number of characters. Both rules apply to typing and pasting only: a text the
// program puts into the box is shown whole, so a stored value too wide for the box can be
// seen and corrected.
#pragma once

#include <QValidator>

class QLineEdit;

class CEditValidator : public QValidator
{
    Q_OBJECT

public:
    explicit CEditValidator(QObject* pParent = nullptr) : QValidator(pParent) {}

    State validate(QString& strInput, int& nPos) const override;
    // Typing stops at nChars characters; a text of nCurrentLength already in the box stays.
    void LimitTyping(int nChars, qsizetype nCurrentLength);

    bool m_bDigitsOnly = false;

private:
    int m_nTypingLimit = -1; // characters; -1 for none
    // The length of the last text accepted. A text longer than the limit stays until the user
    // shortens it; only a change that makes it longer still is refused.
    mutable qsizetype m_nAccepted = 0;
};

// The box's validator, made if it has none.
CEditValidator* EditValidatorOf(QLineEdit* pBox);
// Limits what can be typed into the box to nChars characters; a longer text already in it
// stays whole. Call after filling the box.
void LimitTyping(QLineEdit* pBox, int nChars);
