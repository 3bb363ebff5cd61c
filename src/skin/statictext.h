// A label that draws its text in a colour and font of its own over a transparent background,
// so the form's picture shows around the letters.
#pragma once

#include <QLabel>

#include <cstdint>

class CStaticText : public QLabel
{
    Q_OBJECT

public:
    explicit CStaticText(QWidget* pParent = nullptr);

    // Replaces the font by an Arial of nPointSize tenths of a point.
    bool SetFontSize(int nPointSize);
    // Sets the text; the form repaints under the label, so shorter text leaves nothing behind.
    void SetText(const QString& strText);
    QString GetText() const { return text(); }
    // Names a readout for assistive technology as "caption text" ("Temp PV 21.50"): over
    // AT-SPI a label offers only its name, so the caption alone would hide the value.
    void SetAccessibleCaption(const QString& strCaption);

    std::uint32_t m_crText;    // 0x00BBGGRR; setting it alone does not repaint
    std::uint32_t m_crHotText; // while hot tracking and focused
    std::uint32_t m_crBack;    // background in opaque mode
    int m_nBkMode = 1;         // 1 transparent, 2 opaque
    int m_bHotTrack = 0;
    // Data such as file names and titles shows '&' as it is; captions use it as a mnemonic.
    bool m_bNoPrefix = false;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void enterEvent(QEnterEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;

private:
    void UpdateAccessibleName();

    QString m_strAccessibleCaption;
};

// A font of the given family at nTenthPoints tenths of a point, sized in pixels for a
// 96 dpi screen so that the form's layout in dialog units keeps its proportions.
QFont MakePointFont(const QString& strFamily, int nTenthPoints);
