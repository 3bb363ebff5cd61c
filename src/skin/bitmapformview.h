// A form whose background is a picture tiled from the top left corner. The picture is tiled
// once into a client-sized buffer, so the transparent labels on the form, which make it
// repaint under them at every text change, cost one copy each.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

class CBitMapFormView : public QWidget
{
    Q_OBJECT

public:
    explicit CBitMapFormView(QWidget* pParent = nullptr);

    // Loads the picture (a resource path such as ":/images/bitmap134.png") and builds the
    // buffer; false if the picture cannot be loaded, and the form paints plainly.
    bool LoadBackground(const QString& strName);
    bool HasBackground() const { return !m_bmpMem.isNull(); }
    const QImage& GetBackgroundBuffer() const { return m_bmpMem; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    void BuildBuffer();

    QImage m_hBackground; // the loaded picture
    QImage m_bmpMem;      // the client-sized buffer
};
