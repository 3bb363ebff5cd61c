#include "skin/editvalidator.h"

#include <QLineEdit>

#include <algorithm>

QValidator::State CEditValidator::validate(QString& strInput, int&) const
{
    if (m_bDigitsOnly && std::any_of(strInput.cbegin(), strInput.cend(), [](QChar c) {
            return c < QLatin1Char('0') || c > QLatin1Char('9');
        }))
        return Invalid;
    if (m_nTypingLimit >= 0 && strInput.size() > std::max<qsizetype>(m_nTypingLimit, m_nAccepted))
        return Invalid;
    m_nAccepted = strInput.size();
    return Acceptable;
}

void CEditValidator::LimitTyping(int nChars, qsizetype nCurrentLength)
{
    m_nTypingLimit = nChars;
    // QLineEdit undoes a refused change only when the text before it was valid: the text
    // already there counts as accepted, whatever its length.
    m_nAccepted = nCurrentLength;
}

CEditValidator* EditValidatorOf(QLineEdit* pBox)
{
    if (auto* p = qobject_cast<CEditValidator*>(const_cast<QValidator*>(pBox->validator())))
        return p;
    auto* p = new CEditValidator(pBox);
    pBox->setValidator(p);
    return p;
}

void LimitTyping(QLineEdit* pBox, int nChars)
{
    EditValidatorOf(pBox)->LimitTyping(nChars, pBox->text().size());
}
