// The main frame's toolbar: large picture buttons cut from one bitmap, with disabled pictures
// derived from the same bitmap by the pixel processors, on a button-face background.
//
// The owner adds its actions first (addAction, addSeparator), then calls LoadButtonImages.
// Every action that is not a separator is an image button and takes the next picture, from
// left to right.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QToolBar>

#include <cstdint>
#include <vector>

class CBitMapToolBar : public QToolBar
{
    Q_OBJECT

public:
    explicit CBitMapToolBar(QWidget* pParent = nullptr);
    explicit CBitMapToolBar(const QString& strTitle, QWidget* pParent = nullptr);

    // Drops the processed disabled pictures: disabled buttons fall back to the style's own
    // rendering of the normal pictures. Always true.
    bool ClearDisabledImages();

    // Cuts bitmap into one picture per image button (width W / N, the rightmost W mod N
    // columns unused), sizes the buttons to the picture plus 7 pixels each way, and gives
    // every image button an icon: the picture with crMask (0x00BBGGRR) transparent for the
    // normal and hover looks, and the processed picture for the disabled look. The icons
    // are not shown in menus that share the actions. False, with nothing changed, when
    // there are no image buttons or the bitmap is too small to give each one a picture.
    bool LoadButtonImages(const QImage& bitmap, std::uint32_t crMask);

    QSize GetImageSize() const { return m_sizeImage; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    QList<QAction*> ImageButtons() const;
    void BuildDisabledImages(const QImage& bitmap, std::uint32_t crMask);
    void ApplyIcons();

    QSize m_sizeImage;
    std::vector<QPixmap> m_listDisabled; // fully opaque
    std::vector<QPixmap> m_listNormal;   // mask colour transparent; also the hover pictures
};
