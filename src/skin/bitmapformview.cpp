#include "skin/bitmapformview.h"

#include <QPaintEvent>
#include <QPainter>

CBitMapFormView::CBitMapFormView(QWidget* pParent) : QWidget(pParent)
{
    setAutoFillBackground(true); // until a picture is loaded
}

bool CBitMapFormView::LoadBackground(const QString& strName)
{
    m_bmpMem = QImage();
    m_hBackground = QImage(strName);
    if (m_hBackground.isNull()) {
        setAutoFillBackground(true);
        return false;
    }
    m_hBackground = m_hBackground.convertToFormat(QImage::Format_RGB32);
    BuildBuffer();
    return HasBackground();
}

void CBitMapFormView::BuildBuffer()
{
    const QSize size = this->size();
    if (size.isEmpty()) {
        m_bmpMem = QImage();
        return;
    }
    m_bmpMem = QImage(size, QImage::Format_RGB32);
    if (m_bmpMem.isNull())
        return;
    QPainter painter(&m_bmpMem);
    painter.fillRect(m_bmpMem.rect(), QBrush(m_hBackground)); // repeats from the origin
    setAutoFillBackground(false);
    update();
}

void CBitMapFormView::paintEvent(QPaintEvent* pEvent)
{
    if (m_bmpMem.isNull())
        return;
    QPainter painter(this);
    const QRect rc = pEvent->rect();
    painter.drawImage(rc.topLeft(), m_bmpMem, rc);
}

void CBitMapFormView::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    // A hidden form keeps its old buffer; the next resize while visible rebuilds it.
    if (isVisible() && !m_hBackground.isNull())
        BuildBuffer();
}
