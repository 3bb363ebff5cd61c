#include "skin/statictext.h"

#include "res/colorref.h"

#include <QEvent>
#include <QPainter>

QFont MakePointFont(const QString& strFamily, int nTenthPoints)
{
    QFont font(strFamily);
    font.setPixelSize(std::max(1, (nTenthPoints * 96 + 360) / 720));
    return font;
}

CStaticText::CStaticText(QWidget* pParent) : QLabel(pParent)
{
    m_crText = ColorToRef(palette().color(QPalette::WindowText));
    m_crHotText = m_crText;
    m_crBack = ColorToRef(palette().color(QPalette::Button));
    setAutoFillBackground(false); // a child that fills nothing shows the form beneath
}

bool CStaticText::SetFontSize(int nPointSize)
{
    if (nPointSize <= 0)
        return false;
    setFont(MakePointFont(QStringLiteral("Arial"), nPointSize));
    update();
    return true;
}

void CStaticText::SetText(const QString& strText)
{
    setText(strText);
    UpdateAccessibleName();
    // A transparent child's update repaints the form beneath it first.
    update();
}

void CStaticText::SetAccessibleCaption(const QString& strCaption)
{
    m_strAccessibleCaption = strCaption;
    UpdateAccessibleName();
}

void CStaticText::UpdateAccessibleName()
{
    if (m_strAccessibleCaption.isEmpty())
        return;
    setAccessibleName(text().isEmpty() ? m_strAccessibleCaption
                                       : m_strAccessibleCaption + u' ' + text());
}

void CStaticText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_nBkMode != 1)
        painter.fillRect(rect(), ColorFromRef(m_crBack));
    const bool bHot = m_bHotTrack && hasFocus();
    painter.setPen(ColorFromRef(bHot ? m_crHotText : m_crText));
    painter.setFont(font());
    int nFlags = static_cast<int>(alignment());
    if (wordWrap())
        nFlags |= Qt::TextWordWrap;
    if (!m_bNoPrefix)
        nFlags |= Qt::TextShowMnemonic;
    painter.drawText(contentsRect(), nFlags, text());
}

void CStaticText::changeEvent(QEvent* pEvent)
{
    QLabel::changeEvent(pEvent);
    if (pEvent->type() == QEvent::EnabledChange)
        update();
}

void CStaticText::enterEvent(QEnterEvent* pEvent)
{
    if (m_bHotTrack && !hasFocus()) {
        setFocus();
        update();
    }
    QLabel::enterEvent(pEvent);
}

void CStaticText::leaveEvent(QEvent* pEvent)
{
    if (m_bHotTrack) {
        if (parentWidget())
            parentWidget()->setFocus();
        update();
    }
    QLabel::leaveEvent(pEvent);
}
